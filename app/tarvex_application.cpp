#include "tarvex_application.h"

#include <iostream>

#include "platform/run_time_error.h"

namespace tarvex {

namespace {
constexpr int RunTimeErrorExitStatus = 2;
constexpr int InternalErrorNumber = 51;
}  // namespace

TarvexApplication::TarvexApplication(int& argc, char** argv) : QApplication(argc, argv) {}

int TarvexApplication::ReportUncaughtError(MessageBox* box, LogWriter* log, const std::exception& error) {
  const auto* runTimeError = dynamic_cast<const RunTimeError*>(&error);
  const int number = runTimeError != nullptr ? runTimeError->number() : InternalErrorNumber;
  const std::string description =
      runTimeError != nullptr ? runTimeError->description() : std::string("Internal error: ") + error.what();
  std::cerr << "tarvex: run-time error " << number << ": " << description << std::endl;
  if (log != nullptr) {
    try {
      log->WriteLog(LogKind::Error, "Run-time error " + std::to_string(number) + ": " + description);
    } catch (const std::exception& logError) {
      std::cerr << "tarvex: the error log cannot be written: " << logError.what() << std::endl;
    }
  }
  if (box != nullptr) {
    box->Show("Run-time error '" + std::to_string(number) + "':\r\n\r\n" + description, MsgBoxStyle::Critical,
              "Tarvex");
  }
  return RunTimeErrorExitStatus;
}

bool TarvexApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& error) {
    // The box runs its own event loop; an error of an event dispatched there
    // is reported without a second box.
    const bool nested = reporting_;
    reporting_ = true;
    ReportUncaughtError(nested ? nullptr : box_, log_, error);
    reporting_ = nested;
  }
  return false;
}

}  // namespace tarvex
