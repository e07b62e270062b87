#pragma once
// Where the channel grid's cells lie in the main window's client area. Two
// layouts exist, drawn for screens 800 and 1024 pixels wide; a screen of 800
// to 1023 pixels takes the first, one of 1024 or more the second, and a
// narrower screen (start-up refuses those) none.
#include <array>
#include <optional>

namespace tarvex {

constexpr int GridLayoutRows = 33;  // rows 0 to 32 of the adjustment tables
constexpr int GridCellColumns = 13;  // GridColumn 0 to 12

namespace GridColumn {
constexpr int ReceiveIndicator = 0;
constexpr int TransmitIndicator = 1;
constexpr int FirstLamp = 2;
constexpr int LastLamp = 7;
constexpr int Description = 8;
constexpr int Gross = 9;
constexpr int Tare = 10;
constexpr int Net = 11;
constexpr int StatusText = 12;
}  // namespace GridColumn

struct GridLayout {
  short LayoutWidth = 0;  // 800 or 1024: the screen width the layout was drawn for
  short LedWidth = 0;
  short LedHeight = 0;
  short GridCellHeight = 0;
  short LedCellWidth = 0;
  short RowPitch = 0;
  short GridTop = 0;  // before the lowering of the 800 layout
  short TextRightX = 0;
  short TextY = 0;
  short FontHeight = 0;
  short FontWidth = 0;
  std::array<short, GridLayoutRows> IndicatorRowAdjust{};
  std::array<short, GridLayoutRows> LampRowAdjust{};
};

struct GridCellRect {
  short x = 0;
  short y = 0;
  short width = 0;
  short height = 0;
  bool operator==(const GridCellRect&) const = default;
};

// The layout for a screen width, or none below 800.
std::optional<GridLayout> GridLayoutForScreen(int screenWidth);

// The top of a row before the per-column adjustment.
int GridRowBase(const GridLayout& layout, int row);

// A cell's top-left corner and nominal size; row 0 to 32, column 0 to 12.
GridCellRect GridCellPlace(const GridLayout& layout, int row, int column);

}  // namespace tarvex
