#pragma once
// The error in flight, as the scan error handler takes it. Called only inside
// a catch block: a RunTimeError passes as it is; memory that ran out is error
// 7; anything else thrown inside the pass (a library's std::exception, an
// unknown object) becomes error 51, so that nothing the pass raises reaches
// the program's last-resort handler.
//
// Building that error copies its description, and memory may be what ran
// out: ReportInFlight then hands the handler OutOfMemoryError, made when the
// program starts, so that reporting an error never fails for want of memory.
#include <cstdint>
#include <exception>
#include <new>
#include <string>

#include "engine/channel_steps.h"
#include "platform/run_time_error.h"

namespace tarvex {

inline constexpr int InternalErrorNumber = 51;
inline constexpr int OutOfMemoryNumber = 7;
inline const RunTimeError OutOfMemoryError{OutOfMemoryNumber, "Out of memory"};

inline RunTimeError ErrorInFlight() {
  try {
    throw;
  } catch (const RunTimeError& error) {
    return error;
  } catch (const std::bad_alloc&) {
    return OutOfMemoryError;  // its copy allocates nothing
  } catch (const std::exception& error) {
    return RunTimeError(InternalErrorNumber, std::string("Internal error (") + error.what() + ")");
  } catch (...) {
    return RunTimeError(InternalErrorNumber, "Internal error");
  }
}

// Hands the error in flight to the handler, with channel ch. Called only
// inside a catch block; never raises.
inline void ReportInFlight(ScanErrorHandler& handler, int32_t ch) noexcept {
  try {
    const RunTimeError error = ErrorInFlight();
    handler.HandleScanError(ch, error);
  } catch (...) {
    handler.HandleScanError(ch, OutOfMemoryError);
  }
}

}  // namespace tarvex
