// The manager's last-resort error report: an error that reaches the event loop
// is reported (box, error log, stderr) and the manager goes on with the next
// event; a log that cannot be written costs records, never the manager.
#include <gtest/gtest.h>

#include <QEventLoop>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "app/tarvex_application.h"
#include "core/fallback_log_writer.h"
#include "platform/qt_message_box.h"
#include "platform/run_time_error.h"
#include "tests/support/file_bytes.h"
#include "tests/support/report_rig.h"

namespace tarvex {
namespace {

using hardening::ReadAll;

class LastResortReportTest : public testing::Test, protected hardening::ReportRig {
protected:
  RecordingMessageBox boxes;
};

TEST_F(LastResortReportTest, errorsOfEventsAreReportedEverywhereAndTheLoopGoesOn) {
  app.ReportErrorsTo(&boxes, &log);
  testing::internal::CaptureStderr();
  const int status = RunEvents({
      [] { throw RunTimeError(ErrorNumber::TypeMismatch, "Type mismatch: /x/TarvexSysSetup.Cfg: field 2"); },
      [] { throw std::logic_error("broken invariant"); },
  });
  const std::string stderrText = testing::internal::GetCapturedStderr();

  EXPECT_EQ(status, 7);
  ASSERT_EQ(boxes.shown().size(), 2u);
  EXPECT_EQ(boxes.shown()[0].text, "Run-time error '13':\r\n\r\nType mismatch: /x/TarvexSysSetup.Cfg: field 2");
  EXPECT_EQ(boxes.shown()[0].style, MsgBoxStyle::Critical);
  EXPECT_EQ(boxes.shown()[1].text, "Run-time error '51':\r\n\r\nInternal error: broken invariant");
  EXPECT_EQ(ErrorLog(),
            "Run-time error 13: Type mismatch: /x/TarvexSysSetup.Cfg: field 2 @ 3/7/2026 2:05:09 PM\r\n"
            "Run-time error 51: Internal error: broken invariant @ 3/7/2026 2:05:09 PM\r\n");
  EXPECT_NE(stderrText.find("tarvex: run-time error 13: Type mismatch: /x/TarvexSysSetup.Cfg: field 2\n"),
            std::string::npos);
  EXPECT_NE(stderrText.find("tarvex: run-time error 51: Internal error: broken invariant\n"), std::string::npos);
}

// A box whose modal loop dispatches a queued event, as a real box does.
class ModalBox final : public MessageBox {
public:
  int Show(const std::string& text, int, const std::string&) override {
    texts.push_back(text);
    QEventLoop loop;
    QTimer::singleShot(0, &loop, [] { throw RunTimeError(ErrorNumber::DeviceIOError, "Device I/O error: tick"); });
    QTimer::singleShot(0, &loop, &QEventLoop::quit);
    loop.exec();
    return MsgBoxResult::Ok;
  }
  std::vector<std::string> texts;
};

TEST_F(LastResortReportTest, anErrorWhileAReportBoxIsOpenGetsNoSecondBox) {
  ModalBox box;
  app.ReportErrorsTo(&box, &log);
  testing::internal::CaptureStderr();
  const int status = RunEvents({[] { throw RunTimeError(ErrorNumber::FileNotFound); }});
  const std::string stderrText = testing::internal::GetCapturedStderr();
  EXPECT_EQ(status, 7);
  ASSERT_EQ(box.texts.size(), 1u);
  EXPECT_EQ(box.texts[0], "Run-time error '53':\r\n\r\nFile not found");
  EXPECT_NE(ErrorLog().find("Run-time error 57: Device I/O error: tick @ "), std::string::npos);
  EXPECT_NE(stderrText.find("tarvex: run-time error 57: Device I/O error: tick"), std::string::npos);
}

TEST_F(LastResortReportTest, anErrorRepeatedAtEveryTickIsReportedOnceAndCounted) {
  app.ReportErrorsTo(&boxes, &log);
  const auto tick = [] { throw RunTimeError(ErrorNumber::DeviceIOError, "Device I/O error: tick"); };
  std::vector<std::function<void()>> events(50, tick);
  events.push_back([] { throw RunTimeError(ErrorNumber::FileNotFound); });
  events.push_back(tick);
  testing::internal::CaptureStderr();
  const int status = RunEvents(events);
  const std::string stderrText = testing::internal::GetCapturedStderr();

  EXPECT_EQ(status, 7);
  ASSERT_EQ(boxes.shown().size(), 3u);
  EXPECT_EQ(boxes.shown()[1].text, "Run-time error '53':\r\n\r\nFile not found");
  EXPECT_EQ(ErrorLog(),
            "Run-time error 57: Device I/O error: tick @ 3/7/2026 2:05:09 PM\r\n"
            "Run-time error 57 occurred 49 more times: Device I/O error: tick @ 3/7/2026 2:05:09 PM\r\n"
            "Run-time error 53: File not found @ 3/7/2026 2:05:09 PM\r\n"
            "Run-time error 57: Device I/O error: tick @ 3/7/2026 2:05:09 PM\r\n");
  EXPECT_EQ(std::count(stderrText.begin(), stderrText.end(), '\n'), 4) << stderrText;
}

// Records on which thread each box was shown.
class ThreadNotingBox final : public MessageBox {
public:
  int Show(const std::string& text, int, const std::string&) override {
    texts.push_back(text);
    threads.push_back(QThread::currentThread());
    return MsgBoxResult::Ok;
  }
  std::vector<std::string> texts;
  std::vector<QThread*> threads;
};

TEST_F(LastResortReportTest, anErrorOfAnotherThreadIsReportedOnTheProgramsOwnThread) {
  ThreadNotingBox box;
  app.ReportErrorsTo(&box, &log);
  QThread worker;
  auto* onWorker = new QObject;  // deleted with the worker thread's end
  onWorker->moveToThread(&worker);
  QObject::connect(&worker, &QThread::finished, onWorker, &QObject::deleteLater);
  worker.start();
  testing::internal::CaptureStderr();
  QTimer::singleShot(0, onWorker, [] { throw RunTimeError(ErrorNumber::DeviceIOError, "Device I/O error: bus"); });
  QTimer::singleShot(5000, &app, [this] { app.exit(1); });
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, &app, [&] {
    if (!box.texts.empty()) app.exit(7);
  });
  poll.start(10);
  const int status = app.exec();
  testing::internal::GetCapturedStderr();
  worker.quit();
  worker.wait();

  EXPECT_EQ(status, 7);
  ASSERT_EQ(box.threads.size(), 1u);
  EXPECT_EQ(box.threads[0], app.thread());
  EXPECT_EQ(box.texts[0], "Run-time error '57':\r\n\r\nDevice I/O error: bus");
  EXPECT_NE(ErrorLog().find("Run-time error 57: Device I/O error: bus @ "), std::string::npos);
}

TEST_F(LastResortReportTest, aFullDiskCostsLogRecordsNotTheManager) {
  // Every write to /dev/full fails with "No space left on device".
  std::filesystem::create_symlink("/dev/full", log.FileName(LogKind::Receive));
  std::filesystem::create_symlink("/dev/full", log.FileName(LogKind::Error));
  app.ReportErrorsTo(&boxes, &log);
  const int status = RunEvents({
      [this] {
        for (int frame = 0; frame < 100; ++frame) log.WriteLog(LogKind::Receive, "frame " + std::to_string(frame));
      },
      [] { throw RunTimeError(ErrorNumber::DeviceIOError, "Device I/O error: disk full"); },
  });
  EXPECT_EQ(status, 7);
  EXPECT_EQ(boxes.shown().size(), 1u);

  // One line per cause, not one per record: the receive log's and the error log's.
  const std::string lines = err.str();
  EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 2) << lines;
  EXPECT_NE(lines.find("tarvex: log record lost: Device I/O error: cannot write log " +
                       log.FileName(LogKind::Receive) + ": No space left on device: frame 0\n"),
            std::string::npos)
      << lines;
  EXPECT_NE(lines.find("Run-time error 57: Device I/O error: disk full"), std::string::npos) << lines;

  // Room again: the next record is written and stderr says how many were lost.
  std::filesystem::remove(log.FileName(LogKind::Receive));
  err.str("");
  log.WriteLog(LogKind::Receive, "frame 100");
  EXPECT_EQ(ReadAll(log.FileName(LogKind::Receive)), "frame 100 @ 3/7/2026 2:05:09 PM\r\n");
  EXPECT_EQ(err.str(), "tarvex: log " + log.FileName(LogKind::Receive) + " is written again; 100 records were lost\n");
}

TEST_F(LastResortReportTest, everyBoxIsEchoedAndNoneWaitsOnAScreenNobodySees) {
  std::ostringstream echo;
  // The offscreen platform of the tests: a real box would wait for ever.
  EchoedMessageBox box(std::make_unique<QtMessageBox>(), echo);
  EXPECT_EQ(box.Show("The COM: port you have selected is invalid.\r\nDisabling Device Now...",
                     MsgBoxStyle::OkOnly | MsgBoxStyle::Critical, "Tarvex Setup Error"),
            MsgBoxResult::Ok);
  EXPECT_EQ(echo.str(),
            "tarvex: Tarvex Setup Error: The COM: port you have selected is invalid. / Disabling Device Now...\n");
}

TEST_F(LastResortReportTest, aBoxNobodySeesAnswersAsAClosedOneNeverAbortRetryOrYes) {
  QtMessageBox box;
  const struct {
    int style;
    int answer;
  } rows[] = {
      {MsgBoxStyle::OkOnly, MsgBoxResult::Ok},
      {MsgBoxStyle::OkCancel, MsgBoxResult::Cancel},
      {MsgBoxStyle::AbortRetryIgnore, MsgBoxResult::Ignore},
      {MsgBoxStyle::YesNoCancel, MsgBoxResult::Cancel},
      {MsgBoxStyle::YesNo, MsgBoxResult::No},
      {MsgBoxStyle::RetryCancel, MsgBoxResult::Cancel},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(box.Show("Shall it go on?", row.style | MsgBoxStyle::Question, "Tarvex"), row.answer)
        << "style " << row.style;
  }
}

}  // namespace
}  // namespace tarvex
