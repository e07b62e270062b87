#include "core/grid/grid_layout.h"

#include "core/screen_layout.h"

namespace tarvex {

namespace {

struct ColumnPlace {
  short x;
  short width;
};

constexpr std::array<ColumnPlace, GridCellColumns> Columns800 = {{
    {44, 13}, {57, 13},                                                 // indicators
    {575, 13}, {588, 13}, {601, 13}, {614, 13}, {628, 13}, {640, 13},  // lamps
    {124, 200}, {285, 45}, {341, 45}, {396, 45}, {452, 90},            // texts
}};

constexpr std::array<ColumnPlace, GridCellColumns> Columns1024 = {{
    {31, 13}, {47, 13},
    {741, 13}, {757, 13}, {774, 13}, {790, 13}, {807, 13}, {823, 13},
    {126, 200}, {320, 85}, {400, 85}, {480, 85}, {600, 130},
}};

GridLayout Layout800() {
  GridLayout layout;
  layout.LayoutWidth = 800;
  layout.LedWidth = 9;
  layout.LedHeight = 9;
  layout.GridCellHeight = 13;
  layout.LedCellWidth = 13;
  layout.RowPitch = 13;
  layout.GridTop = 150;
  layout.TextRightX = 45;
  layout.TextY = 2;
  layout.FontHeight = 12;
  layout.FontWidth = 5;
  layout.IndicatorRowAdjust.fill(2);
  for (int row : {0, 1, 6}) layout.IndicatorRowAdjust[row] = 3;
  layout.LampRowAdjust.fill(1);
  layout.LampRowAdjust[0] = 2;
  for (int row : {11, 16, 17, 21, 22, 23, 26, 27, 28, 29, 31}) layout.LampRowAdjust[row] = 0;
  return layout;
}

GridLayout Layout1024() {
  GridLayout layout;
  layout.LayoutWidth = 1024;
  layout.LedWidth = 11;
  layout.LedHeight = 12;
  layout.GridCellHeight = 12;
  layout.LedCellWidth = 13;
  layout.RowPitch = 16;
  layout.GridTop = 207;
  layout.TextRightX = 80;
  layout.TextY = -3;
  layout.FontHeight = 16;
  layout.FontWidth = 7;
  return layout;
}

}  // namespace

std::optional<GridLayout> GridLayoutForScreen(int screenWidth) {
  switch (LayoutFor(screenWidth)) {
    case ScreenLayout::Width1024: return Layout1024();
    case ScreenLayout::Width800: return Layout800();
    case ScreenLayout::None: break;
  }
  return std::nullopt;
}

int GridRowBase(const GridLayout& layout, int row) {
  // The 800 layout lowers its top by one before every sixth row, row 0 included.
  const int top = layout.LayoutWidth == 800 ? layout.GridTop - (row / 6 + 1) : layout.GridTop;
  return layout.RowPitch * row + top;
}

GridCellRect GridCellPlace(const GridLayout& layout, int row, int column) {
  const auto& columns = layout.LayoutWidth == 800 ? Columns800 : Columns1024;
  const ColumnPlace place = columns.at(static_cast<size_t>(column));
  const size_t adjustRow = static_cast<size_t>(row);
  int y = GridRowBase(layout, row);
  if (column <= GridColumn::TransmitIndicator) {
    y += layout.IndicatorRowAdjust.at(adjustRow);
  } else if (column <= GridColumn::LastLamp) {
    y += layout.LampRowAdjust.at(adjustRow);
  }
  return GridCellRect{place.x, static_cast<short>(y), place.width, layout.GridCellHeight};
}

}  // namespace tarvex
