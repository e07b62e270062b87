// The tarvex manager program.
#include "app/bus_topics.h"
#include "app/engine_assembly.h"
#include "app/program_windows.h"
#include "app/main_window_assembly.h"
#include "config/cfg_proc.h"
#include "app/tarvex_application.h"
#include "core/startup.h"
#include "config/serial_port_operations.h"
#include "platform/command_line.h"
#include "platform/program_folder.h"
#include "platform/qt_message_box.h"
#include "platform/qt_screen.h"
#include "platform/speech/espeak_speech.h"
#include "platform/terminal_net/socket_terminal_net.h"

namespace {
constexpr const char* LockFileName = "TarvexManager.lock";
}  // namespace

int main(int argc, char** argv) {
  // The switches are read from the arguments as given, before Qt takes its own.
  const std::string commandLine = tarvex::CommandLineFromArgv(argc, argv);
  tarvex::MessageBox* reportBox = nullptr;
  tarvex::TarvexApplication app(argc, argv, reportBox);
  // The start-up window stays loaded while the main window is hidden; the
  // program ends only through its End button.
  QApplication::setQuitOnLastWindowClosed(false);

  const auto folder = tarvex::ProgramFolder::FromEnvironment(QCoreApplication::applicationDirPath().toStdString());
  tarvex::SystemClock clock;
  tarvex::LogWriter log(folder, clock);
  const auto messageBox = tarvex::MakeMessageBox();
  reportBox = messageBox.get();
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
  tarvex::SocketTerminalNet terminalNet;
  tarvex::WindowSeams seams;
  tarvex::EngineAssembly engine({engineState, config, state, handover, publication, windowState.Values, handshake,
                                 bus.Topics(), opcItems, configuration, log, speech, ports, terminalNet, seams});
  tarvex::MainWindowAssembly mainWindow({state, config, configuration, handover, engineState, activation, references,
                                         ports, publication, handshake, windowState, engine.Engine(), seams, log,
                                         *messageBox, clock});
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
    return tarvex::TarvexApplication::ReportUncaughtError(reportBox, error);
  }
}
