#pragma once
// The lamps of a channel's grid row (IndicatorOn columns, GridColumn numbers),
// and the one way the engine switches one: the lamp's state and its cell
// flagged for the grid timer to draw.
#include <cstdint>

#include "publish/grid_cells.h"

namespace tarvex {
namespace Lamp {

constexpr int Receive = 0;
constexpr int Transmit = 1;
constexpr int Motion = 2;
constexpr int NetMode = 3;
constexpr int Units = 4;
constexpr int Enabled = 5;
constexpr int DatabaseRequest = 6;
constexpr int Error = 7;

}  // namespace Lamp

inline void SwitchLamp(GridCells& grid, int32_t ch, int lamp, bool on) {
  grid.SetIndicatorOn(ch, lamp, on);
  grid.SetCellDirty(ch, lamp);
}

}  // namespace tarvex
