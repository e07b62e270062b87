#pragma once
// The start-up window frmTarvexStartup as the main window sees it. The
// start-up window implements it.
#include "core/form.h"

namespace tarvex {

class StartupScreen : public Form {
public:
  // The main window's close hands back to the start-up window: it is shown
  // again with the default pointer and Continue enabled and focused.
  virtual void ReturnFromMainScreen() = 0;
};

}  // namespace tarvex
