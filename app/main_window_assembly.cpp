#include "app/main_window_assembly.h"

#include <QPushButton>

#include "core/screen_layout.h"

namespace tarvex {

MainWindowAssembly::MainWindowAssembly(MainWindowParts parts)
    : parts_(parts),
      setup_(SetupDialogServices{parts.config, parts.startup, parts.handover, parts.log, parts.messageBox, link_,
                                 parts.scanState.Handover()},
             parts.cfg),
      detail_(parts.config, MainWindowReturn()),
      zelApi_(ZelApi32Services{parts.terminalNet, parts.messageBox, parts.scanState.ZelApiResult, parts.processEnd,
                                   parts.log}),
      keypad_(zelApi_, MainWindowReturn()),
      gridTexts_(parts.config, parts.publication) {
  parts_.cfg.SetDialogTransfer(&setup_);
  setup_.OnCreated([this](SetupDialog& dialog) {
    statusEditor_ = std::make_unique<SetupDialogStatusEditor>(dialog, parts_.startup);
    setupWindows_ = std::make_unique<SetupDialogWindowHost>(dialog);
    statusEditorWindows_ = std::make_unique<StatusEditorWindowHost>(dialog, *setupWindows_, *statusEditor_);
  });
  parts_.seams.detail.Set(&detail_);
}

MainWindowAssembly::~MainWindowAssembly() {
  parts_.cfg.SetDialogTransfer(nullptr);
  link_.Set(nullptr);
  parts_.seams.window.Set(nullptr);
  parts_.seams.window.SetTransmitRateLabel(nullptr);
  parts_.seams.grid.Set(nullptr);
  parts_.seams.icons.Set(nullptr);
  parts_.seams.detail.Set(nullptr);
}

std::shared_ptr<MainScreen> MainWindowAssembly::Create() {
  if (window_) return window_;
  const auto layout = GridLayoutForScreen(parts_.startup.ScreenWidth);
  // Start-up refuses screens narrower than 800 pixels, so a layout exists.
  const GridLayout gridLayout = layout.value_or(GridLayoutForScreen(800).value());
  widget_ = std::make_unique<MainWindowWidget>(gridLayout, parts_.startup.MaxChannel, gdi_);
  grid_ = std::make_unique<GridDisplay>(gridState_, parts_.startup, gridTexts_,
                                        GridServices{gdi_, parts_.log, parts_.messageBox, parts_.clock},
                                        widget_->hWnd());
  window_ = std::make_shared<MainWindow>(
      MainWindowServices{parts_.startup, parts_.config, parts_.scanState, parts_.activation, parts_.references,
                         parts_.ports, *grid_, gridState_, parts_.publication, parts_.handshake, parts_.engine,
                         operatorWindows_, parts_.log, parts_.messageBox, parts_.clock,
                         [](int milliseconds) { QThread::msleep(static_cast<unsigned long>(milliseconds)); },
                         [this] { parts_.cfg.CfgProc(CfgOp::ReadSystemSetup, 0); },
                         [this](int channel) { setup_.Get().OpenForChannel(channel); }, ProgramVersion::Current()},
      parts_.state, MainWindowTimers{timer1_, txTimer_, gdiTimer_}, *widget_);
  widget_->Attach(*window_);
  link_.Set(window_.get());
  tray_ = std::make_unique<MainWindowTray>(
      MainWindowTrayParts{parts_.startup, parts_.state.Values, gridState_, parts_.log}, *window_, *widget_);
  refresh_ = std::make_unique<MainWindowRefreshDialog>(
      MainWindowRefreshParts{parts_.config.System, parts_.state.Values, MainWindowTimers{timer1_, txTimer_, gdiTimer_},
                             [this] { parts_.cfg.CfgProc(CfgOp::WriteSystemSetup, 0); }, parts_.messageBox},
      *window_, *widget_);
  parts_.seams.grid.Set(grid_.get());
  parts_.seams.icons.Set(&tray_->Icon());
  parts_.seams.window.Set(window_.get());
  parts_.seams.window.SetTransmitRateLabel(window_.get());
  return window_;
}

OperatorWindowReturn MainWindowAssembly::MainWindowReturn() {
  return OperatorWindowReturn{parts_.state.Values, parts_.startup,
                              [this] {
                                if (window_) window_->EnableButtons();
                              },
                              [this](int channel) {
                                if (!widget_) return;
                                auto* button = widget_->findChild<QPushButton*>(QStringLiteral("cmdDetail(%1)").arg(channel));
                                if (button) button->setFocus(Qt::OtherFocusReason);
                              }};
}

void MainWindowAssembly::ShowDetail() {
  if (!detailWidget_) detailWidget_ = std::make_unique<DetailWidget>(detail_);
  if (!parts_.registry.IsLoaded(detail_)) parts_.registry.Load(detail_);
  detail_.Show();
}

void MainWindowAssembly::ShowKeypad() {
  if (!keypadWidget_) keypadWidget_ = std::make_unique<ZelvarWidget>(keypad_);
  if (!parts_.registry.IsLoaded(keypad_)) parts_.registry.Load(keypad_);
  keypad_.Show();
}

void MainWindowAssembly::OperatorWindowCalls::PutInTray() {
  if (assembly_.tray_) assembly_.tray_->Icon().cmdPutInTray_Click();
}

void MainWindowAssembly::OperatorWindowCalls::ShowRefreshDialog(const std::array<std::string, 6>& tVal) {
  if (assembly_.refresh_) assembly_.refresh_->Dialog().Open(tVal);
}

void MainWindowAssembly::OperatorWindowCalls::SetlScan1(const std::string& caption) {
  if (assembly_.refresh_) assembly_.refresh_->Dialog().SetlScan1(caption);
}

void MainWindowAssembly::OperatorWindowCalls::SetlScan2(const std::string& caption) {
  if (assembly_.refresh_) assembly_.refresh_->Dialog().SetlScan2(caption);
}

void MainWindowAssembly::OperatorWindowCalls::SetlScan3(const std::string& caption) {
  if (assembly_.refresh_) assembly_.refresh_->Dialog().SetlScan3(caption);
}

void MainWindowAssembly::OperatorWindowCalls::CloseOperatorWindows() {
  if (assembly_.keypad_.Controls().Visible) assembly_.keypad_.cmdClose_Click();
  if (assembly_.detail_.Controls().Visible) assembly_.detail_.cmdClose_Click();
  if (assembly_.refresh_) assembly_.refresh_->Dialog().CloseRequested();
}

}  // namespace tarvex
