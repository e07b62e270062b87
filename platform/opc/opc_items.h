#pragma once
// The OPC items of one channel, addressed by position. The scan pass adds the
// channel's tags at the position of their tag index, so position 0, 1 and 2
// are always the gross, tare and net tags; a blank tag leaves its position
// empty, and setting the value of an empty position does nothing.
#include <cstdint>

namespace tarvex {

class OpcItems {
public:
  virtual ~OpcItems() = default;
  // Holds value as the item's value until the channel's items are written to
  // the server. May raise the control's error.
  virtual void SetItemValue(int32_t ch, int16_t position, double value) = 0;
};

}  // namespace tarvex
