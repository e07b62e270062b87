#pragma once
// Values of the scan pass that publication reads. The scan pass owns them:
// it counts ScanTick, writes ScaleStatBits before it publishes a scale status
// and turns indicators off (renewing LastIndicatorTick). They live here until
// the engine has a home of its own, and are passed by reference.
#include <array>
#include <cstdint>

#include "core/channel_array.h"

namespace tarvex {

// ScanTick counts passes and goes back to 0 after this value.
inline constexpr int32_t ScanTickWrap = 9999999;

namespace Indicator {
constexpr int Receive = 0;
constexpr int Transmit = 1;
}  // namespace Indicator

struct EngineValues {
  int32_t ScanTick = 0;
  // The channel's scale status bits (1 out of range, 2 motion, 4 net, 8 lb).
  ChannelArray<int16_t> ScaleStatBits{"ScaleStatBits"};
  // ScanTick at the last change of the receive [0] and transmit [1] indicator.
  ChannelArray<std::array<int32_t, 2>> LastIndicatorTick{"LastIndicatorTick"};
};

}  // namespace tarvex
