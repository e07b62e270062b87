#pragma once
// The start-up window frmTarvexStartup: the first window of the manager. Its
// load reads the system setup, shows the program revision and the logo for the
// screen, and offers Continue, which launches the main window; an unattended
// start (AutoStart in the system setup, on the first load of the process)
// launches it without input. The window stays loaded, hidden, while the main
// window runs, and comes back when the main window closes. End shuts the whole
// program down.
//
// This class holds the window's behaviour and the state of its controls; a
// StartupView shows that state and forwards the two buttons' clicks.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "core/form_references.h"
#include "core/form_registry.h"
#include "core/activation_state.h"
#include "core/main_screen.h"
#include "core/startup_screen.h"
#include "core/program_version.h"
#include "core/startup_state.h"

namespace tarvex {

// The controls of the window that its behaviour changes.
struct StartupControls {
  bool Visible = false;  // the window itself
  int MousePointer = MousePointer::Default;
  std::string lRevision = "Revision:";
  bool iVOLogo800Visible = false;
  bool iVOLogo1024Visible = false;
  bool iMenu800Visible = false;
  bool iMenu1024Visible = false;
  bool CmdContinueVisible = false;
  bool CmdContinueEnabled = true;
  bool CmdContinueFocused = false;

  bool operator==(const StartupControls&) const = default;
};

class StartupView {
public:
  virtual ~StartupView() = default;
  // Brings the window's controls to the given state.
  virtual void Render(const StartupControls& controls) = 0;
  // Repaints the window at once, before the next step runs.
  virtual void Refresh() = 0;
  // The window's unload has run: take it down.
  virtual void Close() = 0;
};

// Ends the process with a status; nothing of the caller runs afterwards.
class ProcessEnd {
public:
  virtual ~ProcessEnd() = default;
  virtual void End(int status) = 0;
};

namespace StartupTask {
constexpr int32_t MainChoice = 3;
constexpr int32_t ShowMainChoice = 4;
constexpr int32_t HideMainChoice = 5;
constexpr int32_t Shutdown = 6;
constexpr int32_t Show = 7;
constexpr int32_t Hide = 8;
}  // namespace StartupTask

struct StartupWindowServices {
  StartupState& state;
  // AutoStart of the system setup, as the last read of the file left it.
  const bool& AutoStart;
  // Reads the system setup file into `system` (configuration operation 15),
  // creating the file with its defaults when it is missing.
  std::function<void()> ReadSystemSetup;
  // Creates the main window object, not yet loaded.
  std::function<std::shared_ptr<MainScreen>()> CreateMainScreen;
  FormRegistry& registry;
  FormReferences& references;
  ActivationState& activation;
  // DevicesInitialized = False in the polling engine's state: the next scan
  // pass initialises every channel again.
  std::function<void()> ClearDevicesInitialized;
  ProcessEnd& processEnd;
  ProgramVersion version;
};

class StartupWindow final : public StartupScreen, public std::enable_shared_from_this<StartupWindow> {
public:
  StartupWindow(StartupWindowServices services, StartupView& view);

  std::string Name() const override { return "frmTarvexStartup"; }
  void Form_Load() override;
  // Runs the teardown of every window (UnloadAllForms) and takes the window down.
  void Form_Unload() override;

  // task 3: action 7 shows, action 8 hides the main-choice panel; task 4
  // shows it, task 5 hides it, task 6 shuts the program down; any other task
  // does nothing.
  void TaskCtrl(int32_t task, int32_t action);
  // Creates and loads the main window on its first use, hides this window,
  // re-reads the system setup and shows the main window.
  void LaunchMainScreen();

  void CmdContinue_Click() { LaunchMainScreen(); }
  void cmdEnd_Click() { TaskCtrl(StartupTask::Shutdown, StartupTask::Hide); }

  void ReturnFromMainScreen() override;

  const StartupControls& Controls() const noexcept { return controls_; }

private:
  void ShowMainChoice();
  void HideMainChoice();
  void Shutdown();
  MainScreen& MainWindow();
  void render() { view_.Render(controls_); }

  StartupWindowServices services_;
  StartupView& view_;
  StartupControls controls_;
};

}  // namespace tarvex
