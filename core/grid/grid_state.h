#pragma once
// Everything the channel grid keeps between calls: per cell its place, its
// three drawing surfaces and its flags; per channel row its lit indicators
// and lamps; the font, pens and brushes; the layout in use; and whether the
// main window may be drawn on (Painted).
//
// The tables are larger than what is used (rows 0 to 33, columns 0 to 14;
// indicators columns 0 to 8). A row or column outside them reads as nothing
// and a write there is ignored, so callers may pass any channel and column.
#include <array>
#include <cstdint>
#include <string>

#include "core/grid/grid_layout.h"
#include "platform/drawing/gdi.h"

namespace tarvex {

constexpr int GridTableRows = 34;
constexpr int GridTableColumns = 15;
constexpr int IndicatorTableColumns = 9;
constexpr int ColourSlotCount = 34;

struct GridCell {
  bool CellCreated = false;
  short CellX = 0;
  short CellY = 0;
  short CellWidth = 0;
  short CellHeight = 0;
  GdiHandle hFrameDC = 0;
  GdiHandle hFrame = 0;
  GdiHandle hFramePrev = 0;
  GdiHandle hBackgroundDC = 0;
  GdiHandle hBackground = 0;
  GdiHandle hBackgroundPrev = 0;
  GdiHandle hOrigBackgroundDC = 0;
  GdiHandle hOrigBackground = 0;
  GdiHandle hOrigBackgroundPrev = 0;
  bool CellDirty = false;
  // What the frame surface shows now: the lamp's state or the text drawn,
  // as DrawCell composed it last. The backgrounds never change after the
  // cell is made, so a frame composed from the same content is the same
  // picture and is not composed again.
  bool FrameKnown = false;
  std::string FrameContent;
  // The redraw meter (debug mode, status text column).
  std::int32_t RedrawMark = 0;
  std::int16_t RedrawCount = 0;
  std::string RedrawText;
};

class GridState {
public:
  bool Painted = false;
  GdiHandle hArial = 0;
  std::array<GdiHandle, ColourSlotCount> hpen{};
  std::array<GdiHandle, ColourSlotCount> hbr{};
  std::array<LogBrush, ColourSlotCount> BrushRecord{};
  bool GDIResourcesCreated = false;
  GridLayout Layout;  // the layout values; LayoutWidth 0 while none is set

  // The cell at (row, column), or nullptr outside the tables.
  GridCell* Cell(int row, int column) {
    return InCellTable(row, column) ? &cells_[static_cast<size_t>(row)][static_cast<size_t>(column)] : nullptr;
  }
  const GridCell* Cell(int row, int column) const {
    return InCellTable(row, column) ? &cells_[static_cast<size_t>(row)][static_cast<size_t>(column)] : nullptr;
  }

  bool CellDirty(int row, int column) const {
    const GridCell* cell = Cell(row, column);
    return cell && cell->CellDirty;
  }
  void SetCellDirty(int row, int column, bool dirty = true) {
    if (GridCell* cell = Cell(row, column)) cell->CellDirty = dirty;
  }

  bool IndicatorOn(int row, int column) const {
    return InIndicatorTable(row, column) && indicatorOn_[static_cast<size_t>(row)][static_cast<size_t>(column)];
  }
  void SetIndicatorOn(int row, int column, bool on) {
    if (InIndicatorTable(row, column)) indicatorOn_[static_cast<size_t>(row)][static_cast<size_t>(column)] = on;
  }

private:
  static bool InCellTable(int row, int column) {
    return row >= 0 && row < GridTableRows && column >= 0 && column < GridTableColumns;
  }
  static bool InIndicatorTable(int row, int column) {
    return row >= 0 && row < GridTableRows && column >= 0 && column < IndicatorTableColumns;
  }

  std::array<std::array<GridCell, GridTableColumns>, GridTableRows> cells_{};
  std::array<std::array<bool, IndicatorTableColumns>, GridTableRows> indicatorOn_{};
};

}  // namespace tarvex
