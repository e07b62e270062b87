#pragma once
// The Close of the windows the main window's Detail button opens (the detail
// window and the keypad): both give the main window back in the same four
// steps, so a closed window never leaves the buttons disabled or a channel
// feeding a hidden window.
#include <functional>

#include "core/startup_state.h"
#include "publish/main_window_values.h"

namespace tarvex {

struct OperatorWindowReturn {
  MainWindowValues& values;     // DetailOpen, SelectedChannel
  const StartupState& startup;  // MaxChannel
  // The main window's cmdRefresh, CmdHelp, cmdEnd, cmdPutInTray and every
  // channel's Setup and Detail buttons enabled again.
  std::function<void()> EnableButtons;
  // The focus on the main window's cmdDetail(channel).
  std::function<void(int channel)> FocusDetailButton;
};

// Buttons enabled, DetailOpen cleared for channels 0 to MaxChannel, the
// window hidden (hide), the focus on cmdDetail(SelectedChannel).
void CloseOperatorWindow(const OperatorWindowReturn& main, const std::function<void()>& hide);

}  // namespace tarvex
