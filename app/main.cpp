// The tarvex manager program.
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string_view>

#include "app/manager_bus.h"
#include "app/engine_assembly.h"
#include "app/program_windows.h"
#include "app/main_window_assembly.h"
#include "config/cfg_proc.h"
#include "app/tarvex_application.h"
#include "core/fallback_log_writer.h"
#include "core/startup.h"
#include "config/serial_port_operations.h"
#include "platform/command_line.h"
#include "platform/display_check.h"
#include "platform/program_folder.h"
#include "platform/qt_message_box.h"
#include "platform/qt_screen.h"
#include "platform/speech/espeak_speech.h"
#include "platform/terminal_net/socket_terminal_net.h"

namespace {
constexpr const char* LockFileName = "TarvexManager.lock";

// A start that cannot go on before Qt is up: one line on stderr and in the
// error log, then a non-zero exit instead of Qt's abort.
int RefuseToStart(const std::string& why) {
  std::cerr << "tarvex: " << why << std::endl;
  std::error_code error;
  const auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
  const auto folder = tarvex::ProgramFolder::FromEnvironment(executable.parent_path().string());
  tarvex::SystemClock clock;
  tarvex::FallbackLogWriter log(folder, clock, std::cerr);
  log.WriteLog(tarvex::LogKind::Error, why);
  return 1;
}
}  // namespace

int main(int argc, char** argv) {
  // The switches are read from the arguments as given, before Qt takes its own.
  const std::string commandLine = tarvex::CommandLineFromArgv(argc, argv);
  // Qt's own "-platform name" argument stands before the environment's.
  const char* platformArgument = nullptr;
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::string_view(argv[i]) == "-platform" || std::string_view(argv[i]) == "--platform") {
      platformArgument = argv[i + 1];
    }
  }
  const std::string noDisplay = tarvex::MissingDisplay([&](const char* name) -> const char* {
    if (platformArgument != nullptr && std::string_view(name) == "QT_QPA_PLATFORM") return platformArgument;
    return std::getenv(name);
  });
  if (!noDisplay.empty()) return RefuseToStart(noDisplay);
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
  // The 32 serial ports have this one owner; the setup dialog and the main
  // window reach them by reference.
  tarvex::SerialPortArray ports(folder);
  tarvex::SetupHandoverState handover;
  tarvex::PublicationState publication;
  tarvex::EngineState engineState;
  tarvex::MainWindowState windowState;
  tarvex::DeviceHandshake handshake(devices, windowState.Values, publication, engineState, config, log);
  tarvex::EspeakSpeech speech;
  tarvex::SerialPortOperations portOperations(config, state, ports, log, *messageBox, speech);
  configuration.SetPortOperations(&portOperations);
  tarvex::OpcItemStore opcItems;
  // The one terminal network object: the engine registers through it and the
  // keypad sends its keys through it.
  tarvex::SocketTerminalNet terminalNet;
  tarvex::WindowSeams seams;
  tarvex::EngineAssembly engine({engineState, config, state, handover, publication, windowState.Values, handshake,
                                 bus.Topics(), opcItems, configuration, log, *messageBox, clock, folder, speech, ports,
                                 terminalNet, seams});
  tarvex::MainWindowAssembly mainWindow({state, config, configuration, handover, engineState, activation, references,
                                         ports, publication, handshake, windowState, engine.Engine(), seams, log,
                                         *messageBox, clock, registry, terminalNet, processEnd});
  tarvex::ProgramWindows programWindows({
      state,
      config.System.AutoStart,
      [&] { configuration.CfgProc(tarvex::CfgOp::ReadSystemSetup, 0); },
      [&] { return mainWindow.Create(); },
      registry,
      references,
      activation,
      [&] { engineState.DevicesInitialized = false; },
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
