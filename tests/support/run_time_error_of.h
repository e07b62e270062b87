#pragma once
// The number of the RunTimeError a call fails with, or 0 when it returns.
#include <functional>

#include "platform/run_time_error.h"

namespace tarvex::test {

inline int ErrorOf(const std::function<void()>& call) {
  try {
    call();
  } catch (const RunTimeError& error) {
    return error.number();
  }
  return 0;
}

}  // namespace tarvex::test
