#pragma once
// The main window with the start-up window, the real configuration procedure,
// the setup dialog, the Device handshake and the grid around it, on a scratch
// program folder whose logs are real files. The engine, the operator windows,
// the timers and the view are recorded: each call is one entry of one event
// list, so a test states the order of effects in one assertion.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "config/cfg_proc.h"
#include "config/setup_dialog/setup_dialog.h"
#include "core/form_registry.h"
#include "core/startup_window.h"
#include "publish/devices.h"
#include "tests/support/grid_rig.h"
#include "tests/support/pty_pair.h"
#include "ui/main_window/main_window.h"

namespace tarvex::test {

using Events = std::vector<std::string>;

class FakeTimer final : public WindowTimer {
public:
  FakeTimer(std::string name, Events& events) : name_(std::move(name)), events_(events) {}
  int Interval() const override { return interval; }
  void SetInterval(int milliseconds) override { interval = milliseconds; }
  bool Enabled() const override { return enabled; }
  void SetEnabled(bool on) override {
    if (on != enabled) events_.push_back(name_ + (on ? " on" : " off"));
    enabled = on;
  }
  int interval = 0;
  bool enabled = false;

private:
  std::string name_;
  Events& events_;
};

// Records every call; a call named in failWith raises that error number. With
// a real engine in `through`, each call goes on to it after being recorded.
class RecordingEngine final : public ScanEngine {
public:
  explicit RecordingEngine(Events& events) : events_(events) {}
  void Timer1_Timer() override {
    Call("scan pass");
    if (through) through->Timer1_Timer();
  }
  void TxTimer_Timer() override {
    Call("transmit tick");
    if (through) through->TxTimer_Timer();
  }
  void CloseTerminalProcess() override {
    Call("terminal closed");
    if (through) through->CloseTerminalProcess();
  }
  void SuspendTerminalProcess() override {
    Call("terminal suspended");
    if (through) through->SuspendTerminalProcess();
  }
  std::string RemoveOPCGroup(int channel) override {
    Call("OPC group removed " + std::to_string(channel));
    return through ? through->RemoveOPCGroup(channel) : "Group Removed";
  }
  std::string DisconnectOPC(int channel) override {
    Call("OPC disconnected " + std::to_string(channel));
    return through ? through->DisconnectOPC(channel) : "Disconnected";
  }
  void OpenWorkspaces() override {
    Call("workspaces opened");
    if (through) through->OpenWorkspaces();
  }
  void CloseWorkspaces() override {
    Call("workspaces closed");
    if (through) through->CloseWorkspaces();
  }
  void ReleaseChannelWork(int channel) override {
    Call("channel work released " + std::to_string(channel));
    if (through) through->ReleaseChannelWork(channel);
  }

  std::map<std::string, int> failWith;
  ScanEngine* through = nullptr;

private:
  void Call(const std::string& call) {
    events_.push_back(call);
    if (const auto failing = failWith.find(call); failing != failWith.end()) throw RunTimeError(failing->second);
  }
  Events& events_;
};

// Records every call; failing makes the windows fail to open.
class RecordingWindows final : public OperatorWindows {
public:
  explicit RecordingWindows(Events& events) : events_(events) {}
  void PutInTray() override { events_.push_back("tray"); }
  void ShowKeypad() override { Open("keypad shown"); }
  void ShowDetail() override { Open("detail shown"); }
  void ShowRefreshDialog(const std::array<std::string, 6>& tVal) override {
    std::string text = "refresh dialog";
    for (const auto& value : tVal) text += " " + value;
    Open(text);
  }
  void SetlScan1(const std::string& caption) override { events_.push_back("lScan1 " + caption); }
  void SetlScan2(const std::string& caption) override { events_.push_back("lScan2 " + caption); }
  void SetlScan3(const std::string& caption) override { events_.push_back("lScan3 " + caption); }
  void CloseOperatorWindows() override { events_.push_back("operator windows closed"); }
  bool failing = false;

private:
  void Open(const std::string& window) {
    events_.push_back(window);
    if (failing) throw RunTimeError(ErrorNumber::CantCreateObject);
  }
  Events& events_;
};

class RecordingMainView final : public MainWindowView {
public:
  void Render(const MainWindowControls& controls) override {
    last = controls;
    if (shownOn) shownOn->Render(controls);
  }
  void ProcessEvents() override { ++eventPasses; }
  MainWindowControls last;
  // A real view that shows every state as it is rendered, when set.
  MainWindowView* shownOn = nullptr;
  int eventPasses = 0;
};

class RecordingStartupView final : public StartupView {
public:
  void Render(const StartupControls& controls) override { last = controls; }
  void Refresh() override {}
  void Close() override {}
  StartupControls last;
};

class NoProcessEnd final : public ProcessEnd {
public:
  void End(int) override {}
};

// The configuration procedure as the setup dialog calls it, with one
// operation made to fail with a chosen error number.
class InjectingConfigProcedure final : public ConfigProcedureCalls {
public:
  explicit InjectingConfigProcedure(ConfigProcedure& real) : real_(real) {}
  void CfgProc(int op, int index) override {
    if (const auto failing = failOn.find(op); failing != failOn.end()) {
      throw RunTimeError(failing->second, "Injected failure of operation " + std::to_string(op));
    }
    real_.CfgProc(op, index);
  }
  std::map<int, int> failOn;

private:
  ConfigProcedure& real_;
};

inline constexpr const char* FixtureSystemSetup = "40,2,15,0,25,1,#TRUE#,#FALSE#\r\n";

class MainWindowTest : public ::testing::Test {
protected:
  explicit MainWindowTest(testing::GridOptions options = {1024, 31, true, false}) : rig(options) {
    startup.OSVersion = "2000";
    startup.AutoStartPending = false;
    InitCfgFileNames(startup.Tables);
    startup.StatusTable().ReDim(0, 99, 0, 5);
    scratch.WriteFile("TarvexSysSetup.Cfg", FixtureSystemSetup);
    window = std::make_shared<MainWindow>(
        MainWindowServices{startup, config, engineState, activation, references, ports, *rig.display, rig.grid,
                           publication, handshake, engine, windows, log, boxes, clock,
                           [this](int ms) { events.push_back("sleep " + std::to_string(ms)); },
                           [this] { cfg.CfgProc(CfgOp::ReadSystemSetup, 0); },
                           [this](int channel) { setupDialog->OpenForChannel(channel); },
                           ProgramVersion{1, 0, 5}},
        state, MainWindowTimers{timer1, txTimer, gdiTimer}, view);
    setupDialog = std::make_unique<SetupDialog>(
        SetupDialogServices{config, startup, handover, log, boxes, *window, engineState.Handover()}, setupCalls);
    cfg.SetDialogTransfer(&setupDialog->Transfer());
    startupWindow = std::make_shared<StartupWindow>(
        StartupWindowServices{startup, config.System.AutoStart, [this] { cfg.CfgProc(CfgOp::ReadSystemSetup, 0); },
                              [this]() -> std::shared_ptr<MainScreen> { return window; }, registry, references,
                              activation, [this] { engineState.DevicesInitialized = false; }, processEnd,
                              ProgramVersion{1, 0, 5}},
        startupView);
    references.frmTarvexStartup = startupWindow;
    registry.Load(*startupWindow);
  }
  ~MainWindowTest() override { cfg.SetDialogTransfer(nullptr); }

  // Continue on the start-up window: the first one loads the main window.
  void Launch() { startupWindow->CmdContinue_Click(); }

  // Launched with channel 0 on OPC and its port (COM1) open on the pty, and
  // every channel in service: what End has to take down.
  void LaunchWithChannelZeroOnPtyAndOPC(const testing::PtyPair& pty) {
    scratch.MapPorts({{1, pty.path()}});
    config.Channels[0].OPCEnabled = true;
    Launch();
    ports[0].SetCommPort(1);
    ports[0].SetPortOpen(true);
    for (int ch = 0; ch <= 31; ++ch) engineState.ChannelActive[static_cast<size_t>(ch)] = true;
  }

  // The texts of the kind's log file, without their date stamps.
  std::vector<std::string> LogLines(int kind) const {
    std::vector<std::string> lines;
    std::ifstream file(log.FileName(kind), std::ios::binary);
    std::string line;
    while (std::getline(file, line)) {
      const auto stamp = line.rfind(" @ ");
      lines.push_back(stamp == std::string::npos ? line : line.substr(0, stamp));
    }
    return lines;
  }

  int Count(const std::vector<std::string>& lines, const std::string& text) const {
    return static_cast<int>(std::count(lines.begin(), lines.end(), text));
  }

  testing::GridRig rig;
  StartupState& startup = rig.startup;
  testing::ScratchFolder scratch;
  FixedClock clock{QDateTime(QDate(2026, 3, 4), QTime(10, 0, 0))};
  LogWriter log{scratch.folder(), clock};
  RecordingMessageBox boxes;
  ConfigState config;
  ConfigProcedure cfg{config, startup, scratch.folder(), log};
  InjectingConfigProcedure setupCalls{cfg};
  SetupHandoverState handover;
  ActivationState activation;
  FormRegistry registry;
  FormReferences references;
  SerialPortArray ports{scratch.folder()};
  PublicationState publication;
  EngineState engineState;
  Devices devices;
  MainWindowState state;
  DeviceHandshake handshake{devices, state.Values, publication, engineState, config, log};
  Events events;
  RecordingEngine engine{events};
  RecordingWindows windows{events};
  FakeTimer timer1{"Timer1", events};
  FakeTimer txTimer{"TxTimer", events};
  FakeTimer gdiTimer{"GDITimer", events};
  RecordingMainView view;
  RecordingStartupView startupView;
  NoProcessEnd processEnd;
  std::shared_ptr<MainWindow> window;
  std::unique_ptr<SetupDialog> setupDialog;
  std::shared_ptr<StartupWindow> startupWindow;
};

}  // namespace tarvex::test
