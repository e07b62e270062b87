#pragma once
// The refresh-rate dialog frmRefresh ("Refresh Rates..."): the intervals and
// idle times of the scan, transmit and grid timers, as slider presets or in
// six boxes with spinners, applied to the running timers and saved to the
// system setup file; and, while it is open, the three timers' runs per second.
//
// What it must cope with: the boxes take what the operator types, and the
// system setup file may hold values a spinner cannot show (an interval of
// 250) or the operator cannot type (1000). An empty box, or an interval of 0, would stop a timer or make it spin.
//
// Policy: a box takes digits only, at most three typed; a longer value from
// the file is shown whole and kept by Update. A box value above 100 parks
// its spinner at 100 and leaves the box as typed; Update applies the box. An
// empty box, or 0 in an interval box, is refused with a box naming the field,
// and nothing is applied or saved. The window's own close and Esc are Close.
#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "config/config_state.h"
#include "platform/message_box.h"
#include "publish/main_window_values.h"
#include "ui/main_window/window_timer.h"

namespace tarvex {

inline constexpr int RateBoxCount = 6;  // tVal(0..5), VScroll1(0..5)
inline constexpr int SimpleViewHeight = 2064;    // twips
inline constexpr int AdvancedViewHeight = 4344;  // twips
inline constexpr const char* RefreshDialogTitle = "Refresh Rates...";

namespace SliderPosition {
constexpr int Slow = 0;
constexpr int Normal = 1;
constexpr int Fast = 2;
}  // namespace SliderPosition

// The controls of the dialog that its behaviour changes.
struct RefreshControls {
  bool Visible = false;
  int Height = SimpleViewHeight;
  bool fRefreshVisible = false;
  bool cmdAdvancedEnabled = true;
  bool Slider1Enabled = true;
  bool cmdSimpleCloseEnabled = true;
  int Slider1 = SliderPosition::Normal;
  std::array<std::string, RateBoxCount> tVal{};
  std::array<int, RateBoxCount> VScroll1{};
  std::array<std::string, 3> lScan{"Scan:", "Scan:", "Scan:"};

  bool operator==(const RefreshControls&) const = default;
};

class RefreshView {
public:
  virtual ~RefreshView() = default;
  virtual void Render(const RefreshControls& controls) = 0;
};

// What the dialog's Close asks of the main window.
class RefreshDialogOwner {
public:
  virtual ~RefreshDialogOwner() = default;
  // cmdRefresh, CmdHelp, cmdEnd, cmdPutInTray, then every channel's
  // cmdSetup and cmdDetail up to MaxChannel.
  virtual void EnableButtons() = 0;
  virtual void FocusRefreshButton() = 0;
};

struct RefreshDialogServices {
  SystemSetup& system;  // RxInterval, RxIdle, TxInterval, TxIdle, GDIInterval, GDIIdle
  MainWindowValues& values;  // RefreshDialogOpen
  MainWindowTimers timers;
  // CfgProc(16, 0): writes the system setup file from the values.
  std::function<void()> WriteSystemSetup;
  RefreshDialogOwner& owner;
  MessageBox& messageBox;
};

class RefreshDialog {
public:
  RefreshDialog(RefreshDialogServices services, RefreshView& view);

  // The main window's Refresh button: the boxes filled from the running
  // values, the dialog shown and activated.
  void Open(const std::array<std::string, RateBoxCount>& tVal);

  void Form_Activate();
  // The operator moved the slider to a position.
  void Slider1_Scroll(int position);
  void cmdAdvanced_Click();
  void cmdUnAdvanced_Click();
  // True when the values were applied and saved.
  bool cmdUpdate_Click();
  // The operator moved spinner index to value (0 to 100).
  void VScroll1_Change(int index, int value);
  // The operator's new text of box index; a text the box cannot take is
  // refused and the box keeps its text. True when taken.
  bool tVal_Change(int index, const std::string& text);
  void cmdSimpleClose_Click();
  void cmdClose_Click();
  // The window's own close and Esc: Close of the view shown.
  void CloseRequested();

  // The runs per second of the scan, transmit and grid timers (lScan1-lScan3).
  void SetlScan1(const std::string& caption) { SetlScan(0, caption); }
  void SetlScan2(const std::string& caption) { SetlScan(1, caption); }
  void SetlScan3(const std::string& caption) { SetlScan(2, caption); }

  const RefreshControls& Controls() const noexcept { return controls_; }

private:
  void SetlScan(int index, const std::string& caption);
  void SetBox(int index, const std::string& text);
  void SetView(bool advanced);
  void Close();
  void render() { view_.Render(controls_); }

  RefreshDialogServices s_;
  RefreshView& view_;
  RefreshControls controls_;
};

}  // namespace tarvex
