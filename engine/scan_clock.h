#pragma once
// The clock of the scan pass and the transmit timer: the time of day that
// the off-line time-out and the rate counts are taken by, and a clock that
// never goes back.
#include <cstdint>

namespace tarvex {

class ScanClock {
public:
  virtual ~ScanClock() = default;
  // The time of day in whole seconds, 0 to 86399.
  virtual int32_t TimeOfDaySeconds() const = 0;
  // Milliseconds of a clock that never goes back.
  virtual int64_t MonotonicMilliseconds() const = 0;
};

// The real clock: the local time of day and the steady clock.
class SystemScanClock final : public ScanClock {
public:
  int32_t TimeOfDaySeconds() const override;
  int64_t MonotonicMilliseconds() const override;
};

}  // namespace tarvex
