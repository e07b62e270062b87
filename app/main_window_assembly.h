#pragma once
// The main window of the running program and everything it is made of: its
// widget with the grid canvas, the drawn grid, the three precise timers, and
// its setup dialog with the status-table editor and their windows. It is made
// when the start-up window first launches the main window, once the screen
// width and MaxChannel are known, and kept for the run.
//
// The window reaches the polling engine through ScanEngine; the engine, made
// before the window, reaches the window's grid, icons and calls through the
// WindowSeams, which Create points at the window. The detail window, the
// virtual terminal keypad, the tray icon and the refresh-rate dialog are the
// real ones.
#include <QThread>
#include <memory>

#include "app/window_seams.h"
#include "config/cfg_proc.h"
#include "config/setup_dialog/setup_dialog_instance.h"
#include "config/setup_dialog/widget/setup_dialog_window_host.h"
#include "config/status_editor/setup_dialog_status_editor.h"
#include "config/status_editor/widget/status_editor_window.h"
#include "core/form_registry.h"
#include "platform/terminal_net/terminal_net.h"
#include "ui/detail/detail_window.h"
#include "ui/detail/widget/detail_widget.h"
#include "ui/keypad/widget/zelvar_widget.h"
#include "ui/keypad/zelvar_window.h"
#include "ui/main_window/channel_grid_texts.h"
#include "ui/main_window/main_window.h"
#include "ui/main_window/qt_window_timer.h"
#include "ui/main_window/widget/main_window_widget.h"
#include "ui/refresh/widget/main_window_refresh_dialog.h"
#include "ui/tray/widget/main_window_tray.h"

namespace tarvex {

// The setup dialog is made before the main window; its calls reach the main
// window once that exists, and do nothing before.
class MainWindowLinkSlot final : public MainWindowLink {
public:
  void Set(MainWindowLink* target) { target_ = target ? target : &detached_; }
  void StopGridDrawing() override { target_->StopGridDrawing(); }
  void CloseTerminalRegistration() override { target_->CloseTerminalRegistration(); }
  void SetMainWindowPointer(int pointer) override { target_->SetMainWindowPointer(pointer); }
  void SetMainWindowEnabled(bool enabled) override { target_->SetMainWindowEnabled(enabled); }
  void CloseChannelPort(int channel) override { target_->CloseChannelPort(channel); }
  void RemoveOPCGroup(int channel) override { target_->RemoveOPCGroup(channel); }
  void EnableScanTimer() override { target_->EnableScanTimer(); }

private:
  DetachedMainWindowLink detached_;
  MainWindowLink* target_ = &detached_;
};

struct MainWindowParts {
  StartupState& startup;
  ConfigState& config;
  ConfigProcedure& cfg;
  SetupHandoverState& handover;
  EngineState& scanState;
  ActivationState& activation;
  FormReferences& references;
  SerialPortArray& ports;
  PublicationState& publication;
  DeviceHandshake& handshake;
  MainWindowState& state;
  ScanEngine& engine;
  WindowSeams& seams;
  LogWriter& log;
  MessageBox& messageBox;
  const Clock& clock;
  FormRegistry& registry;
  // The one terminal network object of the process: the engine's, which the
  // keypad sends its keys through.
  TerminalNet& terminalNet;
  ProcessEnd& processEnd;
};

class MainWindowAssembly {
public:
  explicit MainWindowAssembly(MainWindowParts parts);
  ~MainWindowAssembly();

  // The main window, made on the first call.
  std::shared_ptr<MainScreen> Create();
  // The window's icons and its tray icon, which the engine and the
  // publication switch; none before Create.
  TrayIcon* Tray() { return tray_ ? &tray_->Icon() : nullptr; }

  // The detail window's labels, which the publication and the scan write.
  DetailLabels& Detail() { return detail_; }

private:
  // The main window's calls on its operator windows: the tray icon, the
  // keypad, the detail window and the refresh-rate dialog, once made.
  class OperatorWindowCalls final : public OperatorWindows {
  public:
    explicit OperatorWindowCalls(MainWindowAssembly& assembly) : assembly_(assembly) {}
    void PutInTray() override;
    void ShowKeypad() override { assembly_.ShowKeypad(); }
    void ShowDetail() override { assembly_.ShowDetail(); }
    void ShowRefreshDialog(const std::array<std::string, 6>& tVal) override;
    void SetlScan1(const std::string& caption) override;
    void SetlScan2(const std::string& caption) override;
    void SetlScan3(const std::string& caption) override;
    void CloseOperatorWindows() override;

  private:
    MainWindowAssembly& assembly_;
  };

  void ShowDetail();
  void ShowKeypad();
  // What the detail window and the keypad give back on Close.
  OperatorWindowReturn MainWindowReturn();

  MainWindowParts parts_;
  MainWindowLinkSlot link_;
  SetupDialogInstance setup_;
  std::unique_ptr<SetupDialogStatusEditor> statusEditor_;
  std::unique_ptr<SetupDialogWindowHost> setupWindows_;
  std::unique_ptr<StatusEditorWindowHost> statusEditorWindows_;
  OperatorWindowCalls operatorWindows_{*this};
  DetailWindow detail_;
  ZelApi32 zelApi_;
  ZelvarWindow keypad_;
  std::unique_ptr<DetailWidget> detailWidget_;
  std::unique_ptr<ZelvarWidget> keypadWidget_;
  ChannelGridTexts gridTexts_;
  Gdi gdi_;
  GridState gridState_;
  std::unique_ptr<MainWindowWidget> widget_;
  std::unique_ptr<GridDisplay> grid_;
  std::shared_ptr<MainWindow> window_;
  std::unique_ptr<MainWindowTray> tray_;
  std::unique_ptr<MainWindowRefreshDialog> refresh_;
  QtWindowTimer timer1_{[this] { window_->Timer1_Timer(); }};
  QtWindowTimer txTimer_{[this] { window_->TxTimer_Timer(); }};
  QtWindowTimer gdiTimer_{[this] { window_->GDITimer_Timer(); }};
};

}  // namespace tarvex
