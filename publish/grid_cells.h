#pragma once
// What publication uses of the main window's channel grid: a cell's redraw
// flag, the indicator and lamp flags, and the drawing of one cell. Cells
// outside the grid's arrays raise error 9 in the grid.
#include <cstdint>

namespace tarvex {

// The grid columns publication touches.
namespace GridColumn {
constexpr int ReceiveIndicator = 0;
constexpr int TransmitIndicator = 1;
constexpr int Gross = 9;
constexpr int Tare = 10;
constexpr int Net = 11;
constexpr int StatusText = 12;
}  // namespace GridColumn

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
