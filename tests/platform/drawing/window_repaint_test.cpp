// The window is repainted only where its pixels change: a block transfer onto
// it that leaves every pixel as it was asks for no repaint, and a grid tick
// over cells that are marked dirty but show what they showed (an idle
// channel's weights are blanked and marked on every scan pass) repaints
// nothing, while a changed cell still reaches the window as a full redraw
// would draw it.
#include <gtest/gtest.h>

#include <QPainter>
#include <functional>
#include <optional>
#include <vector>

#include "tests/support/grid_rig.h"

namespace tarvex {
namespace {

using testing::GridOptions;
using testing::GridRig;

void NoSleep(int) {}

// A 60 x 40 canvas of a pattern no two neighbouring pixels share.
void FillPattern(QImage& image, int seed) {
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) image.setPixel(x, y, qRgb((x * 7 + seed) & 0xFF, (y * 11) & 0xFF, seed));
  }
}

struct BlitCase {
  const char* legend;
  bool fromWindow;  // source is the window itself, else a 20 x 10 surface
  int x, y, width, height, sourceX, sourceY;
  std::optional<QRect> repaint;  // the one repaint asked for, or none
};

TEST(WindowRepaint, blitsOntoAWindowAskForARepaintOnlyWhereTheyChangeItsPixels) {
  testing::EnsureGuiApplication();
  const BlitCase cases[] = {
      {"a surface onto the window", false, 5, 6, 20, 10, 0, 0, QRect(5, 6, 20, 10)},
      {"past the window's right and bottom edges", false, 50, 35, 20, 10, 0, 0, QRect(50, 35, 10, 5)},
      {"from left of and above the window", false, -4, -3, 20, 10, 0, 0, QRect(0, 0, 16, 7)},
      {"more than the surface holds", false, 10, 10, 30, 30, 12, 4, QRect(10, 10, 8, 6)},
      {"the window onto itself, moved down and right", true, 4, 3, 30, 20, 0, 0, QRect(4, 3, 30, 20)},
      {"the window onto itself, moved up and left", true, 0, 0, 30, 20, 4, 3, QRect(0, 0, 30, 20)},
      {"the window onto itself, moved right in its rows", true, 2, 5, 30, 20, 0, 5, QRect(2, 5, 30, 20)},
      {"the window onto itself where it is", true, 3, 3, 30, 20, 3, 3, std::nullopt},
  };
  for (const BlitCase& c : cases) {
    SCOPED_TRACE(c.legend);
    Gdi gdi;
    WindowCanvas canvas(QSize(60, 40));
    FillPattern(canvas.Image(), 40);
    std::vector<QRect> repaints;
    canvas.SetRepaintRequest([&](const QRect& area) { repaints.push_back(area); });
    const GdiHandle window = gdi.RegisterWindow(canvas);
    const GdiHandle screen = gdi.GetDC(window);
    const GdiHandle surface = gdi.CreateCompatibleDC(screen);
    const GdiHandle bitmap = gdi.CreateCompatibleBitmap(screen, 20, 10);
    gdi.SelectObject(surface, bitmap);
    // The surface gets its own pattern: a copy of the window shifted by one.
    QImage surfacePixels(20, 10, QImage::Format_RGB32);
    FillPattern(surfacePixels, 90);
    {
      WindowCanvas source(QSize(20, 10));
      source.Image() = surfacePixels;
      const GdiHandle sourceWindow = gdi.RegisterWindow(source);
      const GdiHandle sourceDC = gdi.GetDC(sourceWindow);
      gdi.BitBlt(surface, 0, 0, 20, 10, sourceDC, 0, 0, SourceCopy);
      gdi.ReleaseDC(sourceWindow, sourceDC);
      gdi.UnregisterWindow(sourceWindow);
    }

    // What a painter copying the same piece leaves.
    QImage expected = canvas.Image().copy();
    const QImage origin = c.fromWindow ? expected.copy() : surfacePixels;
    const QRect available = QRect(c.sourceX, c.sourceY, c.width, c.height).intersected(origin.rect());
    {
      QPainter painter(&expected);
      painter.setCompositionMode(QPainter::CompositionMode_Source);
      painter.drawImage(QPoint(c.x + available.x() - c.sourceX, c.y + available.y() - c.sourceY), origin.copy(available));
    }

    ASSERT_EQ(gdi.BitBlt(screen, c.x, c.y, c.width, c.height, c.fromWindow ? screen : surface, c.sourceX, c.sourceY,
                         SourceCopy),
              1);
    EXPECT_EQ(canvas.Image(), expected);
    EXPECT_EQ(repaints, c.repaint ? std::vector<QRect>{*c.repaint} : std::vector<QRect>{});

    // The same transfer again finds its pixels in place.
    if (!c.fromWindow) {
      repaints.clear();
      gdi.BitBlt(screen, c.x, c.y, c.width, c.height, surface, c.sourceX, c.sourceY, SourceCopy);
      EXPECT_EQ(canvas.Image(), expected);
      EXPECT_TRUE(repaints.empty());
    }
    gdi.ReleaseDC(window, screen);
  }
}

// A full grid of 32 channels with values, lamps and status texts; `shape`
// may change them before the grid is first drawn.
struct BusyGrid : GridRig {
  explicit BusyGrid(int screenWidth, const std::function<void(BusyGrid&)>& shape = {})
      : GridRig(GridOptions{screenWidth, 31}) {
    for (int ch = 0; ch <= 31; ++ch) {
      const auto i = static_cast<size_t>(ch);
      texts.Descriptions[i] = "Scale " + std::to_string(ch + 1);
      texts.Gross[i] = std::to_string(1000 + 37 * ch) + ".5";
      texts.Tare[i] = ch % 3 == 0 ? "0" : std::to_string(ch) + ".25";
      texts.Net[i] = std::to_string(900 + 21 * ch) + ".0";
      texts.Status[i] = ch % 2 ? "Online..." : "Ready...";
      for (int lamp = 0; lamp <= GridColumn::LastLamp; ++lamp) grid.SetIndicatorOn(ch, lamp, (ch + lamp) % 3 == 0);
    }
    if (shape) shape(*this);
    display->CreateGDIDisplay();
    display->Form_Paint();
    display->GDITimer_Timer(false, 0, NoSleep);
    canvas->SetRepaintRequest([this](const QRect& area) { repaints.push_back(area); });
  }
  void Tick() { display->GDITimer_Timer(false, 0, NoSleep); }
  std::vector<QRect> repaints;
};

// On the 1024 layout each number cell overlaps the next, and every cell is
// marked. (On the 800 layout a redrawn description covers most of the gross
// cell, which then draws its number back in the same tick: the window's
// pixels change and change back, so marking every cell there repaints.)
TEST(WindowRepaint, aGridTickOverCellsThatShowWhatTheyShowedRepaintsNothing) {
  BusyGrid rig(1024);
  const QImage before = rig.canvas->Image().copy();
  rig.display->MarkAllCellsDirty();
  rig.Tick();
  // An idle channel: its weights blanked and marked dirty on every pass.
  rig.texts.Gross[5] = rig.texts.Tare[5] = rig.texts.Net[5] = "";
  rig.display->MarkAllCellsDirty();
  rig.Tick();
  const QImage blanked = rig.canvas->Image().copy();
  rig.repaints.clear();
  for (int pass = 0; pass < 3; ++pass) {
    for (int column : {GridColumn::Gross, GridColumn::Tare, GridColumn::Net}) rig.display->SetCellDirty(5, column);
    rig.display->MarkAllCellsDirty();
    rig.Tick();
  }
  EXPECT_TRUE(rig.repaints.empty()) << rig.repaints.size() << " repaints";
  EXPECT_EQ(rig.canvas->Image(), blanked);
  EXPECT_NE(blanked, before);
}

// Both layouts: on the 800 one the description covers most of the gross
// cell and the numbers are moved inside their cells.
constexpr int ScreenWidths[] = {800, 1024};

void ChangesReachTheWindowAsAFreshGridDrawsThem(int screenWidth) {
  BusyGrid rig(screenWidth);
  rig.repaints.clear();
  // Changes of every kind, one tick apart, with all cells marked each time.
  const auto changes = std::vector<std::function<void(BusyGrid&)>>{
      [](BusyGrid& g) { g.texts.Gross[3] = "1234567.5"; },
      [](BusyGrid& g) { g.texts.Tare[3] = "0"; },
      [](BusyGrid& g) { g.texts.Tare[4] = "77.5"; },
      [](BusyGrid& g) { g.grid.SetIndicatorOn(7, GridColumn::ReceiveIndicator, true); },
      [](BusyGrid& g) { g.grid.SetIndicatorOn(7, 5, false); },  // lit at the start
      [](BusyGrid& g) { g.texts.Descriptions[9] = "A description long enough to reach the gross cell"; },
      [](BusyGrid& g) { g.texts.Status[31] = "Packet Error"; },
      [](BusyGrid& g) { g.texts.Net[0] = "-5.0"; },
      // Back to the value shown before the last change, and the lamp lit again.
      [](BusyGrid& g) { g.texts.Net[0] = "900.0"; },
      [](BusyGrid& g) { g.grid.SetIndicatorOn(7, 5, true); },
  };
  for (const auto& change : changes) {
    change(rig);
    rig.display->MarkAllCellsDirty();
    rig.Tick();
  }
  EXPECT_FALSE(rig.repaints.empty());

  // A grid that draws the final values and lamps as its first picture, so
  // that no cell of it can show what an earlier tick composed.
  const BusyGrid fresh(screenWidth, [&rig](BusyGrid& g) {
    g.texts = rig.texts;
    for (int ch = 0; ch <= 31; ++ch) {
      for (int lamp = 0; lamp <= GridColumn::LastLamp; ++lamp) g.grid.SetIndicatorOn(ch, lamp, rig.grid.IndicatorOn(ch, lamp));
    }
  });
  EXPECT_EQ(rig.canvas->Image(), fresh.canvas->Image());
}

TEST(WindowRepaint, changedCellsReachTheWindowAsAFreshGridDrawsThem) {
  for (int screenWidth : ScreenWidths) {
    SCOPED_TRACE(screenWidth);
    ChangesReachTheWindowAsAFreshGridDrawsThem(screenWidth);
  }
}

}  // namespace
}  // namespace tarvex
