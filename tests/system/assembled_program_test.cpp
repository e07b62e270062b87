// The program as main() assembles it: the polling engine, the main window's
// assembly with its real widgets, timers and operator windows, over a program
// folder whose channel 1 reads the scale simulator on a pseudo-terminal. Each
// hook-up between the assembly and the engine is seen from what an operator
// sees: Detail opens the window the engine writes to and its gross follows
// the scale; the refresh dialog's transmit rate moves with the transmit timer.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <fstream>
#include <iterator>

#include "app/engine_assembly.h"
#include "app/main_window_assembly.h"
#include "core/fixed_tables.h"
#include "core/startup_window.h"
#include "config/serial_port_operations.h"
#include "platform/clock.h"
#include "platform/message_box.h"
#include "platform/run_time_error.h"
#include "platform/speech/speech.h"
#include "platform/terminal_net/terminal_simulator.h"
#include "publish/dde_topics.h"
#include "publish/devices.h"
#include "tests/support/pty_pair.h"
#include "tests/support/widget_application.h"

namespace tarvex::test {
namespace {

// Polls until the condition holds or the time is out, serving the timers.
bool Within(int milliseconds, const std::function<bool()>& condition) {
  QDeadlineTimer deadline(milliseconds);
  while (!condition()) {
    if (deadline.hasExpired()) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  return true;
}

template <typename W>
W* Shown(const QString& window, const QString& child) {
  for (QWidget* top : QApplication::topLevelWidgets()) {
    if (top->objectName() != window) continue;
    if (auto* found = top->findChild<W*>(child)) return found;
  }
  return nullptr;
}

QWidget* TopLevel(const QString& name) {
  for (QWidget* top : QApplication::topLevelWidgets()) {
    if (top->objectName() == name) return top;
  }
  return nullptr;
}

// The program never ends in a test; an End of the process is recorded.
class StayingProcess final : public ProcessEnd {
public:
  void End(int status) override { ended.push_back(status); }
  std::vector<int> ended;
};

class AssembledProgramTest : public ::testing::Test, private WidgetApplication {
protected:
  AssembledProgramTest() {
    // What the start-up fills before the start-up window loads.
    startup.MaxChannel = 31;
    startup.ScreenWidth = 1024;
    InitCommSettings(startup.Tables);
    InitWeightUnits(startup.Tables);
    InitDecimalFormats(startup.Tables);
    InitCfgFileNames(startup.Tables);
    startup.StatusTable().ReDim(0, 99, 0, 5);
    configuration.SetPortOperations(&portOperations);
  }
  ~AssembledProgramTest() override {
    if (simulator.state() != QProcess::NotRunning) {
      simulator.kill();
      simulator.waitForFinished(5000);
    }
  }

  // Channel 1 on the simulator's device, with the simulator's protocol as
  // protocol 10, enabled and described; the simulator ramps its weight.
  bool StartSimulatedScale() {
    const QString scaleSim = QStringLiteral(TARVEX_BUILD_DIR "/bin/scale-sim");
    const QString protocol = QString::fromStdString(folder.folder().join("Tarvex-Std-CustFmt1.Cfg"));
    if (QProcess::execute(scaleSim, {QStringLiteral("--write-demo-protocol"), protocol}) != 0) return false;
    const std::string tags = "\"SCALE_1/GROSS.CV\",\"SCALE_1/TARE.CV\",\"SCALE_1/NET.CV\",\"SCALE_1/SCALESTAT.CV\","
                             "\"SCALE_1/CMD.CV\",\"SCALE_1/CMDPARM.CV\",\"SCALE_1/CMDSTAT.CV\"";
    folder.WriteFile("Tarvex-SCALE1.Cfg",
                     "10,0,0,33,#FALSE#,\"\",\"Simulated Scale\",0,\"\",\"\",\"OPC.DELTAV.1\",\"\",#FALSE#,#TRUE#,"
                     "#FALSE#,#FALSE#,#FALSE#,#TRUE#,#FALSE#,#FALSE#,#TRUE#,30,12,50," +
                         tags + ",1,0,#FALSE#\r\n");
    folder.WriteFile("TarvexSysSetup.Cfg", "25,2,15,0,25,1,#TRUE#,#FALSE#\r\n");
    simulator.start(scaleSim, {QStringLiteral("--protocol"), protocol, QStringLiteral("--settings"),
                               QStringLiteral("9600,N,8,1"), QStringLiteral("--script"), QStringLiteral("ramp"),
                               QStringLiteral("--weight"), QStringLiteral("100"), QStringLiteral("--units"),
                               QStringLiteral("KG")});
    if (!simulator.waitForStarted(5000)) return false;
    if (!Within(5000, [this] { return simulator.canReadLine(); })) return false;
    const std::string device = simulator.readLine().trimmed().toStdString();
    folder.MapPorts({{1, device}});
    return !device.empty();
  }

  std::string ErrorLog() const {
    std::ifstream file(log.FileName(LogKind::Error), std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    for (const auto& shown : boxes.shown()) text += "\nbox: " + shown.text;
    return text;
  }

  // Continue on the start-up window: the main window made, loaded and shown.
  void Launch() {
    screen = mainWindow.Create();
    registry.Load(*screen);
    activation.FirstActivate = true;
    engineState.DevicesInitialized = false;
    configuration.CfgProc(CfgOp::ReadSystemSetup, 0);
    screen->Show();
  }

  StartupState startup;
  ConfigState config;
  testing::ScratchFolder folder;
  SystemClock clock;
  LogWriter log{folder.folder(), clock};
  RecordingMessageBox boxes;
  RecordingSpeech speech;
  ConfigProcedure configuration{config, startup, folder.folder(), log};
  FormRegistry registry;
  FormReferences references;
  ActivationState activation;
  StayingProcess processEnd;
  SerialPortArray ports{folder.folder()};
  SetupHandoverState handover;
  PublicationState publication;
  EngineState engineState;
  MainWindowState windowState;
  Devices devices;
  DeviceHandshake handshake{devices, windowState.Values, publication, engineState, config, log};
  SerialPortOperations portOperations{config, startup, ports, log, boxes, speech};
  DdeTopicStore topics;
  OpcItemStore opcItems;
  TerminalSimulator network;
  SimulatedTerminalNet terminalNet{network};
  WindowSeams seams;
  EngineAssembly engine{{engineState, config, startup, handover, publication, windowState.Values, handshake, topics,
                         opcItems, configuration, log, boxes, clock, folder.folder(), speech, ports, terminalNet,
                         seams}};
  MainWindowAssembly mainWindow{{startup, config, configuration, handover, engineState, activation, references,
                                 ports, publication, handshake, windowState, engine.Engine(), seams, log, boxes,
                                 clock, registry, terminalNet, processEnd}};
  std::shared_ptr<MainScreen> screen;
  QProcess simulator;
};

TEST_F(AssembledProgramTest, detailOpensTheWindowTheScanWritesToAndItsGrossFollowsTheScale) {
  ASSERT_TRUE(StartSimulatedScale()) << "no scale simulator";
  Launch();
  ASSERT_TRUE(Within(10000, [this] { return engineState.ChannelActive[0]; }))
      << "channel 1 never came into service: " << ErrorLog();

  auto* detail = Shown<QPushButton>(QStringLiteral("frmTVM"), QStringLiteral("cmdDetail(0)"));
  ASSERT_NE(detail, nullptr);
  detail->click();
  QWidget* window = TopLevel(QStringLiteral("frmDetail"));
  ASSERT_NE(window, nullptr) << "Detail opened no detail window";
  EXPECT_TRUE(window->isVisible());
  auto* gross = window->findChild<QLabel*>(QStringLiteral("Ld(0)"));
  ASSERT_NE(gross, nullptr);

  // The scale's weight reaches the window, and the window follows it.
  ASSERT_TRUE(Within(10000, [&] { return !gross->text().isEmpty(); })) << "the detail window shows no gross";
  const QString first = gross->text();
  ASSERT_TRUE(Within(10000, [&] { return gross->text() != first && !gross->text().isEmpty(); }))
      << "the gross stays at " << first.toStdString();
  EXPECT_TRUE(Within(5000, [&] { return gross->text().toStdString() == publication.PubGross[0]; }))
      << gross->text().toStdString() << " against " << publication.PubGross[0];
}

TEST_F(AssembledProgramTest, theRefreshDialogsTransmitRateMoves) {
  Launch();
  auto* refresh = Shown<QPushButton>(QStringLiteral("frmTVM"), QStringLiteral("cmdRefresh"));
  ASSERT_NE(refresh, nullptr);
  refresh->click();
  QWidget* dialog = TopLevel(QStringLiteral("frmRefresh"));
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(dialog->isVisible());
  auto* transmit = dialog->findChild<QLabel*>(QStringLiteral("lScan2"));
  ASSERT_NE(transmit, nullptr);
  // The transmit timer's ticks of each second, shown at the next second.
  EXPECT_TRUE(Within(5000, [&] { return transmit->text().toInt() > 0; }))
      << "the transmit rate reads '" << transmit->text().toStdString() << "'";
  auto* scan = dialog->findChild<QLabel*>(QStringLiteral("lScan1"));
  ASSERT_NE(scan, nullptr);
  EXPECT_TRUE(Within(5000, [&] { return scan->text().toInt() > 0; }));
}

// End (the frame's close) while one operator window is open, for each of
// them: the window is closed with End, and the main window's buttons that
// its opening disabled work again, so End and Continue give back a working
// main window.
TEST_F(AssembledProgramTest, endClosesTheOpenOperatorWindowAndGivesTheButtonsBack) {
  ASSERT_TRUE(StartSimulatedScale()) << "no scale simulator";
  struct Case {
    const char* window;
    const char* button;
    bool virtualTerminal;
  };
  const Case cases[] = {
      {"frmDetail", "cmdDetail(0)", false},
      {"ZELVAR", "cmdDetail(0)", true},
      {"frmRefresh", "cmdRefresh", false},
  };
  Launch();
  ASSERT_TRUE(Within(10000, [this] { return engineState.ChannelActive[0]; }))
      << "channel 1 never came into service: " << ErrorLog();
  for (const Case& each : cases) {
    SCOPED_TRACE(each.window);
    config.Channels[0].VirtualTerminalEnabled = each.virtualTerminal;
    QWidget* main = TopLevel(QStringLiteral("frmTVM"));
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(main->isVisible());
    auto* opener = Shown<QPushButton>(QStringLiteral("frmTVM"), QString::fromLatin1(each.button));
    ASSERT_NE(opener, nullptr);
    ASSERT_TRUE(opener->isEnabled());
    opener->click();
    QWidget* window = TopLevel(QString::fromLatin1(each.window));
    ASSERT_NE(window, nullptr) << "the button opened no window: " << ErrorLog();
    ASSERT_TRUE(window->isVisible());
    auto* end = Shown<QPushButton>(QStringLiteral("frmTVM"), QStringLiteral("cmdEnd"));
    ASSERT_NE(end, nullptr);
    ASSERT_FALSE(end->isEnabled()) << "the open window did not disable End";

    main->close();
    EXPECT_FALSE(main->isVisible()) << "End left the main window shown";
    EXPECT_FALSE(window->isVisible()) << "End left the operator window open";
    activation.FirstActivate = true;
    screen->Show();
    EXPECT_TRUE(main->isVisible());
    EXPECT_FALSE(window->isVisible()) << "Continue showed the operator window again";
    EXPECT_TRUE(end->isEnabled()) << "after End and Continue the buttons stay disabled";
    EXPECT_TRUE(opener->isEnabled());
  }
  EXPECT_TRUE(processEnd.ended.empty());
}

class UnseenStartupView final : public StartupView {
public:
  void Render(const StartupControls& controls) override { last = controls; }
  void Refresh() override {}
  void Close() override {}
  StartupControls last;
};

// Continue on a system setup file damaged after the start: the launch fails,
// and the main window its load showed and started is left as End leaves it:
// hidden, no scan, no port open; the start-up window is back. Once the file
// is mended, Continue gives a main window whose scan serves the scale.
TEST_F(AssembledProgramTest, aLaunchOnADamagedSetupFileLeavesNoScanAndNoPortAndTheNextOneWorks) {
  ASSERT_TRUE(StartSimulatedScale()) << "no scale simulator";
  UnseenStartupView view;
  const auto startupWindow = std::make_shared<StartupWindow>(
      StartupWindowServices{startup, config.System.AutoStart,
                            [this] { configuration.CfgProc(CfgOp::ReadSystemSetup, 0); },
                            [this] { return mainWindow.Create(); }, registry, references, activation,
                            [this] { engineState.DevicesInitialized = false; }, processEnd,
                            ProgramVersion::Current()},
      view);
  references.frmTarvexStartup = startupWindow;
  registry.Load(*startupWindow);
  ASSERT_TRUE(view.last.Visible);

  folder.WriteFile("TarvexSysSetup.Cfg", "25,2,x\r\n");
  EXPECT_THROW(startupWindow->CmdContinue_Click(), RunTimeError);
  EXPECT_TRUE(view.last.Visible) << "the start-up window did not come back";
  EXPECT_TRUE(view.last.CmdContinueEnabled);
  QWidget* main = TopLevel(QStringLiteral("frmTVM"));
  ASSERT_NE(main, nullptr) << "the launch made no main window";
  EXPECT_FALSE(main->isVisible()) << "the failed launch left the main window shown";
  // Served for a while, nothing of the scan runs: no channel comes into
  // service, no port is opened.
  EXPECT_FALSE(Within(1500, [this] { return engineState.ChannelActive[0] || ports[0].PortOpen(); }))
      << "the failed launch left the scan running";

  folder.WriteFile("TarvexSysSetup.Cfg", "25,2,15,0,25,1,#TRUE#,#FALSE#\r\n");
  startupWindow->CmdContinue_Click();
  EXPECT_FALSE(view.last.Visible);
  EXPECT_TRUE(main->isVisible());
  EXPECT_TRUE(Within(10000, [this] { return engineState.ChannelActive[0]; }))
      << "after the mended file the scan does not serve the scale: " << ErrorLog();
  EXPECT_TRUE(processEnd.ended.empty());
  registry.StopAllTimers();
}

}  // namespace
}  // namespace tarvex::test
