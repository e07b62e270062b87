// Building and releasing the grid's drawing objects, and the report of every
// release step that fails.
#include <gtest/gtest.h>

#include <functional>

#include "tests/support/grid_rig.h"

namespace tarvex {
namespace {

using testing::GridOptions;
using testing::GridRig;
using testing::LogRecord;

constexpr std::size_t HandlesPerCell = 6;     // three contexts, three bitmaps
constexpr std::size_t PensAndBrushes = 12;    // six slots

TEST(GridResources, everythingMadeIsReleasedForEachWidthAndChannelCount) {
  const struct {
    int screenWidth;
    int maxChannel;
    int cells;
    bool font;
  } cases[] = {{800, 7, 104, true}, {800, 31, 416, true}, {1024, 7, 104, true}, {1024, 31, 416, true},
               {1023, 7, 104, true}, {1920, 31, 416, true}, {799, 7, 0, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE("width " + std::to_string(c.screenWidth) + " channels " + std::to_string(c.maxChannel + 1));
    GridRig rig({c.screenWidth, c.maxChannel});
    rig.display->CreateGDIDisplay();
    EXPECT_EQ(rig.CreatedCells(), c.cells);
    EXPECT_EQ(rig.gdi.LiveHandles(), c.cells * HandlesPerCell + PensAndBrushes + (c.font ? 1 : 0));
    EXPECT_TRUE(rig.grid.GDIResourcesCreated);

    rig.display->ReleaseGDIDisplay();
    EXPECT_EQ(rig.gdi.LiveHandles(), 0u);
    EXPECT_EQ(rig.CreatedCells(), 0);
    EXPECT_FALSE(rig.grid.GDIResourcesCreated);
    // Without a layout there is no font, so deleting it is the one failed step.
    const std::vector<LogRecord> expected =
        c.font ? std::vector<LogRecord>{} : std::vector<LogRecord>{{7, "Error Deleting hArial Object"}};
    EXPECT_EQ(rig.log.records, expected);
  }
}

TEST(GridResources, cellsKeepTheWindowPixelsUnderThemFromCreation) {
  GridRig rig({1024, 3});
  rig.display->CreateGDIDisplay();
  // Painting the window later changes nothing of what the cells saved.
  rig.canvas->Image().fill(Qt::black);
  rig.display->Form_Paint();
  rig.display->GDITimer_Timer(false, 0, [](int) {});
  for (int column : {0, 5, 8, 12}) {
    EXPECT_EQ(rig.CellPixels(3, column), rig.BackgroundPixels(3, column)) << "column " << column;
  }
}

TEST(GridResources, noGdiSwitchCreatesAndReleasesNothing) {
  GridRig rig({800, 31, /*gdiEnabled=*/false});
  rig.display->CreateGDIDisplay();
  EXPECT_EQ(rig.gdi.LiveHandles(), 0u);
  EXPECT_EQ(rig.CreatedCells(), 0);
  EXPECT_FALSE(rig.grid.GDIResourcesCreated);
  rig.display->ReleaseGDIDisplay();
  EXPECT_TRUE(rig.log.records.empty());
}

TEST(GridResources, secondReleaseDoesNothing) {
  GridRig rig({800, 7});
  rig.display->CreateGDIDisplay();
  rig.display->ReleaseGDIDisplay();
  const GdiHandle pen = rig.grid.hpen[1];
  rig.display->ReleaseGDIDisplay();
  rig.display->DeleteCell(0, 0);
  EXPECT_TRUE(rig.log.records.empty());
  EXPECT_EQ(rig.grid.hpen[1], pen);
}

TEST(GridResources, secondCreationOfACellKeepsTheFirst) {
  GridRig rig({800, 0});
  rig.display->CreateGDIDisplay();
  const std::size_t live = rig.gdi.LiveHandles();
  const GridCell before = *rig.grid.Cell(0, 8);
  rig.display->CreateCell(0, 8, 1, 1, 20, 20);
  EXPECT_EQ(rig.gdi.LiveHandles(), live);
  EXPECT_EQ(rig.grid.Cell(0, 8)->CellX, before.CellX);
  EXPECT_EQ(rig.grid.Cell(0, 8)->hFrame, before.hFrame);
}

constexpr GdiHandle Corrupt = 0x0BADF00D;

struct CorruptionCase {
  const char* what;
  std::function<void(GridState&)> corrupt;
  std::vector<std::string> lines;
  std::size_t leaked;  // handles the failed steps leave behind
};

TEST(GridResources, failedReleaseStepsAreReportedAndTheReleaseGoesOn) {
  const CorruptionCase cases[] = {
      {"frame bitmap of channel 3", [](GridState& g) { g.Cell(3, 9)->hFrame = Corrupt; },
       {"Error Deleting hFrame(3) Object"}, 1},
      {"frame context of channel 3", [](GridState& g) { g.Cell(3, 2)->hFrameDC = Corrupt; },
       {"Error Selecting hFramePrev(3) to hFrameDC(3)", "Error Deleting hFrame(3) Object",
        "Error Deleting hFrameDC(3)"},
       2},
      {"saved frame of channel 0", [](GridState& g) { g.Cell(0, 0)->hFramePrev = Corrupt; },
       {"Error Selecting hFramePrev(0) to hFrameDC(0)", "Error Deleting hFrame(0) Object"}, 1},
      {"second background of channel 5", [](GridState& g) { g.Cell(5, 12)->hOrigBackground = Corrupt; },
       {"Error Deleting hOrigBackground(5) Object"}, 1},
      {"second background context of channel 5", [](GridState& g) { g.Cell(5, 12)->hOrigBackgroundDC = Corrupt; },
       {"Error Selecting hOrigBackgroundPrev(5) to hOrigBackgroundDC(5)", "Error Deleting hOrigBackground(5) Object",
        "Error Deleting hOrigBackgroundDC(5)"},
       2},
      {"first background of channel 7", [](GridState& g) { g.Cell(7, 8)->hBackground = Corrupt; },
       {"Error Deleting hBackground(7) Object"}, 1},
      {"first background context of channel 7", [](GridState& g) { g.Cell(7, 8)->hBackgroundDC = Corrupt; },
       {"Error Selecting hBackgroundPrev(7) to hBackgroundDC(7)", "Error Deleting hBackground(7) Object",
        "Error Deleting hBackgroundDC(7)"},
       2},
      {"pen of slot 4", [](GridState& g) { g.hpen[4] = Corrupt; }, {"Error Deleting  hpen(4) Object"}, 1},
      {"brush of slot 0", [](GridState& g) { g.hbr[0] = Corrupt; }, {"Error Deleting  hbr(0) Object"}, 1},
      {"font", [](GridState& g) { g.hArial = Corrupt; }, {"Error Deleting hArial Object"}, 1},
  };
  for (const CorruptionCase& c : cases) {
    SCOPED_TRACE(c.what);
    for (bool debug : {false, true}) {
      GridRig rig({800, 7, true, debug});
      rig.display->CreateGDIDisplay();
      c.corrupt(rig.grid);
      rig.display->ReleaseGDIDisplay();

      std::vector<LogRecord> expectedLog;
      for (const std::string& line : c.lines) expectedLog.push_back({LogKind::Gdi, line});
      EXPECT_EQ(rig.log.records, expectedLog);
      EXPECT_EQ(rig.gdi.LiveHandles(), c.leaked);
      EXPECT_EQ(rig.CreatedCells(), 0);
      ASSERT_EQ(rig.boxes.shown().size(), debug ? c.lines.size() : 0u);
      for (std::size_t i = 0; i < rig.boxes.shown().size(); ++i) {
        EXPECT_EQ(rig.boxes.shown()[i].text, c.lines[i]);
        EXPECT_EQ(rig.boxes.shown()[i].style, MsgBoxStyle::OkOnly);
        EXPECT_EQ(rig.boxes.shown()[i].title, "Velmar Orinda Tarvex");
      }
    }
  }
}

}  // namespace
}  // namespace tarvex
