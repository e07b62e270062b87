// Drawing the grid's cells onto the window canvas, checked by its pixels.
#include <gtest/gtest.h>

#include <QColor>

#include "tests/support/grid_rig.h"

namespace tarvex {
namespace {

using testing::GridOptions;
using testing::GridRig;

void NoSleep(int) {}

// A built grid whose window has painted, every cell drawn once (or, with
// drawAll false, every cell left dirty).
struct PaintedGrid : GridRig {
  explicit PaintedGrid(GridOptions options = {}, bool drawAll = true) : GridRig(options) {
    display->CreateGDIDisplay();
    display->Form_Paint();
    if (drawAll) display->GDITimer_Timer(false, 0, NoSleep);
  }
  void Redraw(int row, int column) {
    display->SetCellDirty(row, column);
    display->DrawCell(row, column);
  }
  QRgb Pixel(int x, int y) const { return canvas->Image().pixel(x, y) & 0xFFFFFF; }
};

QRgb Rgb(int r, int g, int b) { return qRgb(r, g, b) & 0xFFFFFF; }

TEST(GridCellDrawing, nothingIsDrawnWhileTheWindowMayNotBePainted) {
  GridRig rig;
  rig.display->CreateGDIDisplay();
  rig.texts.Gross[0] = "123.4";
  rig.grid.SetIndicatorOn(0, 7, true);
  rig.display->MarkAllCellsDirty();
  for (int column = 0; column < 13; ++column) rig.display->DrawCell(0, column);
  rig.display->GDITimer_Timer(false, 0, NoSleep);
  EXPECT_EQ(rig.canvas->Image(), rig.background);
  for (int column = 0; column < 13; ++column) EXPECT_TRUE(rig.grid.CellDirty(0, column)) << column;

  // Once painted, the cells left dirty are drawn.
  rig.display->Form_Paint();
  rig.display->GDITimer_Timer(false, 0, NoSleep);
  EXPECT_NE(rig.CellPixels(0, 9), rig.BackgroundPixels(0, 9));
  EXPECT_NE(rig.CellPixels(0, 7), rig.BackgroundPixels(0, 7));
}

TEST(GridCellDrawing, aCleanCellIsNotRedrawnWhateverChanged) {
  PaintedGrid rig;
  const QImage before = rig.canvas->Image();
  rig.grid.SetIndicatorOn(2, 5, true);
  rig.texts.Net[2] = "99.9";
  rig.display->DrawCell(2, 5);
  rig.display->DrawCell(2, 11);
  rig.display->GDITimer_Timer(false, 0, NoSleep);
  EXPECT_EQ(rig.canvas->Image(), before);
}

TEST(GridCellDrawing, aLitLampShowsItsSlotColourAndADarkOneTheBareBackground) {
  const struct {
    int column;
    QRgb colour;
  } lamps[] = {{0, Rgb(0, 255, 0)},    {1, Rgb(0, 255, 0)},   {2, Rgb(255, 255, 0)}, {3, Rgb(0, 164, 255)},
               {4, Rgb(0, 164, 255)},  {5, Rgb(0, 255, 0)},   {6, Rgb(255, 0, 255)}, {7, Rgb(255, 32, 32)}};
  for (int width : {800, 1024}) {
    PaintedGrid rig({width, 7});
    const GridLayout& layout = rig.grid.Layout;
    for (const auto& lamp : lamps) {
      SCOPED_TRACE("width " + std::to_string(width) + " column " + std::to_string(lamp.column));
      const int row = 6;
      const GridCell& cell = *rig.grid.Cell(row, lamp.column);
      const int top = lamp.column <= 1 ? 0 : 1;  // indicators start one line higher
      const int cx = cell.CellX + (1 + layout.LedWidth) / 2;
      const int cy = cell.CellY + (top + layout.LedHeight) / 2;

      rig.grid.SetIndicatorOn(row, lamp.column, true);
      rig.Redraw(row, lamp.column);
      EXPECT_EQ(rig.Pixel(cx, cy), lamp.colour);
      EXPECT_FALSE(rig.grid.CellDirty(row, lamp.column));
      // The ellipse stays inside its box: the column at LedWidth is untouched.
      EXPECT_EQ(rig.Pixel(cell.CellX + layout.LedWidth, cy), rig.background.pixel(cell.CellX + layout.LedWidth, cy) & 0xFFFFFF);

      rig.grid.SetIndicatorOn(row, lamp.column, false);
      rig.Redraw(row, lamp.column);
      EXPECT_EQ(rig.CellPixels(row, lamp.column), rig.BackgroundPixels(row, lamp.column));
    }
  }
}

TEST(GridCellDrawing, tareIsShownOnlyWhenItsValueIsAboveZero) {
  const struct {
    const char* tare;
    bool shown;
  } cases[] = {{"0", false},   {"0.000", false}, {"-1.5", false}, {"", false},
               {"kg 5", false}, {" 12.5", true},  {"3 kg", true},  {"0.001", true}};
  for (int width : {800, 1024}) {
    for (const auto& c : cases) {
      SCOPED_TRACE("width " + std::to_string(width) + " tare \"" + c.tare + "\"");
      PaintedGrid rig({width, 1});
      // The gross cell of row 1 draws the same text the same way, blanks and unit included.
      rig.texts.Tare[1] = c.tare;
      rig.texts.Gross[1] = c.tare;
      rig.Redraw(1, 10);
      rig.Redraw(1, 9);
      if (c.shown) {
        EXPECT_EQ(rig.CellPixels(1, 10), rig.CellPixels(1, 9));
        EXPECT_NE(rig.CellPixels(1, 10), rig.BackgroundPixels(1, 10));
      } else {
        EXPECT_EQ(rig.CellPixels(1, 10), rig.BackgroundPixels(1, 10));
      }
    }
  }
}

TEST(GridCellDrawing, textsAreDrawnInTheirColoursAndPlaces) {
  PaintedGrid rig({1024, 0});
  rig.texts.Descriptions[0] = "Hopper";
  rig.texts.Gross[0] = "88.8";
  rig.texts.Net[0] = "";
  rig.texts.Status[0] = "Online...";
  rig.Redraw(0, 8);
  rig.Redraw(0, 9);
  rig.Redraw(0, 11);
  rig.Redraw(0, 12);

  // Every pixel that differs from the background is in the cell's text colour.
  const auto inkOf = [&](int column) {
    const QImage cell = rig.CellPixels(0, column);
    const QImage bare = rig.BackgroundPixels(0, column);
    QRect ink;
    QList<QRgb> colours;
    for (int y = 0; y < cell.height(); ++y) {
      for (int x = 0; x < cell.width(); ++x) {
        if (cell.pixel(x, y) == bare.pixel(x, y)) continue;
        ink |= QRect(x, y, 1, 1);
        if (!colours.contains(cell.pixel(x, y) & 0xFFFFFF)) colours.append(cell.pixel(x, y) & 0xFFFFFF);
      }
    }
    return std::pair{ink, colours};
  };
  const auto [descriptionInk, descriptionColours] = inkOf(8);
  EXPECT_EQ(descriptionColours, QList<QRgb>{Rgb(0, 0, 128)});
  EXPECT_LE(descriptionInk.left(), 2);
  const auto [grossInk, grossColours] = inkOf(9);
  EXPECT_EQ(grossColours, QList<QRgb>{Rgb(0, 0, 0)});
  // Right-aligned at TextRightX 80: the text ends just before it.
  EXPECT_GE(grossInk.right(), 76);
  EXPECT_LE(grossInk.right(), 79);
  EXPECT_TRUE(inkOf(11).first.isEmpty());
  const auto [statusInk, statusColours] = inkOf(12);
  EXPECT_EQ(statusColours, QList<QRgb>{Rgb(128, 0, 0)});
}

TEST(GridCellDrawing, redrawMeterShowsTheRedrawsOfThePreviousSecond) {
  PaintedGrid rig({800, 0, true, /*debugMode=*/true}, /*drawAll=*/false);
  PaintedGrid plain({800, 0});
  rig.texts.Status[0] = "Ready...";
  const auto shows = [&](const std::string& text) {
    plain.texts.Status[0] = text;
    plain.Redraw(0, 12);
    return rig.CellPixels(0, 12) == plain.CellPixels(0, 12);
  };
  const QDate day(2026, 1, 5);

  rig.clock.set(QDateTime(day, QTime(10, 0, 0)));
  rig.Redraw(0, 12);
  EXPECT_EQ(rig.grid.Cell(0, 12)->RedrawText, "000000");
  EXPECT_TRUE(shows("000000"));
  EXPECT_EQ(rig.grid.Cell(0, 12)->RedrawMark, 36000);

  rig.clock.set(QDateTime(day, QTime(10, 0, 0, 500)));
  for (int i = 0; i < 11; ++i) rig.Redraw(0, 12);
  EXPECT_TRUE(shows("000000"));

  rig.clock.set(QDateTime(day, QTime(10, 0, 1)));
  rig.Redraw(0, 12);
  EXPECT_EQ(rig.grid.Cell(0, 12)->RedrawText, "000011");
  EXPECT_TRUE(shows("000011"));
  EXPECT_EQ(rig.grid.Cell(0, 12)->RedrawCount, 0);
}

TEST(GridCellDrawing, redrawMeterMarkRoundsHalfSecondsToEven) {
  const struct {
    QTime at;
    int mark;
  } cases[] = {{QTime(0, 0, 2, 500), 2}, {QTime(0, 0, 3, 500), 4}, {QTime(0, 0, 3, 499), 3}};
  for (const auto& c : cases) {
    PaintedGrid rig({800, 0, true, true}, false);
    rig.clock.set(QDateTime(QDate(2026, 1, 5), c.at));
    rig.Redraw(0, 12);
    EXPECT_EQ(rig.grid.Cell(0, 12)->RedrawMark, c.mark) << c.at.toString().toStdString();
  }
}

TEST(GridCellDrawing, redrawingACellRedrawsTheLaterCellsItCovers) {
  const struct {
    int width;
    int column;
    std::vector<int> marked;
  } cases[] = {{800, 8, {9}}, {800, 9, {}}, {800, 6, {}},  {800, 12, {}},
               {1024, 8, {9}}, {1024, 9, {10}}, {1024, 10, {11}}, {1024, 11, {}}, {1024, 1, {}}};
  for (const auto& c : cases) {
    SCOPED_TRACE("width " + std::to_string(c.width) + " column " + std::to_string(c.column));
    PaintedGrid rig({c.width, 2});
    rig.Redraw(2, c.column);
    std::vector<int> marked;
    for (int column = 0; column < 13; ++column) {
      if (rig.grid.CellDirty(2, column)) marked.push_back(column);
    }
    EXPECT_EQ(marked, c.marked);
  }
}

TEST(GridCellDrawing, aRedrawnDescriptionLeavesNoWipedWeight) {
  PaintedGrid rig({800, 0});
  rig.texts.Gross[0] = "1234.5";
  rig.Redraw(0, 9);
  const QImage gross = rig.CellPixels(0, 9);
  rig.texts.Descriptions[0] = "Silo";
  rig.Redraw(0, 8);
  rig.display->GDITimer_Timer(false, 0, NoSleep);
  EXPECT_EQ(rig.CellPixels(0, 9), gross);
}

TEST(GridCellDrawing, cellsOutsideTheGridAreIgnored) {
  PaintedGrid rig({800, 7});
  const QImage before = rig.canvas->Image();
  const std::pair<int, int> outside[] = {{-1, 0}, {0, -1}, {0, 13}, {0, 14}, {0, 15}, {8, 0},
                                         {33, 12}, {34, 0}, {1000, 5}, {3, 1000}};
  for (const auto& [row, column] : outside) {
    rig.display->SetCellDirty(row, column);
    rig.display->SetIndicatorOn(row, column, true);
    rig.display->DrawCell(row, column);
    const bool inIndicatorTable = row >= 0 && row <= 33 && column >= 0 && column <= 8;
    EXPECT_EQ(rig.display->IndicatorOn(row, column), inIndicatorTable) << row << "," << column;
  }
  EXPECT_EQ(rig.canvas->Image(), before);
  EXPECT_FALSE(rig.grid.CellDirty(-1, 0));
}

TEST(GridCellDrawing, paintHandlingAllowsDrawingAndMarksEveryCellOfEveryChannel) {
  GridRig rig({1024, 7});
  rig.display->CreateGDIDisplay();
  rig.display->Form_Paint();
  EXPECT_TRUE(rig.grid.Painted);
  for (int row = 0; row < GridTableRows; ++row) {
    for (int column = 0; column < GridTableColumns; ++column) {
      EXPECT_EQ(rig.grid.CellDirty(row, column), row <= 7 && column <= 12) << row << "," << column;
    }
  }
}

TEST(GridCellDrawing, gridTimerDrawsEveryChannelAndSleepsAsAsked) {
  const struct {
    bool painted;
    bool inTray;
    int gdiIdle;
    std::vector<int> sleeps;
    bool drawn;
  } cases[] = {{false, false, 5, {}, false},       {true, true, 7, {7}, false}, {true, true, 0, {}, false},
               {true, false, 0, {}, true},         {true, false, 3, {3, 3, 3, 3}, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE("painted " + std::to_string(c.painted) + " tray " + std::to_string(c.inTray) + " idle " +
                 std::to_string(c.gdiIdle));
    GridRig rig({800, 3});
    rig.display->CreateGDIDisplay();
    rig.display->MarkAllCellsDirty();
    rig.grid.Painted = c.painted;
    std::vector<int> sleeps;
    rig.display->GDITimer_Timer(c.inTray, c.gdiIdle, [&](int ms) { sleeps.push_back(ms); });
    EXPECT_EQ(sleeps, c.sleeps);
    for (int row = 0; row <= 3; ++row) {
      for (int column = 0; column < 13; ++column) EXPECT_EQ(rig.grid.CellDirty(row, column), !c.drawn);
    }
  }
}

}  // namespace
}  // namespace tarvex
