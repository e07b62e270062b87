#pragma once
// The entry procedure of the manager: fixes the channel count, reads the
// switches, refuses a second instance and too small a screen, fills the fixed
// tables, creates the status-table array, loads the 32 DDE topic windows and
// then the start-up window, in that order, each step complete before the next.
#include <string>

#include "core/log_writer.h"
#include "core/startup_state.h"
#include "platform/instance_lock.h"
#include "platform/message_box.h"
#include "platform/os_version.h"
#include "platform/screen.h"

namespace tarvex {

// What Main needs of the outside world, gathered so tests can inject each part.
struct StartupServices {
  const OsVersionSource& os;
  std::string commandLine;
  InstanceCheck& instance;
  const Screen& screen;
  MessageBox& messageBox;
  LogWriter& log;
};

// The windows Main loads in its last two steps.
class StartupWindows {
public:
  virtual ~StartupWindows() = default;
  // DDEForm0 .. DDEForm31, in channel order: created and loaded, not shown.
  virtual void LoadDDETopicWindows() = 0;
  // frmTarvexStartup; its load runs inside this call.
  virtual void LoadStartupWindow() = 0;
};

enum class StartupOutcome {
  Started,         // the start-up window is loaded; the event loop takes over
  AlreadyRunning,  // refused: another instance runs
  ScreenTooSmall,  // refused: the primary screen is narrower than 800 pixels
};

inline constexpr const char* StartupProblemTitle = " Tarvex Manager Startup Problem...";

StartupOutcome Main(StartupState& state, StartupServices& services, StartupWindows& windows);

}  // namespace tarvex
