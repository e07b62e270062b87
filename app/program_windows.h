#pragma once
// The windows the start-up sequence loads in the running program: the DDE
// topic windows, then the start-up window with its widget, whose Continue
// launches the main window.
#include <memory>

#include "core/startup.h"
#include "core/startup_window.h"
#include "ui/startup/startup_widget.h"

namespace tarvex {

class ProgramWindows final : public StartupWindows {
public:
  explicit ProgramWindows(StartupWindowServices services) : services_(std::move(services)) {}

  void LoadDDETopicWindows() override;
  void LoadStartupWindow() override;

private:
  StartupWindowServices services_;
  std::unique_ptr<StartupWidget> startupWidget_;
};

// Ends the process at once with the status; log records are on disk already.
class ExitProcess final : public ProcessEnd {
public:
  void End(int status) override;
};

}  // namespace tarvex
