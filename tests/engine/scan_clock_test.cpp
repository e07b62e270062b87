// The scan's time of day is the local one, as Qt's clock gives it.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QTime>

#include "engine/scan_clock.h"

namespace tarvex {
namespace {

TEST(SystemScanClock, TimeOfDayIsLocalSecondsSinceMidnightAsQtReadsThem) {
  // A zone half an hour off any whole-hour one, set before the first read:
  // UTC or a zone read at the wrong moment shows.
  setenv("TZ", "IST-5:30", 1);
  const SystemScanClock clock;
  for (int attempt = 0; attempt < 3; ++attempt) {
    const int before = QTime::currentTime().msecsSinceStartOfDay() / 1000;
    const int32_t seconds = clock.TimeOfDaySeconds();
    const int after = QTime::currentTime().msecsSinceStartOfDay() / 1000;
    if (before != after) continue;  // a second began in between
    EXPECT_EQ(seconds, before);
    EXPECT_GE(seconds, 0);
    EXPECT_LT(seconds, 86400);
    return;
  }
  FAIL() << "the second changed during every attempt";
}

}  // namespace
}  // namespace tarvex
