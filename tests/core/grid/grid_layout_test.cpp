// Where the grid's cells lie for each screen width.
#include <gtest/gtest.h>

#include "core/grid/grid_layout.h"

namespace tarvex {
namespace {

struct PlaceCase {
  int width;
  int row;
  int column;
  GridCellRect expected;
};

// Rows 0, 6, 11 and 30 at 800 carry the lowered tops and the adjustments of
// indicators and lamps; at 1024 every column of a row lies at 16 * row + 207.
const PlaceCase PlaceCases[] = {
    {800, 0, 0, {44, 152, 13, 13}},   {800, 0, 1, {57, 152, 13, 13}},   {800, 0, 2, {575, 151, 13, 13}},
    {800, 0, 7, {640, 151, 13, 13}},  {800, 0, 8, {124, 149, 200, 13}}, {800, 0, 9, {285, 149, 45, 13}},
    {800, 0, 12, {452, 149, 90, 13}}, {800, 1, 0, {44, 165, 13, 13}}, {800, 1, 3, {588, 163, 13, 13}},
    {800, 5, 4, {601, 215, 13, 13}},  {800, 6, 0, {44, 229, 13, 13}},   {800, 6, 6, {628, 227, 13, 13}},
    {800, 6, 10, {341, 226, 45, 13}}, {800, 7, 1, {57, 241, 13, 13}},   {800, 11, 0, {44, 293, 13, 13}},
    {800, 11, 5, {614, 291, 13, 13}}, {800, 11, 11, {396, 291, 45, 13}}, {800, 12, 2, {575, 304, 13, 13}},
    {800, 30, 0, {44, 536, 13, 13}},  {800, 30, 2, {575, 535, 13, 13}}, {800, 30, 8, {124, 534, 200, 13}},
    {800, 31, 7, {640, 547, 13, 13}}, {800, 31, 12, {452, 547, 90, 13}},
    {1024, 0, 0, {31, 207, 13, 12}},  {1024, 0, 1, {47, 207, 13, 12}},  {1024, 0, 2, {741, 207, 13, 12}},
    {1024, 0, 4, {774, 207, 13, 12}}, {1024, 0, 7, {823, 207, 13, 12}}, {1024, 0, 8, {126, 207, 200, 12}},
    {1024, 0, 9, {320, 207, 85, 12}}, {1024, 0, 10, {400, 207, 85, 12}}, {1024, 0, 11, {480, 207, 85, 12}},
    {1024, 0, 12, {600, 207, 130, 12}}, {1024, 6, 6, {807, 303, 13, 12}}, {1024, 31, 0, {31, 703, 13, 12}},
    {1024, 31, 5, {790, 703, 13, 12}}, {1024, 31, 12, {600, 703, 130, 12}},
};

TEST(GridLayout, cellsLieAtTheirPlacesForEachWidth) {
  for (const PlaceCase& c : PlaceCases) {
    const auto layout = GridLayoutForScreen(c.width);
    ASSERT_TRUE(layout);
    const GridCellRect got = GridCellPlace(*layout, c.row, c.column);
    EXPECT_EQ(got, c.expected) << "width " << c.width << " row " << c.row << " column " << c.column << ": got "
                               << got.x << "," << got.y << " " << got.width << "x" << got.height;
  }
}

TEST(GridLayout, everyRowOfThe800LayoutFollowsItsLoweredTop) {
  const auto layout = GridLayoutForScreen(800);
  ASSERT_TRUE(layout);
  for (int row = 0; row <= 31; ++row) {
    EXPECT_EQ(GridRowBase(*layout, row), 13 * row + 149 - row / 6) << "row " << row;
  }
}

TEST(GridLayout, screenWidthPicksTheLayoutFromItsLowerBound) {
  const struct {
    int screenWidth;
    int layoutWidth;  // 0: no layout
  } cases[] = {{0, 0}, {640, 0}, {799, 0}, {800, 800}, {801, 800}, {1023, 800}, {1024, 1024}, {1280, 1024},
               {1920, 1024}, {3840, 1024}};
  for (const auto& c : cases) {
    const auto layout = GridLayoutForScreen(c.screenWidth);
    EXPECT_EQ(layout ? layout->LayoutWidth : 0, c.layoutWidth) << "screen " << c.screenWidth;
  }
}

TEST(GridLayout, layoutValuesMatchEachWidth) {
  const auto small = GridLayoutForScreen(800);
  const auto large = GridLayoutForScreen(1024);
  ASSERT_TRUE(small && large);
  EXPECT_EQ((std::array{small->LedWidth, small->LedHeight, small->GridCellHeight, small->LedCellWidth,
                        small->RowPitch, small->TextRightX, small->TextY, small->FontHeight, small->FontWidth}),
            (std::array<short, 9>{9, 9, 13, 13, 13, 45, 2, 12, 5}));
  EXPECT_EQ((std::array{large->LedWidth, large->LedHeight, large->GridCellHeight, large->LedCellWidth,
                        large->RowPitch, large->TextRightX, large->TextY, large->FontHeight, large->FontWidth}),
            (std::array<short, 9>{11, 12, 12, 13, 16, 80, -3, 16, 7}));
}

}  // namespace
}  // namespace tarvex
