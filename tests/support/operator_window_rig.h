#pragma once
// What the detail window and the keypad reach of the main window, recorded:
// the buttons given back and the focus, in one ordered trace.
#include <string>
#include <vector>

#include "config/config_state.h"
#include "core/startup_state.h"
#include "publish/main_window_values.h"
#include "ui/detail/operator_window_close.h"

namespace tarvex::test {

struct OperatorWindowRig {
  OperatorWindowRig() { startup.MaxChannel = 31; }

  StartupState startup;
  ConfigState config;
  MainWindowValues values;
  std::vector<std::string> trace;
  OperatorWindowReturn main{values, startup, [this] { trace.push_back("buttons enabled"); },
                            [this](int channel) { trace.push_back("focus cmdDetail(" + std::to_string(channel) + ")"); }};
};

}  // namespace tarvex::test
