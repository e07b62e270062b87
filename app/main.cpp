// The tarvex manager program.
#include <QApplication>
#include <iostream>

#include "app/bus_topics.h"
#include "app/placeholder_windows.h"
#include "core/startup.h"
#include "platform/command_line.h"
#include "platform/program_folder.h"
#include "platform/qt_message_box.h"
#include "platform/qt_screen.h"
#include "platform/run_time_error.h"

namespace {

constexpr const char* LockFileName = "TarvexManager.lock";

// What reaches main is a fault nothing else handled: show it as the original's
// run-time error report did, on stderr too, and end with a failure status.
int ReportRunTimeError(tarvex::MessageBox& box, int number, const std::string& description) {
  const std::string text = "Run-time error '" + std::to_string(number) + "':\r\n\r\n" + description;
  std::cerr << "tarvex: run-time error " << number << ": " << description << std::endl;
  box.Show(text, tarvex::MsgBoxStyle::Critical, "Tarvex");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  // The switches are read from the arguments as given, before Qt takes its own.
  const std::string commandLine = tarvex::CommandLineFromArgv(argc, argv);
  QApplication app(argc, argv);
  // The start-up window stays loaded while the main window is hidden; the
  // program ends only through its End button.
  QApplication::setQuitOnLastWindowClosed(false);

  const auto folder = tarvex::ProgramFolder::FromEnvironment(QCoreApplication::applicationDirPath().toStdString());
  tarvex::SystemClock clock;
  tarvex::LogWriter log(folder, clock);
  auto messageBox = tarvex::MakeMessageBox();
  tarvex::LinuxOsVersion os;
  tarvex::QtScreen screen;
  tarvex::InstanceLock instance(folder.join(LockFileName));
  tarvex::Devices devices;
  tarvex::ManagerBus bus(devices, log);
  tarvex::BusInstanceCheck instanceCheck(instance, bus);

  tarvex::StartupState state;
  tarvex::StartupServices services{os, commandLine, instanceCheck, screen, *messageBox, log};
  tarvex::PlaceholderStartupWindows startupWindow;
  tarvex::BusTopicWindows windows(startupWindow, bus);

  try {
    if (tarvex::Main(state, services, windows) != tarvex::StartupOutcome::Started) return 1;
    return QApplication::exec();
  } catch (const tarvex::RunTimeError& error) {
    return ReportRunTimeError(*messageBox, error.number(), error.description());
  } catch (const std::exception& error) {
    return ReportRunTimeError(*messageBox, 51, std::string("Internal error: ") + error.what());
  }
}
