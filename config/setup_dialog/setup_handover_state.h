#pragma once
// The values that hand a channel between the main window, the polling engine
// and the setup dialog. The main window and the engine own them; they live here
// until those subsystems adopt them, and everything reaches them by reference.
#include <array>
#include <cstdint>

#include "core/startup_state.h"

namespace tarvex {

struct SetupHandoverState {
  // The channel the setup dialog edits; stored by the Setup button before the
  // dialog is filled, unchanged while it is open.
  int32_t SetupChannel = 0;
  // True while the Setup button fills the dialog: the Device Protocol list then
  // neither stores the channel's protocol nor reloads the protocol.
  bool SetupLoading = false;
  // -1 while no channel waits for re-initialisation; the dialog's exit stores
  // the edited channel here and the scan pass re-initialises it.
  int16_t ReinitChannel = -1;
  // False while the channel is in setup: the scan pass neither polls nor
  // transmits on it.
  std::array<bool, ChannelArraySize> ChannelActive{};
};

}  // namespace tarvex
