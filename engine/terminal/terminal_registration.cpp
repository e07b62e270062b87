#include "engine/terminal/terminal_registration.h"

#include "platform/terminal_net/result_codes.h"

namespace tarvex {

bool TryTerminalRegistration(ScanSurroundings& s) {
  EngineState& e = s.engine;
  const int64_t now = s.clock.MonotonicMilliseconds();
  if (now < e.ZelApiRetryAt) return false;
  e.ZelApiResult = s.net.ZelRegisterProcess(TerminalProcessId);
  if (e.ZelApiResult == 0) {
    e.ZelApiOpen = true;
    e.ZelApiReopen = false;
    return true;
  }
  e.ZelApiOpen = false;
  e.ZelApiReopen = true;
  e.ZelApiRetryAt = now + kRegistrationRetryWait;
  if (e.ZelApiResult == WSAETIMEDOUT) e.ZelApiTimeoutTick = e.ScanTick;
  return false;
}

void RegisterAgainWhenPending(ScanSurroundings& s) {
  if (s.engine.ZelApiReopen && !s.engine.ZelApiOpen) TryTerminalRegistration(s);
}

}  // namespace tarvex
