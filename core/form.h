#pragma once
// A window of the manager as loading and teardown see it. Each window keeps
// its own load and unload work; the registry decides when they run.
#include <string>

namespace tarvex {

class Form {
public:
  virtual ~Form() = default;
  // The window's name ("frmTVM", "DDEForm3"): what the logs and tests show.
  virtual std::string Name() const = 0;
  // The window's load work; runs once, when the registry loads the window.
  virtual void Form_Load() {}
  // The window's unload work; runs once, when the registry unloads the window.
  virtual void Form_Unload() {}
  // Stops the window's timers, so that no timer event runs during the teardown.
  virtual void StopTimers() {}
};

}  // namespace tarvex
