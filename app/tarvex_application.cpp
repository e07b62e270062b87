#include "tarvex_application.h"

#include <QEvent>
#include <QThread>
#include <iostream>

#include "platform/run_time_error.h"

namespace tarvex {

namespace {
constexpr int RunTimeErrorExitStatus = 2;
constexpr int InternalErrorNumber = 51;
// The same error again within this time is counted, not reported again.
constexpr qint64 RepeatQuietMs = 60 * 1000;

int NumberOf(const std::exception& error) {
  const auto* runTimeError = dynamic_cast<const RunTimeError*>(&error);
  return runTimeError != nullptr ? runTimeError->number() : InternalErrorNumber;
}

std::string DescriptionOf(const std::exception& error) {
  const auto* runTimeError = dynamic_cast<const RunTimeError*>(&error);
  return runTimeError != nullptr ? runTimeError->description() : std::string("Internal error: ") + error.what();
}

std::string BoxText(int number, const std::string& description) {
  return "Run-time error '" + std::to_string(number) + "':\r\n\r\n" + description;
}

// "Run-time error <number><rest>" to stderr and the error log.
void WriteErrorLine(LogWriter* log, int number, const std::string& rest) {
  std::cerr << "tarvex: run-time error " << number << rest << std::endl;
  if (log == nullptr) return;
  try {
    log->WriteLog(LogKind::Error, "Run-time error " + std::to_string(number) + rest);
  } catch (const std::exception& logError) {
    std::cerr << "tarvex: the error log cannot be written: " << logError.what() << std::endl;
  }
}
// A press of the operator's: a mouse button or a key (a movement of the
// mouse is none).
bool PressedByOperator(const QEvent& event) {
  switch (event.type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
      return true;
    default:
      return false;
  }
}
}  // namespace

TarvexApplication::TarvexApplication(int& argc, char** argv) : QApplication(argc, argv) {}

int TarvexApplication::ReportUncaughtError(MessageBox* box, LogWriter* log, const std::exception& error) {
  const int number = NumberOf(error);
  const std::string description = DescriptionOf(error);
  WriteErrorLine(log, number, ": " + description);
  // The caller ends after this report: the box waits for the operator.
  if (box != nullptr) box->Show(BoxText(number, description), MsgBoxStyle::Critical, "Tarvex");
  return RunTimeErrorExitStatus;
}

bool TarvexApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& error) {
    if (QThread::currentThread() != thread()) {
      // An event of another thread (the bus library's): the box and the logs
      // belong to the program's own thread, so the report is made there.
      QMetaObject::invokeMethod(
          this, [this, report = RunTimeError(NumberOf(error), DescriptionOf(error))] { Report(report, false); },
          Qt::QueuedConnection);
      return false;
    }
    Report(error, PressedByOperator(*event));
  }
  return false;
}

void TarvexApplication::Report(const std::exception& error, bool byOperator) {
  // An error that recurs at every tick of a timer is reported once, then
  // counted; the count is reported with the next report.
  const int number = NumberOf(error);
  const std::string description = DescriptionOf(error);
  if (!byOperator && number == lastNumber_ && description == lastDescription_ && sinceLastReport_.isValid() &&
      !sinceLastReport_.hasExpired(RepeatQuietMs)) {
    ++repeats_;
    return;
  }
  if (repeats_ > 0) {
    WriteErrorLine(log_, lastNumber_, " occurred " + std::to_string(repeats_) + " more times: " + lastDescription_);
  }
  lastNumber_ = number;
  lastDescription_ = description;
  repeats_ = 0;
  sinceLastReport_.start();
  // The manager goes on: the box is opened and the scan, the timers and the
  // windows do not wait for it (the error may come from an event handled
  // inside a scan pass). A box that runs its own event loop anyway reports
  // an error of an event dispatched there without a second box.
  const bool nested = reporting_;
  reporting_ = true;
  WriteErrorLine(log_, number, ": " + description);
  if (!nested && box_ != nullptr) box_->Open(BoxText(number, description), MsgBoxStyle::Critical, "Tarvex");
  reporting_ = nested;
}

}  // namespace tarvex
