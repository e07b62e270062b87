// A lamp drawn again is drawn from the pixels remembered the first time, with
// the pixels the painter gives it: on the grid's lamp and indicator surfaces
// of both layouts, in every lamp colour, lit over any background, cut where
// the surface ends; figures differing in one thing are never taken for each
// other; and an ellipse on a larger surface is painted as before.
#include <gtest/gtest.h>

#include <QPainter>
#include <QPen>

#include "tests/support/grid_rig.h"

namespace tarvex {
namespace {

using testing::GridOptions;
using testing::GridRig;

// The painter as the drawing layer always drew an ellipse.
QImage Painted(QImage image, QRgb pen, int penWidth, QRgb brush, QRect box) {
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setRenderHint(QPainter::TextAntialiasing, false);
  QPen outline{QColor(pen)};
  outline.setWidth(penWidth);
  outline.setCosmetic(penWidth == 1);
  painter.setPen(outline);
  painter.setBrush(QColor(brush));
  painter.drawEllipse(box);
  return image;
}

void FillPattern(QImage& image, int seed) {
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) image.setPixel(x, y, qRgb((x * 37 + seed) & 0xFF, (y * 53) & 0xFF, seed));
  }
}

struct Figure {
  const char* legend;
  QSize surface;  // 0 x 0: the grid's lamp surface of the layout
  int left, top, right, bottom;  // 0 right: the grid's lamp
  int penWidth;
  bool remembered;
};

QRgb BrushFor(QRgb colour) { return qRgb(qBlue(colour), 40, qRed(colour)); }

// Draws the figure in the colour through the drawing layer on a surface of
// its own, over each background in turn (each reaching the surface by a block
// transfer, as the grid restores a cell), and expects the painter's pixels
// each time.
void ExpectThePaintersPixels(Gdi& gdi, GdiHandle screen, const Figure& f, QRgb colour,
                             std::initializer_list<int> seeds) {
  const GdiHandle dc = gdi.CreateCompatibleDC(screen);
  const GdiHandle bitmap = gdi.CreateCompatibleBitmap(screen, f.surface.width(), f.surface.height());
  const GdiHandle before = gdi.SelectObject(dc, bitmap);
  const GdiHandle pen =
      gdi.CreatePen(PenStyle::Solid, f.penWidth, ColorOf(qRed(colour), qGreen(colour), qBlue(colour)));
  // The brush another colour than the pen, so the outline shows.
  const QRgb fill = BrushFor(colour);
  const GdiHandle brush = gdi.CreateBrushIndirect(LogBrush{BrushStyle::Solid, ColorOf(qRed(fill), qGreen(fill), qBlue(fill)), 0});
  const GdiHandle penBefore = gdi.SelectObject(dc, pen);
  const GdiHandle brushBefore = gdi.SelectObject(dc, brush);
  const QRect box(f.left, f.top, f.right - f.left - 1, f.bottom - f.top - 1);
  for (int seed : seeds) {
    QImage background(f.surface, QImage::Format_RGB32);
    FillPattern(background, seed);
    WindowCanvas patterned(f.surface);
    patterned.Image() = background;
    const GdiHandle patternWindow = gdi.RegisterWindow(patterned);
    const GdiHandle patternDC = gdi.GetDC(patternWindow);
    ASSERT_EQ(gdi.BitBlt(dc, 0, 0, f.surface.width(), f.surface.height(), patternDC, 0, 0, SourceCopy), 1);
    ASSERT_EQ(gdi.Ellipse(dc, f.left, f.top, f.right, f.bottom), 1);
    // The surface read back onto the pattern's canvas.
    ASSERT_EQ(gdi.BitBlt(patternDC, 0, 0, f.surface.width(), f.surface.height(), dc, 0, 0, SourceCopy), 1);
    EXPECT_EQ(patterned.Image(), Painted(background, colour, f.penWidth, fill, box)) << "background " << seed;
    gdi.ReleaseDC(patternWindow, patternDC);
    gdi.UnregisterWindow(patternWindow);
  }
  gdi.SelectObject(dc, penBefore);
  gdi.SelectObject(dc, brushBefore);
  gdi.SelectObject(dc, before);
  gdi.DeleteDC(dc);
  gdi.DeleteObject(pen);
  gdi.DeleteObject(brush);
  gdi.DeleteObject(bitmap);
}

const QRgb LampColours[] = {qRgb(255, 32, 32), qRgb(0, 255, 0), qRgb(255, 255, 0),
                            qRgb(0, 255, 128), qRgb(0, 164, 255), qRgb(255, 0, 255)};

TEST(LampFigure, aLampDrawnAgainHasThePaintersPixelsWithoutAPainter) {
  testing::EnsureGuiApplication();
  for (const int screenWidth : {800, 1024}) {
    GridRig rig(GridOptions{screenWidth, 1});
    rig.display->CreateGDIDisplay();
    const GridLayout& layout = rig.grid.Layout;
    const QSize lampSurface = rig.SurfaceOf(0, GridColumn::FirstLamp).size();
    const QSize indicatorSurface = rig.SurfaceOf(0, GridColumn::ReceiveIndicator).size();
    const Figure figures[] = {
        {"a lamp", lampSurface, 1, 1, layout.LedWidth, layout.LedHeight, 1, true},
        {"an indicator", indicatorSurface, 1, 0, layout.LedWidth, layout.LedHeight, 1, true},
        {"cut at the surface's right and bottom", lampSurface, 4, 5, 20, 20, 1, true},
        {"cut at its left and top", lampSurface, -3, -4, 8, 7, 1, true},
        {"a wide pen", lampSurface, 1, 1, layout.LedWidth, layout.LedHeight, 3, true},
        {"on a large surface", QSize(200, 100), 30, 20, 90, 70, 1, false},
    };
    for (const Figure& f : figures) {
      for (const QRgb colour : LampColours) {
        SCOPED_TRACE(std::to_string(screenWidth) + ": " + f.legend + " " + std::to_string(colour));
        Gdi gdi;
        WindowCanvas canvas(QSize(4, 4));
        const GdiHandle window = gdi.RegisterWindow(canvas);
        const GdiHandle screen = gdi.GetDC(window);
        // The second and third ellipse are drawn from what the first left.
        ExpectThePaintersPixels(gdi, screen, f, colour, {10, 99, 200});
        EXPECT_EQ(gdi.RememberedEllipses(), f.remembered ? 1u : 0u);
        gdi.ReleaseDC(window, screen);
      }
    }
  }
}

// Figures that differ only in their colours, their pen's width, their place
// or the size of the surface they are drawn on are each remembered on
// their own: drawn in turn by one drawing layer, again and again, each keeps
// the painter's pixels.
TEST(LampFigure, figuresThatDifferInAnyOneThingAreNeverTakenForEachOther) {
  testing::EnsureGuiApplication();
  const QSize lamp(16, 12);
  const struct {
    Figure figure;
    QRgb colour;
  } figures[] = {
      {{"the lamp", lamp, 1, 1, 12, 10, 1, true}, LampColours[0]},
      {{"another colour", lamp, 1, 1, 12, 10, 1, true}, LampColours[1]},
      {{"a wider pen", lamp, 1, 1, 12, 10, 3, true}, LampColours[0]},
      {{"one pixel to the right", lamp, 2, 1, 13, 10, 1, true}, LampColours[0]},
      {{"one pixel taller", lamp, 1, 1, 12, 11, 1, true}, LampColours[0]},
      {{"one pixel wider", lamp, 1, 1, 13, 10, 1, true}, LampColours[0]},
      {{"one pixel lower", lamp, 1, 2, 12, 11, 1, true}, LampColours[0]},
      // Cut by the surface's right and bottom edges, so a larger surface
      // shows more of it.
      {{"cut by the surface", lamp, 6, 4, 20, 16, 1, true}, LampColours[0]},
      {{"cut by a wider surface", QSize(17, 12), 6, 4, 20, 16, 1, true}, LampColours[0]},
      {{"cut by a taller surface", QSize(16, 13), 6, 4, 20, 16, 1, true}, LampColours[0]},
  };
  Gdi gdi;
  WindowCanvas canvas(QSize(4, 4));
  const GdiHandle window = gdi.RegisterWindow(canvas);
  const GdiHandle screen = gdi.GetDC(window);
  for (int round = 0; round < 3; ++round) {
    for (const auto& each : figures) {
      SCOPED_TRACE(std::string(each.figure.legend) + ", round " + std::to_string(round));
      ExpectThePaintersPixels(gdi, screen, each.figure, each.colour, {10 + round, 150 - round});
    }
  }
  EXPECT_EQ(gdi.RememberedEllipses(), std::size(figures));
  EXPECT_EQ(gdi.ReleaseDC(window, screen), 1);
}

}  // namespace
}  // namespace tarvex
