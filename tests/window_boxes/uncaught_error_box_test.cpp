// The last-resort report of an error that reached the event loop: the
// manager goes on after it, so its box is opened and nothing waits for it (the
// error may come from an event handled inside a scan pass, which would stand
// still behind the box). Only the report the program ends after waits.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QTimer>
#include <sstream>

#include "app/tarvex_application.h"
#include "core/fallback_log_writer.h"
#include "platform/clock.h"
#include "platform/run_time_error.h"

namespace tarvex {
namespace {

TEST(UncaughtErrorBoxTest, anErrorTheManagerGoesOnAfterOpensItsBoxAndOnlyTheLastReportWaits) {
  int argc = 1;
  char name[16] = "tarvex";
  char* argv[2] = {name, nullptr};
  TarvexApplication app{argc, argv};
  QTemporaryDir dir;
  ProgramFolder folder{dir.path().toStdString()};
  FixedClock clock{QDateTime(QDate(2026, 3, 7), QTime(14, 5, 9))};
  std::ostringstream err;
  FallbackLogWriter log{folder, clock, err, QLocale::c()};
  RecordingMessageBox boxes;
  app.ReportErrorsTo(&boxes, &log);

  testing::internal::CaptureStderr();
  QTimer::singleShot(0, &app, [] { throw RunTimeError(ErrorNumber::DeviceIOError, "Device I/O error: tick"); });
  QTimer::singleShot(0, &app, [&app] { app.exit(7); });
  const int status = app.exec();
  ASSERT_EQ(status, 7) << "the loop did not go on after the error";
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.waitedFor(), 0u) << "the manager waited for the box of an error it goes on after";

  TarvexApplication::ReportUncaughtError(&boxes, &log, RunTimeError(ErrorNumber::FileNotFound));
  testing::internal::GetCapturedStderr();
  ASSERT_EQ(boxes.shown().size(), 2u);
  EXPECT_EQ(boxes.waitedFor(), 1u) << "the report the program ends after did not wait for its box";
}

}  // namespace
}  // namespace tarvex
