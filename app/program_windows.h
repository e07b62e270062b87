#pragma once
// The windows the start-up sequence loads in the running program: the DDE
// topic windows, then the start-up window with its widget, whose Continue
// launches the main window.
#include <functional>
#include <memory>

#include "config/system_setup.h"
#include "core/form_references.h"
#include "core/form_registry.h"
#include "core/startup.h"
#include "core/startup_window.h"
#include "ui/startup/startup_widget.h"

namespace tarvex {

struct ProgramWindowServices {
  StartupState& state;
  const SystemSetup& system;
  std::function<void()> ReadSystemSetup;
  std::function<std::shared_ptr<MainScreen>()> CreateMainScreen;
  FormRegistry& registry;
  FormReferences& references;
  ActivationState& activation;
  ProcessEnd& processEnd;
};

class ProgramWindows final : public StartupWindows {
public:
  explicit ProgramWindows(ProgramWindowServices services) : services_(std::move(services)) {}

  void LoadDDETopicWindows() override;
  void LoadStartupWindow() override;

private:
  ProgramWindowServices services_;
  std::unique_ptr<StartupWidget> startupWidget_;
};

// Ends the process at once with the status; log records are on disk already.
class ExitProcess final : public ProcessEnd {
public:
  void End(int status) override;
};

}  // namespace tarvex
