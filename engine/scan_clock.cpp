#include "engine/scan_clock.h"

#include <time.h>

#include <algorithm>
#include <chrono>

namespace tarvex {

// Read on every scan pass and transmit tick. Qt's local time makes the C
// library look at the zone file again on every call (a file system lookup
// each time); localtime_r reads the zone once and keeps its rules, so a
// change of summer time is followed, a new zone chosen while the manager
// runs from its next start.
int32_t SystemScanClock::TimeOfDaySeconds() const {
  const time_t now = time(nullptr);
  tm local{};
  if (localtime_r(&now, &local) == nullptr) return 0;
  return local.tm_hour * 3600 + local.tm_min * 60 + std::min(local.tm_sec, 59);
}

int64_t SystemScanClock::MonotonicMilliseconds() const {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace tarvex
