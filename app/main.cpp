// The tarvex manager program.
#include <iostream>

#include "app/bus_topics.h"
#include "app/program_windows.h"
#include "app/stand_in_main_window.h"
#include "config/cfg_proc.h"
#include "app/tarvex_application.h"
#include "core/fallback_log_writer.h"
#include "core/startup.h"
#include "platform/command_line.h"
#include "platform/program_folder.h"
#include "platform/qt_message_box.h"
#include "platform/qt_screen.h"

namespace {
constexpr const char* LockFileName = "TarvexManager.lock";
}  // namespace

int main(int argc, char** argv) {
  // The switches are read from the arguments as given, before Qt takes its own.
  const std::string commandLine = tarvex::CommandLineFromArgv(argc, argv);
  tarvex::TarvexApplication app(argc, argv);
  // The start-up window stays loaded while the main window is hidden; the
  // program ends only through its End button.
  QApplication::setQuitOnLastWindowClosed(false);

  const auto folder = tarvex::ProgramFolder::FromEnvironment(QCoreApplication::applicationDirPath().toStdString());
  tarvex::SystemClock clock;
  tarvex::FallbackLogWriter log(folder, clock, std::cerr);
  const auto messageBox = tarvex::MakeMessageBox();
  app.ReportErrorsTo(messageBox.get(), &log);
  tarvex::LinuxOsVersion os;
  tarvex::QtScreen screen;
  tarvex::InstanceLock instance(folder.join(LockFileName));
  tarvex::Devices devices;
  tarvex::ManagerBus bus(devices, log);
  tarvex::BusInstanceCheck instanceCheck(instance, bus);

  tarvex::StartupState state;
  tarvex::StartupServices services{os, commandLine, instanceCheck, screen, *messageBox, log};
  tarvex::ConfigState config;
  tarvex::ConfigProcedure configuration(config, state, folder, log);
  tarvex::FormRegistry registry;
  tarvex::FormReferences references;
  tarvex::ActivationState activation;
  tarvex::ExitProcess processEnd;
  tarvex::ProgramWindows programWindows({
      state,
      config.System,
      [&] { configuration.CfgProc(tarvex::CfgOp::ReadSystemSetup, 0); },
      [&] { return std::make_shared<tarvex::StandInMainWindow>(folder, references, activation); },
      registry,
      references,
      activation,
      processEnd,
      tarvex::ProgramVersion::Current(),
  });
  tarvex::BusTopicWindows windows(programWindows, bus);

  try {
    if (tarvex::Main(state, services, windows) != tarvex::StartupOutcome::Started) return 1;
    return QApplication::exec();
  } catch (const std::exception& error) {
    // Only an error of the start-up itself ends the program.
    return tarvex::TarvexApplication::ReportUncaughtError(messageBox.get(), &log, error);
  }
}
