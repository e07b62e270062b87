// The weight log line with the general date-time of the log records.
#include <gtest/gtest.h>

#include <QDateTime>
#include <QLocale>

#include "engine/frames/frame_values.h"
#include "platform/clock.h"

namespace tarvex {
namespace {

TEST(WeightLogLine, carriesTheGeneralDateTimeAndEndsInCrLf) {
  const QDateTime at(QDate(2026, 12, 10), QTime(13, 5, 9));
  EXPECT_EQ(WeightLogLine(3, "  12.50", "0", "0", " 42", GeneralDateTimeText(at, QLocale::c())),
            "Device #: 3,   12.50, 0, 0,  42, 12/10/2026 1:05:09 PM\r\n");
  const QDateTime midnight(QDate(2026, 12, 10), QTime(0, 0));
  EXPECT_EQ(WeightLogLine(0, "", "", "", "", GeneralDateTimeText(midnight, QLocale::c())),
            "Device #: 0, , , , , 12/10/2026\r\n");
}

}  // namespace
}  // namespace tarvex
