#pragma once
// The number of the RunTimeError a call fails with, or 0 when it returns (no
// error has the number 0). With a description pointer the error's description
// is kept as well.
#include <functional>
#include <string>

#include "platform/run_time_error.h"

namespace tarvex::test {

inline int ErrorOf(const std::function<void()>& call, std::string* description = nullptr) {
  try {
    call();
  } catch (const RunTimeError& error) {
    if (description != nullptr) *description = error.description();
    return error.number();
  }
  return 0;
}

}  // namespace tarvex::test
