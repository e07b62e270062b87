#pragma once
// The windows the main window opens and the tray it hides behind. Each opened
// window, when the operator closes it, enables the main window's buttons again
// (MainWindow::EnableButtons).
#include <array>
#include <string>

namespace tarvex {

class OperatorWindows {
public:
  virtual ~OperatorWindows() = default;
  // Background mode: the window hides behind its tray icon (cmdPutInTray_Click).
  virtual void PutInTray() = 0;
  // The virtual terminal keypad ZELVAR for SelectedChannel, its display focused.
  virtual void ShowKeypad() = 0;
  // The detail window frmDetail for SelectedChannel.
  virtual void ShowDetail() = 0;
  // The refresh-rate dialog frmRefresh with its six boxes tVal(0..5) filled.
  virtual void ShowRefreshDialog(const std::array<std::string, 6>& tVal) = 0;
  // The runs per second of the scan, transmit and grid timers, in the refresh
  // dialog's labels lScan1, lScan2 and lScan3.
  virtual void SetlScan1(const std::string& caption) = 0;
  virtual void SetlScan2(const std::string& caption) = 0;
  virtual void SetlScan3(const std::string& caption) = 0;
  // End: each of the keypad, the detail window and the refresh-rate dialog
  // that is open is closed as its own Close does, so none is left over the
  // start-up window and the buttons it disabled are enabled again.
  virtual void CloseOperatorWindows() = 0;
};

}  // namespace tarvex
