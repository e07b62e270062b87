#pragma once
// What the setup dialog changes of the scan pass's state when it takes a
// channel out of polling and hands it back. The polling engine owns both values
// (its state object); the dialog reaches them through these references.
#include <cstdint>

#include "core/channel_array.h"

namespace tarvex {

struct ScanHandover {
  // -1 while no channel waits for re-initialisation; the dialog's exit stores
  // the edited channel here and the next scan pass re-initialises it.
  int16_t& ReinitChannel;
  // False while the channel is in setup: the scan pass neither polls nor
  // transmits on it.
  ChannelArray<bool>& ChannelActive;
};

}  // namespace tarvex
