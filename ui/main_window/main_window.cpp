#include "ui/main_window/main_window.h"

#include <algorithm>
#include <charconv>
#include <exception>

#include "engine/out_of_service.h"
#include "platform/run_time_error.h"

namespace tarvex {

namespace {

constexpr int KeyM = 77;
constexpr int KeyX = 88;
constexpr int InternalErrorNumber = 51;
constexpr const char* DetailSentinelID = "X789879";
constexpr int SecondsPerDay = 24 * 60 * 60;
// The intervals the transmit and grid timers run at from the load until the
// interface sets those of the system setup (its defaults).
constexpr int DesignTxInterval = 15;
constexpr int DesignGDIInterval = 25;
// The longest idle sleep of the grid timer: above anything the refresh-rate
// dialog sets (three digits), so a damaged setup value cannot freeze the window.
constexpr int LongestIdle = 1000;

// The number and description of whatever a step threw.
std::pair<int, std::string> Describe(const std::exception& error) {
  if (const auto* runTimeError = dynamic_cast<const RunTimeError*>(&error)) {
    return {runTimeError->number(), runTimeError->description()};
  }
  return {InternalErrorNumber, std::string("Internal error: ") + error.what()};
}

std::string ShortestText(float value) {
  std::array<char, 32> text{};
  const auto result = std::to_chars(text.data(), text.data() + text.size(), value);
  return std::string(text.data(), result.ptr);
}

}  // namespace

MainWindow::MainWindow(MainWindowServices services, MainWindowState& state, MainWindowTimers timers,
                       MainWindowView& view)
    : services_(std::move(services)), state_(state), timers_(timers), view_(view) {}

int MainWindow::LastChannel() const { return std::clamp(services_.startup.MaxChannel, -1, ChannelButtonCount - 1); }

void MainWindow::ReportFailure(const char* what, int number, const std::string& description) {
  const std::string text = std::string(what) + " Error " + std::to_string(number) + ": " + description;
  try {
    services_.log.WriteLog(LogKind::Error, text);
  } catch (const std::exception&) {
    // The log itself failed; the box still tells the operator.
  }
  try {
    // While the program runs the box waits on the screen and nothing stops
    // for it; while it ends, the end would take an open box down unread.
    if (unloading_) {
      services_.messageBox.Show(text, MsgBoxStyle::Critical, MainWindowErrorTitle);
    } else {
      services_.messageBox.Open(text, MsgBoxStyle::Critical, MainWindowErrorTitle);
    }
  } catch (const std::exception&) {
    // Nothing is left to tell it with; the window goes on.
  }
}

bool MainWindow::Step(const char* what, const std::function<void()>& step) {
  try {
    step();
    return true;
  } catch (const std::exception& error) {
    const auto [number, description] = Describe(error);
    ReportFailure(what, number, description);
    return false;
  }
}

void MainWindow::Tick(const char* what, const std::function<void()>& tick) {
  try {
    tick();
    failingTicks_.erase(what);
  } catch (const std::exception& error) {
    const auto [number, description] = Describe(error);
    const auto known = failingTicks_.find(what);
    if (known != failingTicks_.end() && known->second == number) return;
    failingTicks_[what] = number;
    ReportFailure(what, number, description);
  }
}

void MainWindow::SetMousePointer(int pointer) {
  controls_.MousePointer = pointer;
  render();
}

void MainWindow::Form_Load() {
  ++loads_;
  unloading_ = false;
  SetMousePointer(MousePointer::Hourglass);
  // The transmit and grid timers run from the load on; the scan waits for the
  // interface to start.
  if (timers_.TxTimer.Interval() <= 0) timers_.TxTimer.SetInterval(DesignTxInterval);
  if (timers_.GDITimer.Interval() <= 0) timers_.GDITimer.SetInterval(DesignGDIInterval);
  timers_.TxTimer.SetEnabled(true);
  timers_.GDITimer.SetEnabled(true);
  Step("Device Binding", [this] { services_.handshake.BindDeviceHandlers(); });
  controls_.Visible = true;
  render();
  Step("Window Events", [this] { view_.ProcessEvents(); });
  // Only channels up to MaxChannel are served; their buttons alone work.
  for (int index = 0; index < ChannelButtonCount; ++index) {
    const bool served = index <= services_.startup.MaxChannel;
    controls_.cmdSetupEnabled[static_cast<size_t>(index)] = served;
    controls_.cmdDetailEnabled[static_cast<size_t>(index)] = served;
  }
  render();
  Step("Grid Display", [this] { services_.grid.CreateGDIDisplay(); });
  services_.activation.FirstActivate = true;
  services_.scanState.DevicesInitialized = false;
  Step("System Setup", [this] { services_.ReadSystemSetup(); });
  InitializeInterface();
  SetMousePointer(MousePointer::Default);
}

void MainWindow::Show() {
  controls_.Visible = true;
  render();
  Form_Activate();
}

void MainWindow::Hide() {
  controls_.Visible = false;
  render();
}

void MainWindow::Form_Activate() {
  if (!services_.activation.FirstActivate) return;
  services_.activation.FirstActivate = false;
  InitializeInterface();
  // A launch after End set the hourglass; no load runs to take it away.
  SetMousePointer(MousePointer::Default);
}

void MainWindow::InitializeInterface() {
  const StartupState& startup = services_.startup;
  const SystemSetup& system = services_.config.System;
  controls_.lDebugModeVisible = startup.DebugMode;
  if (startup.DebugMode) controls_.cmdPutInTrayEnabled = false;
  controls_.KeyPreview = true;
  Step("Timer Start", [&] {
    timers_.Timer1.SetInterval(system.RxInterval);
    timers_.Timer1.SetEnabled(true);
    timers_.TxTimer.SetInterval(system.TxInterval);
    timers_.GDITimer.SetInterval(system.GDIInterval);
  });
  const ProgramVersion& version = services_.version;
  controls_.lRevision = "Revision " + std::to_string(version.Major) + "." + std::to_string(version.Minor) + "." +
                        std::to_string(version.Revision);
  render();
  Step("Database Workspaces", [this] { services_.engine.OpenWorkspaces(); });
  Step("Activity Log", [&] {
    services_.log.WriteLog(LogKind::Activity, startup.DebugMode ? "Tarvex Manager Initialized In Debug Mode"
                                                                : "Tarvex Manager Initialized");
  });
  state_.Values.InTray = false;
}

void MainWindow::Form_Paint() { services_.grid.Form_Paint(); }

void MainWindow::Form_KeyDown(int keyCode, int shift) {
  if (shift == 0) return;
  if (keyCode == KeyM) cmdPutInTray_Click();
  if (keyCode == KeyX) cmdEnd_Click();
}

void MainWindow::Form_MouseMove(float x, float y) {
  controls_.lfx = ShortestText(x);
  controls_.lfy = ShortestText(y);
  render();
}

void MainWindow::cmdPutInTray_Click() {
  if (services_.startup.DebugMode) return;
  Step("Background Mode", [this] { services_.windows.PutInTray(); });
}

void MainWindow::CloseOPCConnection(int channel) {
  const std::string device = "Device:" + std::to_string(channel);
  const std::string group = services_.engine.RemoveOPCGroup(channel);
  services_.log.WriteLog(LogKind::Opc, device + "; Deleting Group... Status" + group);
  const std::string connection = services_.engine.DisconnectOPC(channel);
  services_.log.WriteLog(LogKind::Opc, device + "; Disconnecting... Status" + connection);
}

void MainWindow::CloseTVMWindow() {
  Step("End", [this] { services_.windows.CloseOperatorWindows(); });
  Step("End", [this] { timers_.Timer1.SetEnabled(false); });
  SetMousePointer(MousePointer::Hourglass);
  Step("End", [this] { services_.engine.CloseTerminalProcess(); });
  for (int ch = 0; ch <= LastChannel(); ++ch) {
    Step("End", [&] {
      SerialPort& port = services_.ports[ch];
      if (port.PortOpen()) port.SetPortOpen(false);
    });
    Step("End", [&] {
      if (services_.config.Channels[ch].OPCEnabled) CloseOPCConnection(ch);
    });
    bool& active = services_.scanState.ChannelActive[static_cast<size_t>(ch)];
    if (!active) continue;
    active = false;
    Step("End", [&] { TellOutOfService(services_.scanState, services_.handshake, ch); });
  }
  Step("End", [this] {
    if (const auto startup = services_.references.frmTarvexStartup) startup->ReturnFromMainScreen();
  });
  // Hidden with the normal pointer: the next launch shows it again.
  controls_.MousePointer = MousePointer::Default;
  controls_.Visible = false;
  render();
}

void MainWindow::Form_Unload() {
  unloading_ = true;
  Step("Unload", [this] { services_.log.WriteLog(LogKind::Activity, "Tarvex Manager Terminated"); });
  Step("Unload", [this] { services_.grid.ReleaseGDIDisplay(); });
  Step("Unload", [this] { services_.engine.CloseTerminalProcess(); });
  Step("Unload", [this] { services_.engine.CloseWorkspaces(); });
  Step("Unload", [this] { services_.handshake.UnbindDeviceHandlers(); });
  for (int ch = 0; ch <= LastChannel(); ++ch) {
    Step("Unload", [&] { services_.engine.ReleaseChannelWork(ch); });
  }
}

void MainWindow::StopTimers() {
  timers_.Timer1.SetEnabled(false);
  timers_.TxTimer.SetEnabled(false);
  timers_.GDITimer.SetEnabled(false);
}

// The setup dialog works through the MainWindowLink calls below; a failure it
// raises arrives here after the dialog has run its exit.
void MainWindow::cmdSetup_Click(int index) {
  if (index < 0 || index > LastChannel()) return;
  try {
    services_.OpenSetupDialog(index);
  } catch (const std::exception& error) {
    const auto [number, description] = Describe(error);
    ReportSetupError(number, description);
    // Whatever failed, the operator gets the window back and the scan takes
    // the channel up again with its own port fallback.
    services_.scanState.ReinitChannel = static_cast<int16_t>(index);
    Step("Setup", [this] { timers_.Timer1.SetEnabled(true); });
    controls_.MousePointer = MousePointer::Default;
    SetMainWindowEnabled(true);
  }
}

void MainWindow::ReportSetupError(int number, const std::string& description) {
  std::string logLine;
  std::string boxText;
  switch (number) {
    case ErrorNumber::InvalidPortNumber:
      logLine = "Invalid COM: Port Selected.";
      boxText = "The COM: port you have selected is invalid.\r\nRestoring default Tarvex Std. settings now...";
      break;
    case ErrorNumber::PortAlreadyOpen:
      logLine = "COM: Port Already In Use.";
      boxText =
          "The COM: port you have selected is already in use...\r\nRestoring default Tarvex Std. settings now...";
      break;
    default:
      logLine = "Critical Error: " + std::to_string(number) + "  " + description;
      boxText = logLine + "\r\nPlease Contact Velmar-Orinda Technical Services...";
      break;
  }
  try {
    services_.log.WriteLog(LogKind::Error, logLine);
  } catch (const std::exception&) {
    // The box below still tells the operator.
  }
  try {
    services_.messageBox.Open(boxText, MsgBoxStyle::Critical, SetupErrorTitle);
  } catch (const std::exception&) {
  }
}

void MainWindow::cmdDetail_Click(int index) {
  if (index < 0 || index > LastChannel()) return;
  const ChannelSetup& channel = services_.config.Channels[index];
  if (!channel.DeviceEnabled || channel.ChannelProtocol == 0) return;
  MainWindowValues& values = state_.Values;
  values.SelectedChannel = index;
  // A window that failed to open has no Close to give the buttons back, so
  // they stay enabled.
  if (channel.VirtualTerminalEnabled) {
    if (!Step("Virtual Terminal", [this] { services_.windows.ShowKeypad(); })) return;
  } else {
    PublicationState& publication = services_.publication;
    services_.scanState.PubStatBits[index] = ForceStatusPublication;
    publication.PubNet[index] = ForcePublication;
    publication.PubGross[index] = ForcePublication;
    publication.PubTare[index] = ForcePublication;
    publication.PubID[index] = DetailSentinelID;
    if (!Step("Device Detail", [this] { services_.windows.ShowDetail(); })) return;
    values.DetailOpen[index] = true;
  }
  DisableButtons();
}

void MainWindow::cmdRefresh_Click() {
  const SystemSetup& system = services_.config.System;
  const std::array<std::string, 6> tVal = {
      std::to_string(timers_.Timer1.Interval()),  std::to_string(system.RxIdle),
      std::to_string(timers_.TxTimer.Interval()), std::to_string(system.TxIdle),
      std::to_string(timers_.GDITimer.Interval()), std::to_string(system.GDIIdle),
  };
  state_.Values.RefreshDialogOpen = true;
  if (!Step("Refresh Rates", [&] { services_.windows.ShowRefreshDialog(tVal); })) {
    state_.Values.RefreshDialogOpen = false;
    return;
  }
  DisableButtons();
}

void MainWindow::DisableButtons() {
  controls_.cmdRefreshEnabled = false;
  controls_.CmdHelpEnabled = false;
  controls_.cmdEndEnabled = false;
  controls_.cmdPutInTrayEnabled = false;
  for (int ch = 0; ch <= LastChannel(); ++ch) {
    controls_.cmdSetupEnabled[static_cast<size_t>(ch)] = false;
    controls_.cmdDetailEnabled[static_cast<size_t>(ch)] = false;
  }
  render();
}

void MainWindow::EnableButtons() {
  controls_.cmdRefreshEnabled = true;
  controls_.CmdHelpEnabled = true;
  controls_.cmdEndEnabled = true;
  controls_.cmdPutInTrayEnabled = !services_.startup.DebugMode;
  for (int ch = 0; ch <= LastChannel(); ++ch) {
    controls_.cmdSetupEnabled[static_cast<size_t>(ch)] = true;
    controls_.cmdDetailEnabled[static_cast<size_t>(ch)] = true;
  }
  render();
}

void MainWindow::Timer1_Timer() {
  Tick("Scan Timer", [this] { services_.engine.Timer1_Timer(); });
}

void MainWindow::TxTimer_Timer() {
  Tick("Transmit Timer", [this] { services_.engine.TxTimer_Timer(); });
}

void MainWindow::GDITimer_Timer() {
  Tick("Grid Timer", [this] {
    if (!services_.gridState.Painted) return;
    if (state_.Values.RefreshDialogOpen) {
      const int second = services_.clock.now().time().msecsSinceStartOfDay() / 1000 % SecondsPerDay;
      if (second != state_.GDILastSecond) {
        services_.windows.SetlScan3(std::to_string(state_.GDITicksThisSecond));
        state_.GDITicksThisSecond = 0;
        state_.GDILastSecond = second;
      } else {
        ++state_.GDITicksThisSecond;
      }
    }
    const int idle = std::min(services_.config.System.GDIIdle, LongestIdle);
    services_.grid.GDITimer_Timer(state_.Values.InTray, idle, services_.Sleep);
  });
}

void MainWindow::ShowScanRate(int32_t passesPerSecond) {
  services_.windows.SetlScan1(std::to_string(passesPerSecond));
}

void MainWindow::ShowTransmitRate(int32_t ticksPerSecond) {
  services_.windows.SetlScan2(std::to_string(ticksPerSecond));
}

void MainWindow::StopGridDrawing() { services_.gridState.Painted = false; }

void MainWindow::CloseTerminalRegistration() { services_.engine.SuspendTerminalProcess(); }

void MainWindow::SetMainWindowEnabled(bool enabled) {
  controls_.Enabled = enabled;
  render();
  // Back from setup, the window is painted anew where the dialog stood: the
  // grid draws again.
  if (enabled && controls_.Visible) Form_Paint();
}

void MainWindow::CloseChannelPort(int channel) {
  try {
    services_.ports[channel].SetPortOpen(false);
  } catch (const RunTimeError& error) {
    // A port that is not open needs no closing; setup goes on.
    if (error.number() != ErrorNumber::PortNotOpen) throw;
  }
}

void MainWindow::RemoveOPCGroup(int channel) { CloseOPCConnection(channel); }

void MainWindow::EnableScanTimer() { timers_.Timer1.SetEnabled(true); }

}  // namespace tarvex
