#pragma once
// Process-wide flags that the launch sets before it shows the main window: the
// main window's first activation runs its interface start while FirstActivate
// is True; the first scan pass initialises every channel while
// DevicesInitialized is False.
namespace tarvex {

struct ActivationState {
  bool FirstActivate = false;
  bool DevicesInitialized = false;
};

}  // namespace tarvex
