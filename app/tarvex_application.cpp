#include "tarvex_application.h"

#include <iostream>

#include "platform/run_time_error.h"

namespace tarvex {

namespace {
constexpr int RunTimeErrorExitStatus = 2;
constexpr int InternalErrorNumber = 51;
}  // namespace

TarvexApplication::TarvexApplication(int& argc, char** argv, MessageBox*& messageBox)
    : QApplication(argc, argv), messageBox_(messageBox) {}

int TarvexApplication::ReportUncaughtError(MessageBox* box, const std::exception& error) {
  const auto* runTimeError = dynamic_cast<const RunTimeError*>(&error);
  const int number = runTimeError != nullptr ? runTimeError->number() : InternalErrorNumber;
  const std::string description =
      runTimeError != nullptr ? runTimeError->description() : std::string("Internal error: ") + error.what();
  std::cerr << "tarvex: run-time error " << number << ": " << description << std::endl;
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
    QCoreApplication::exit(ReportUncaughtError(messageBox_, error));
  }
  return false;
}

}  // namespace tarvex
