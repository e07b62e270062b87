// The last-resort report of an error that reached the event loop: the
// manager goes on after it, so its box is opened and nothing waits for it (the
// error may come from an event handled inside a scan pass, which would stand
// still behind the box). Only the report the program ends after waits.
#include <gtest/gtest.h>

#include "platform/run_time_error.h"
#include "tests/support/report_rig.h"

namespace tarvex {
namespace {

TEST(UncaughtErrorBoxTest, anErrorTheManagerGoesOnAfterOpensItsBoxAndOnlyTheLastReportWaits) {
  hardening::ReportRig rig;
  RecordingMessageBox boxes;
  rig.app.ReportErrorsTo(&boxes, &rig.log);

  testing::internal::CaptureStderr();
  const int status = rig.RunEvents({[] { throw RunTimeError(ErrorNumber::DeviceIOError, "Device I/O error: tick"); }});
  const size_t shownWhileRunning = boxes.shown().size();
  const size_t waitedWhileRunning = boxes.waitedFor();
  TarvexApplication::ReportUncaughtError(&boxes, &rig.log, RunTimeError(ErrorNumber::FileNotFound));
  testing::internal::GetCapturedStderr();

  EXPECT_EQ(status, 7) << "the loop did not go on after the error";
  EXPECT_EQ(shownWhileRunning, 1u);
  EXPECT_EQ(waitedWhileRunning, 0u) << "the manager waited for the box of an error it goes on after";
  EXPECT_EQ(boxes.shown().size(), 2u);
  EXPECT_EQ(boxes.waitedFor(), 1u) << "the report the program ends after did not wait for its box";
}

}  // namespace
}  // namespace tarvex
