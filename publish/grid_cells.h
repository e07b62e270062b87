#pragma once
// What publication uses of the main window's channel grid: a cell's redraw
// flag, the indicator and lamp flags, and the drawing of one cell (columns are
// GridColumn numbers). The grid ignores cells outside its arrays.
#include <cstdint>

#include "core/grid/grid_layout.h"

namespace tarvex {

class GridCells {
public:
  virtual ~GridCells() = default;
  // CellDirty(ch, col) = True: the grid timer draws the cell.
  virtual void SetCellDirty(int32_t ch, int col) = 0;
  virtual bool IndicatorOn(int32_t ch, int col) const = 0;
  virtual void SetIndicatorOn(int32_t ch, int col, bool on) = 0;
  // Draws the cell now (when its flag is set and the window has been painted).
  virtual void DrawCell(int32_t ch, int col) = 0;
};

}  // namespace tarvex
