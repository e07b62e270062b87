#pragma once
// The error in flight, as the scan error handler takes it. Called only inside
// a catch block: a RunTimeError passes as it is; anything else thrown inside
// the pass (a library's std::exception, an unknown object) becomes error 51,
// so that nothing the pass raises reaches the program's last-resort handler.
#include <exception>
#include <string>

#include "platform/run_time_error.h"

namespace tarvex {

inline constexpr int InternalErrorNumber = 51;

inline RunTimeError ErrorInFlight() {
  try {
    throw;
  } catch (const RunTimeError& error) {
    return error;
  } catch (const std::exception& error) {
    return RunTimeError(InternalErrorNumber, std::string("Internal error (") + error.what() + ")");
  } catch (...) {
    return RunTimeError(InternalErrorNumber, "Internal error");
  }
}

}  // namespace tarvex
