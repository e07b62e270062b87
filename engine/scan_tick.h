#pragma once
// Elapsed passes between two readings of a pass counter that wraps.
//
// The scan pass and the transmit timer count their passes from 0 to
// ScanTickWrap + 1 (a counter above ScanTickWrap gives 0 next), so a cycle
// holds ScanTickWrap + 2 readings. A plain difference of two readings goes
// wrong across the wrap (a hold time of a few passes would look like ten
// million, or negative), so every "passes since" is taken here: forward from
// `from` to `to`, through the wrap when `to` is smaller.
#include <cstdint>

#include "publish/engine_values.h"

namespace tarvex {

// The passes from `from` forward to `to`, 0 to ScanTickWrap + 1; readings
// outside 0 to ScanTickWrap + 1 are first brought into it.
constexpr int32_t ElapsedTicks(int32_t from, int32_t to) {
  constexpr int64_t period = int64_t{ScanTickWrap} + 2;
  const int64_t elapsed = ((int64_t{to} - int64_t{from}) % period + period) % period;
  return static_cast<int32_t>(elapsed);
}

}  // namespace tarvex
