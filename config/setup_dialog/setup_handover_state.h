#pragma once
// The setup dialog's own values of the hand-over: which channel it edits and
// whether the Setup button is filling it. The scan pass reads SetupChannel and
// sets it while it initialises channels.
#include <cstdint>

namespace tarvex {

struct SetupHandoverState {
  // The channel the setup dialog edits; stored by the Setup button before the
  // dialog is filled, unchanged while it is open.
  int32_t SetupChannel = 0;
  // True while the Setup button fills the dialog: the Device Protocol list then
  // neither stores the channel's protocol nor reloads the protocol.
  bool SetupLoading = false;
};

}  // namespace tarvex
