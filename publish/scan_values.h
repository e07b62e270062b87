#pragma once
// The scan pass's values that publication reads: the pass counter, the scale
// status bits and the ticks of the indicators' last change. They are part of
// the engine's state object (engine/engine_state.h derives from ScanValues);
// publication takes them by reference and never owns them.
//
// ScanTick runs 0, 1, ..., 10,000,000 and then back to 0. Every hold time and
// time-out counted in passes goes through PassesSince, which counts forward
// across that wrap: a stored tick just before the wrap and the current tick
// just after it are a few passes apart, not ten million.
#include <array>
#include <cstdint>

#include "core/channel_array.h"

namespace tarvex {

// A pass that finds ScanTick above this value sets it to 0.
inline constexpr int32_t ScanTickWrap = 9999999;
// The count of distinct ScanTick values, 0 to ScanTickWrap + 1.
inline constexpr int64_t ScanTickCycle = int64_t{ScanTickWrap} + 2;

// The counter after one more pass (or transmit tick): ScanTickWrap + 1 is
// followed by 0.
constexpr int32_t NextScanTick(int32_t tick) { return tick > ScanTickWrap ? 0 : tick + 1; }

// The passes from the stored tick `then` to the tick `now`, counted forward
// across the wrap, always 0 to ScanTickCycle - 1. A tick outside the counter's
// range (never stored by the pass) is taken modulo the cycle.
constexpr int32_t PassesSince(int32_t now, int32_t then) {
  const int64_t d = (int64_t{now} - int64_t{then}) % ScanTickCycle;
  return static_cast<int32_t>(d < 0 ? d + ScanTickCycle : d);
}

namespace Indicator {
constexpr int Receive = 0;
constexpr int Transmit = 1;
}  // namespace Indicator

struct ScanValues {
  int32_t ScanTick = 0;
  // The channel's scale status bits (1 out of range, 2 motion, 4 net, 8 lb,
  // 16 off-line).
  ChannelArray<int16_t> ScaleStatBits{"ScaleStatBits"};
  // ScanTick at the last change of the receive [0] and transmit [1] indicator.
  ChannelArray<std::array<int32_t, 2>> LastIndicatorTick{"LastIndicatorTick"};
};

}  // namespace tarvex
