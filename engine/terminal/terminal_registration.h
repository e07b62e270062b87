#pragma once
// The one registration with the terminal network that serves every terminal
// channel, made again after the Setup button closed it or the network lost it.
//
// What it must cope with: Setup on any channel closes the registration while
// the other terminal channels stay in service; a network that is not running
// refuses at once, one that stalls holds each try up to the socket layer's
// bound on the user-interface thread.
//
// Policy: a pending re-registration is tried at the start of a pass, before
// any channel is served, so no channel reads without it; at most one try is
// made per pass, and a failed try waits at least kRegistrationRetryWait
// before the next (the re-initialisation of a handed-back channel keeps to
// the same wait).
#include <cstdint>

#include "engine/scan_surroundings.h"

namespace tarvex {

inline constexpr int64_t kRegistrationRetryWait = 1000;  // milliseconds

// One registration try unless the last failed one is too recent; true when
// the registration is open afterwards. A failure marks it pending.
bool TryTerminalRegistration(ScanSurroundings& s);

// At the start of a pass: the pending re-registration, when it is due.
void RegisterAgainWhenPending(ScanSurroundings& s);

}  // namespace tarvex
