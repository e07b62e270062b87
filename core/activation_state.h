#pragma once
// The flag that the launch sets before it shows the main window: the main
// window's first activation runs its interface start while FirstActivate is
// True.
namespace tarvex {

struct ActivationState {
  bool FirstActivate = false;
};

}  // namespace tarvex
