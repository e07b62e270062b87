#pragma once
// The main window frmTVM: the operator's view of every channel and the owner
// of the polling machinery's timers.
//
// What it must cope with: every step of its life (load, start of the
// interface, End, unload) and every timer tick and button reaches outside
// (ports, OPC, the terminal network, the database, files), and any of them
// can fail at any time; the manager must not end for it, and the operator
// must never be left without a way on (a disabled window, a window that stays
// hidden, a channel that never comes back).
//
// Policy: each step and each event handler is guarded. A failure is written to
// the error log and shown in a box, and the next step runs. A failing timer
// tick is reported once; its repeats with the same error number are not
// reported again until the tick has succeeded once, so a broken tick cannot
// flood the log or stack boxes. End always ends with the start-up window
// shown and this window hidden. A Setup that fails hands the channel back and
// enables the window again. The window's own close is End while the window
// accepts input.
//
// This class holds the behaviour and the state of the controls; a
// MainWindowView shows them and forwards the events.
#include <array>
#include <functional>
#include <map>
#include <string>

#include "config/config_state.h"
#include "config/setup_dialog/main_window_link.h"
#include "core/activation_state.h"
#include "core/form_references.h"
#include "core/grid/grid_display.h"
#include "core/log_writer.h"
#include "core/main_screen.h"
#include "core/program_version.h"
#include "core/startup_state.h"
#include "engine/engine_state.h"
#include "engine/scan_engine.h"
#include "engine/scan_window.h"
#include "platform/clock.h"
#include "platform/message_box.h"
#include "platform/serial/serial_port.h"
#include "publish/device_handshake.h"
#include "publish/publication_state.h"
#include "ui/main_window/main_window_state.h"
#include "ui/main_window/operator_windows.h"
#include "ui/main_window/window_timer.h"

namespace tarvex {

inline constexpr int ChannelButtonCount = 32;  // cmdSetup(0..31), cmdDetail(0..31)

// The controls of the window that its behaviour changes.
struct MainWindowControls {
  bool Visible = false;  // the window itself
  bool Enabled = true;   // the whole window accepts input
  int MousePointer = MousePointer::Default;
  bool KeyPreview = false;
  std::array<bool, ChannelButtonCount> cmdSetupEnabled = AllTrue();
  std::array<bool, ChannelButtonCount> cmdDetailEnabled = AllTrue();
  bool cmdRefreshEnabled = true;
  bool CmdHelpEnabled = true;
  bool cmdPutInTrayEnabled = true;
  bool cmdEndEnabled = true;
  bool lDebugModeVisible = false;
  std::string lRevision;
  std::string lfx;
  std::string lfy;

  bool operator==(const MainWindowControls&) const = default;

private:
  static std::array<bool, ChannelButtonCount> AllTrue() {
    std::array<bool, ChannelButtonCount> all{};
    all.fill(true);
    return all;
  }
};

class MainWindowView {
public:
  virtual ~MainWindowView() = default;
  // Brings the window's controls to the given state.
  virtual void Render(const MainWindowControls& controls) = 0;
  // Lets pending window events run once (the first paint among them).
  virtual void ProcessEvents() = 0;
};

struct MainWindowServices {
  StartupState& startup;
  ConfigState& config;
  EngineState& scanState;  // ChannelActive, ReinitChannel, DevicesInitialized, PubStatBits
  ActivationState& activation;
  FormReferences& references;  // the start-up window, shown again by End
  SerialPortArray& ports;      // MSComm(0..31)
  GridDisplay& grid;
  GridState& gridState;
  PublicationState& publication;
  DeviceHandshake& handshake;
  ScanEngine& engine;
  OperatorWindows& windows;
  LogWriter& log;
  MessageBox& messageBox;
  const Clock& clock;
  // Gives the processor away for the milliseconds (the grid timer's idle).
  std::function<void(int)> Sleep;
  // Reads the system setup file (configuration operation 15).
  std::function<void()> ReadSystemSetup;
  // The setup dialog's opening for a channel: takes the channel out of
  // service, fills the dialog and shows it; it raises what failed.
  std::function<void(int)> OpenSetupDialog;
  ProgramVersion version;
};

inline constexpr const char* SetupErrorTitle = "Tarvex Device Setup Error";
inline constexpr const char* MainWindowErrorTitle = "Tarvex Manager Error";

class MainWindow final : public MainScreen, public MainWindowLink, public ScanWindow, public TransmitRateLabel {
public:
  MainWindow(MainWindowServices services, MainWindowState& state, MainWindowTimers timers, MainWindowView& view);

  // Form.
  std::string Name() const override { return "frmTVM"; }
  void Form_Load() override;
  // Unload_Tarvex_MainForm.
  void Form_Unload() override;
  void StopTimers() override;

  // MainScreen and ScanWindow.
  void SetMousePointer(int pointer) override;
  void Show() override;
  void Stop() override { CloseTVMWindow(); }
  // Hidden behind the tray icon, until Show.
  void Hide();
  SerialPortArray& MSComm() override { return services_.ports; }

  // Window events.
  void Form_Activate();
  void Form_Paint();
  // keyCode as the original platform numbers keys ('M' 77, 'X' 88); shift
  // the modifier bits (1 Shift, 2 Ctrl, 4 Alt).
  void Form_KeyDown(int keyCode, int shift);
  void Form_MouseMove(float x, float y);
  // The window frame asks to close: End, unless the setup dialog has the
  // window disabled (its exit would start the scan of a stopped manager).
  void CloseRequested() {
    if (controls_.Enabled) cmdEnd_Click();
  }

  // Buttons.
  void cmdSetup_Click(int index);
  void cmdDetail_Click(int index);
  void cmdRefresh_Click();
  void cmdPutInTray_Click();
  void cmdEnd_Click() { CloseTVMWindow(); }
  // What the detail window, the keypad and the refresh dialog do on Close.
  void EnableButtons();

  // Timer ticks.
  void Timer1_Timer();
  void TxTimer_Timer();
  void GDITimer_Timer();

  void InitializeInterface();
  void CloseTVMWindow();

  // MainWindowLink: what the setup dialog asks of this window.
  void StopGridDrawing() override;
  void CloseTerminalRegistration() override;
  void SetMainWindowPointer(int pointer) override { SetMousePointer(pointer); }
  void SetMainWindowEnabled(bool enabled) override;
  // Closes MSComm(channel); a port that is not open is passed over.
  void CloseChannelPort(int channel) override;
  void RemoveOPCGroup(int channel) override;
  void EnableScanTimer() override;

  // ScanWindow: what the scan pass shows and asks of the window.
  void PutInTray() override { cmdPutInTray_Click(); }
  bool RefreshDialogOpen() const override { return state_.Values.RefreshDialogOpen; }
  void ShowScanRate(int32_t passesPerSecond) override;
  // TransmitRateLabel: the transmit timer's ticks per second (lScan2).
  void ShowTransmitRate(int32_t ticksPerSecond) override;

  const MainWindowControls& Controls() const noexcept { return controls_; }
  int LoadCount() const noexcept { return loads_; }

private:
  // Runs one step; a failure is logged, shown, and the caller goes on.
  // True when the step succeeded.
  bool Step(const char* what, const std::function<void()>& step);
  // A timer tick: a failure is reported once until the tick succeeds again.
  void Tick(const char* what, const std::function<void()>& tick);
  void ReportFailure(const char* what, int number, const std::string& description);
  void ReportSetupError(int number, const std::string& description);
  void DisableButtons();
  void CloseOPCConnection(int channel);
  int LastChannel() const;
  void render() { view_.Render(controls_); }

  MainWindowServices services_;
  MainWindowState& state_;
  MainWindowTimers timers_;
  MainWindowView& view_;
  MainWindowControls controls_;
  // The error number each failing timer tick reported last.
  std::map<std::string, int> failingTicks_;
  int loads_ = 0;
  // Unloading: the program ends right after, so a failure's box is its last
  // word and waits for the operator.
  bool unloading_ = false;
};

}  // namespace tarvex
