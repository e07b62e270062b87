// A right-aligned number (gross, tare, net) is drawn whole inside its cell:
// on the 800 layout the cell's surface ends one pixel before the numbers'
// right edge, which cut the last digit of every weight (the net "0" showed
// half), so a number that would be cut is moved left until it fits; on the
// 1024 layout numbers keep their right edge.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/grid_rig.h"

namespace tarvex {
namespace {

using testing::GridOptions;
using testing::GridRig;

void NoSleep(int) {}

// Pixels that differ from the bare background, and their bounding box.
struct Ink {
  int pixels = 0;
  QRect box;
};

Ink InkBetween(const QImage& drawn, const QImage& bare) {
  Ink ink;
  for (int y = 0; y < drawn.height(); ++y) {
    for (int x = 0; x < drawn.width(); ++x) {
      if (drawn.pixel(x, y) == bare.pixel(x, y)) continue;
      ++ink.pixels;
      ink.box |= QRect(x, y, 1, 1);
    }
  }
  return ink;
}

// The ink of the text drawn in the grid's font on a surface wide enough for it.
Ink UncutInk(GridRig& rig, const std::string& text) {
  Gdi& gdi = rig.gdi;
  const GdiHandle dc = gdi.CreateCompatibleDC(0);
  const GdiHandle bitmap = gdi.CreateCompatibleBitmap(dc, 300, 40);
  const GdiHandle previousBitmap = gdi.SelectObject(dc, bitmap);
  const GdiHandle previousFont = gdi.SelectObject(dc, rig.grid.hArial);
  gdi.SetBkMode(dc, BkMode::Transparent);
  gdi.SetTextAlign(dc, TextAlign::Left);
  // Read back through a window canvas the surface is copied onto.
  WindowCanvas before(QSize(300, 40));
  WindowCanvas after(QSize(300, 40));
  const GdiHandle beforeWindow = gdi.RegisterWindow(before);
  const GdiHandle afterWindow = gdi.RegisterWindow(after);
  const GdiHandle beforeDC = gdi.GetDC(beforeWindow);
  gdi.BitBlt(dc, 0, 0, 300, 40, beforeDC, 0, 0, SourceCopy);  // a white surface
  gdi.TextOut(dc, 100, 10, text);
  const GdiHandle afterDC = gdi.GetDC(afterWindow);
  gdi.BitBlt(afterDC, 0, 0, 300, 40, dc, 0, 0, SourceCopy);
  gdi.ReleaseDC(beforeWindow, beforeDC);
  gdi.ReleaseDC(afterWindow, afterDC);
  gdi.UnregisterWindow(beforeWindow);
  gdi.UnregisterWindow(afterWindow);
  gdi.SelectObject(dc, previousFont);
  gdi.SelectObject(dc, previousBitmap);
  gdi.DeleteObject(bitmap);
  gdi.DeleteDC(dc);
  return InkBetween(after.Image(), before.Image());
}

TEST(NumberCell, rightAlignedNumbersAreNeverCutAtTheCellsEdge) {
  struct Case {
    int screenWidth;
    const char* text;
  };
  const Case cases[] = {
      {800, "0"}, {800, "1021.0"}, {800, "12.250"}, {800, "-12.5"}, {800, "88888.8"},
      {1024, "0"}, {1024, "1021.0"}, {1024, "-12.5"}, {1024, "88888.8"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.screenWidth) + " \"" + c.text + "\"");
    GridRig rig(GridOptions{c.screenWidth, 0});
    rig.texts.Gross[0] = rig.texts.Tare[0] = rig.texts.Net[0] = c.text;
    rig.display->CreateGDIDisplay();
    rig.display->Form_Paint();
    rig.display->GDITimer_Timer(false, 0, NoSleep);
    const Ink uncut = UncutInk(rig, c.text);
    ASSERT_GT(uncut.pixels, 0);
    for (int column : {GridColumn::Gross, GridColumn::Tare, GridColumn::Net}) {
      SCOPED_TRACE(column);
      if (column == GridColumn::Tare && std::stod(c.text) <= 0) continue;  // no tare shown
      const Ink ink = InkBetween(rig.CellPixels(0, column), rig.BackgroundPixels(0, column));
      EXPECT_EQ(ink.pixels, uncut.pixels);
      EXPECT_EQ(ink.box.size(), uncut.box.size());
      // Where the number fits it ends as near the right edge as the cell allows.
      const int surfaceWidth = rig.SurfaceOf(0, column).width();
      const int right = std::min<int>(rig.grid.Layout.TextRightX, surfaceWidth);
      EXPECT_LE(ink.box.right(), right - 1);
      EXPECT_GE(ink.box.right(), right - 4);
    }
  }
}

}  // namespace
}  // namespace tarvex
