#pragma once
// The settings that concern the whole manager, in file order.
#include <cstdint>

namespace tarvex {

struct SystemSetup {
  int32_t RxInterval = 0;   // scan timer interval, ms
  int32_t RxIdle = 0;       // sleep at the start of each scan pass, ms
  int32_t TxInterval = 0;   // transmit timer interval, ms
  int32_t TxIdle = 0;       // shown and stored, read by no timer
  int32_t GDIInterval = 0;  // grid timer interval, ms
  int32_t GDIIdle = 0;      // grid timer sleep, ms
  bool CmdHandshake = false;
  bool AutoStart = false;

  bool operator==(const SystemSetup&) const = default;
};

}  // namespace tarvex
