#pragma once
// What the main window keeps for the whole run. The windows own it; the
// values the layers below read (MainWindowValues) are passed down by reference.
#include <cstdint>

#include "publish/main_window_values.h"

namespace tarvex {

struct MainWindowState {
  MainWindowValues Values;
  // The grid timer's own ticks per second, for the refresh dialog: the ticks
  // counted since the last second boundary, and that boundary as seconds
  // since midnight (0 until the first boundary is seen).
  int32_t GDITicksThisSecond = 0;
  int32_t GDILastSecond = 0;
};

}  // namespace tarvex
