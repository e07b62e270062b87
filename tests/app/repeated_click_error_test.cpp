// An error the operator's own press raises is answered at every press: a
// Continue pressed again on a system setup file that is still damaged shows
// its box again, where an error that comes back at every tick of a timer is
// reported once and then counted.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "platform/run_time_error.h"
#include "tests/app/report_fixture.h"

namespace tarvex {
namespace {

const char* const Damaged = "Type mismatch: /x/TarvexSysSetup.Cfg: field 3";

class RepeatedClickErrorTest : public test::ReportFixture {
protected:
  RepeatedClickErrorTest() { app.ReportErrorsTo(&boxes, &log); }
};

TEST_F(RepeatedClickErrorTest, eachPressIsAnsweredWithItsBoxATimersRepeatIsCounted) {
  QPushButton button(QStringLiteral("Continue"));
  QObject::connect(&button, &QPushButton::clicked, [] { throw RunTimeError(ErrorNumber::TypeMismatch, Damaged); });
  testing::internal::CaptureStderr();
  // Pressed three times, by the mouse and by the keyboard.
  QTest::mouseClick(&button, Qt::LeftButton);
  QTest::mouseClick(&button, Qt::LeftButton);
  QTest::keyClick(&button, Qt::Key_Space);
  const std::size_t byPresses = boxes.shown().size();
  // The same error at three ticks of a timer.
  int ticks = 0;
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, &app, [&] {
    if (++ticks > 3) {
      app.exit(0);
      return;
    }
    throw RunTimeError(ErrorNumber::TypeMismatch, Damaged);
  });
  timer.start(0);
  QTimer::singleShot(5000, &app, [this] { app.exit(1); });
  ASSERT_EQ(app.exec(), 0);
  testing::internal::GetCapturedStderr();

  EXPECT_EQ(byPresses, 3u);
  ASSERT_EQ(boxes.shown().size(), 3u) << "the ticks' repeats are counted, not shown";
  for (const auto& box : boxes.shown()) {
    EXPECT_EQ(box.text, std::string("Run-time error '13':\r\n\r\n") + Damaged);
  }
}

}  // namespace
}  // namespace tarvex
