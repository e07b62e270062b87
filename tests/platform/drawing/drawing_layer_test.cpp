// The drawing layer: handle rules of selecting and deleting, and the drawing
// conventions the grid relies on, checked by pixels.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <vector>

#include "platform/drawing/gdi.h"
#include "platform/drawing/window_canvas.h"

namespace tarvex {
namespace {

void EnsureGuiApplication() {
  static int argc = 1;
  static char name[] = "drawing-tests";
  static char* argv[] = {name, nullptr};
  // Never deleted: destroying it among the static destructors crashes.
  [[maybe_unused]] static auto* app = new QGuiApplication(argc, argv);
}

// A memory context holding a white bitmap, a pen and a brush.
struct Surface {
  explicit Surface(Gdi& gdi, int width = 40, int height = 20) : gdi(gdi) {
    dc = gdi.CreateCompatibleDC(0);
    bitmap = gdi.CreateCompatibleBitmap(dc, width, height);
    previous = gdi.SelectObject(dc, bitmap);
    pen = gdi.CreatePen(PenStyle::Solid, 1, ColorOf(255, 255, 255));
    brush = gdi.CreateBrushIndirect(LogBrush{BrushStyle::Solid, ColorOf(255, 255, 255), 0});
    gdi.SelectObject(dc, pen);
    gdi.SelectObject(dc, brush);
    WindowCanvas white(QSize(width, height));
    Copy(white, /*toWindow=*/false);
  }
  // The bitmap's pixels, read back through a window-sized canvas.
  QImage Pixels(int width = 40, int height = 20) {
    WindowCanvas canvas(QSize(width, height));
    Copy(canvas, /*toWindow=*/true);
    return canvas.Image();
  }
  // Copies between the bitmap and a window showing the canvas.
  void Copy(WindowCanvas& canvas, bool toWindow) {
    const GdiHandle window = gdi.RegisterWindow(canvas);
    const GdiHandle screen = gdi.GetDC(window);
    const QSize size = canvas.Image().size();
    gdi.BitBlt(toWindow ? screen : dc, 0, 0, size.width(), size.height(), toWindow ? dc : screen, 0, 0, SourceCopy);
    gdi.ReleaseDC(window, screen);
    gdi.UnregisterWindow(window);
  }
  Gdi& gdi;
  GdiHandle dc, bitmap, previous, pen, brush;
};

// The smallest rectangle of pixels that differ from white.
QRect InkBox(const QImage& image, QRgb background = qRgb(255, 255, 255)) {
  QRect box;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (image.pixel(x, y) != background) box |= QRect(x, y, 1, 1);
    }
  }
  return box;
}

TEST(DrawingLayer, anObjectHeldByAContextCannotBeDeleted) {
  Gdi gdi;
  Surface s(gdi);
  EXPECT_EQ(gdi.DeleteObject(s.bitmap), 0);
  EXPECT_EQ(gdi.DeleteObject(s.pen), 0);
  EXPECT_EQ(gdi.SelectObject(s.dc, s.previous), s.bitmap);
  EXPECT_EQ(gdi.DeleteObject(s.bitmap), 1);
  // Deleting the context lets go of its pen and brush.
  EXPECT_EQ(gdi.DeleteDC(s.dc), 1);
  EXPECT_EQ(gdi.DeleteObject(s.pen), 1);
  EXPECT_EQ(gdi.DeleteObject(s.brush), 1);
  EXPECT_EQ(gdi.LiveHandles(), 0u);
}

TEST(DrawingLayer, releasedAndUnknownHandlesFailEverywhere) {
  Gdi gdi;
  const GdiHandle dc = gdi.CreateCompatibleDC(0);
  const GdiHandle pen = gdi.CreatePen(PenStyle::Solid, 1, 0);
  ASSERT_EQ(gdi.DeleteObject(pen), 1);
  ASSERT_EQ(gdi.DeleteDC(dc), 1);
  for (GdiHandle gone : {dc, pen, GdiHandle{0}, GdiHandle{0x0BADF00D}}) {
    EXPECT_EQ(gdi.DeleteObject(gone), 0);
    EXPECT_EQ(gdi.DeleteDC(gone), 0);
    EXPECT_EQ(gdi.SelectObject(gone, pen), 0u);
    EXPECT_EQ(gdi.TextOut(gone, 0, 0, "x"), 0);
    EXPECT_EQ(gdi.SetBkMode(gone, BkMode::Transparent), 0);
    EXPECT_EQ(gdi.CreateCompatibleBitmap(gone, 5, 5), 0u);
  }
  EXPECT_EQ(gdi.LiveHandles(), 0u);
}

TEST(DrawingLayer, aBitmapSitsInOneMemoryContextOnly) {
  Gdi gdi;
  WindowCanvas canvas(QSize(10, 10));
  const GdiHandle window = gdi.RegisterWindow(canvas);
  Surface s(gdi);
  const GdiHandle other = gdi.CreateCompatibleDC(0);
  const GdiHandle screen = gdi.GetDC(window);
  EXPECT_EQ(gdi.SelectObject(other, s.bitmap), 0u);
  EXPECT_EQ(gdi.SelectObject(screen, s.bitmap), 0u);
  // A window's context is given back, never deleted, and only to its window.
  EXPECT_EQ(gdi.DeleteDC(screen), 0);
  EXPECT_EQ(gdi.ReleaseDC(window + 1000, screen), 0);
  EXPECT_EQ(gdi.ReleaseDC(window, screen), 1);
  EXPECT_EQ(gdi.ReleaseDC(window, screen), 0);
}

TEST(DrawingLayer, stockObjectsAreNeitherCountedNorDeleted) {
  Gdi gdi;
  const GdiHandle dc = gdi.CreateCompatibleDC(0);
  const GdiHandle bitmap = gdi.CreateCompatibleBitmap(dc, 4, 4);
  const GdiHandle stock = gdi.SelectObject(dc, bitmap);
  ASSERT_NE(stock, 0u);
  EXPECT_EQ(gdi.LiveHandles(), 2u);
  EXPECT_EQ(gdi.DeleteObject(stock), 1);
  EXPECT_EQ(gdi.SelectObject(dc, stock), bitmap);
  EXPECT_EQ(gdi.DeleteObject(bitmap), 1);
  EXPECT_EQ(gdi.DeleteDC(dc), 1);
  EXPECT_EQ(gdi.LiveHandles(), 0u);
}

TEST(DrawingLayer, ellipseStaysInsideItsBoxWithoutItsRightAndBottomEdge) {
  EnsureGuiApplication();
  const QRect boxes[] = {QRect(QPoint(1, 1), QPoint(9, 9)), QRect(QPoint(1, 0), QPoint(11, 12)),
                         QRect(QPoint(3, 2), QPoint(20, 15))};
  for (const QRect& box : boxes) {
    Gdi gdi;
    Surface s(gdi);
    gdi.SelectObject(s.dc, gdi.CreatePen(PenStyle::Solid, 1, ColorOf(255, 0, 0)));
    gdi.SelectObject(s.dc, gdi.CreateBrushIndirect(LogBrush{BrushStyle::Solid, ColorOf(0, 0, 255), 0}));
    gdi.Ellipse(s.dc, box.left(), box.top(), box.right(), box.bottom());
    const QImage pixels = s.Pixels();
    // right() and bottom() of the QRect are the excluded edges here.
    EXPECT_EQ(InkBox(pixels), QRect(box.topLeft(), QPoint(box.right() - 1, box.bottom() - 1)))
        << box.left() << "," << box.top() << "," << box.right() << "," << box.bottom();
    EXPECT_EQ(pixels.pixel(box.center()), qRgb(0, 0, 255));
    // No antialiasing: outline, fill and background colours only.
    for (int y = 0; y < pixels.height(); ++y) {
      for (int x = 0; x < pixels.width(); ++x) {
        const QRgb p = pixels.pixel(x, y);
        EXPECT_TRUE(p == qRgb(255, 0, 0) || p == qRgb(0, 0, 255) || p == qRgb(255, 255, 255)) << x << "," << y;
      }
    }
  }
}

struct TextProbe {
  QImage pixels;
  QRect ink;
};

TextProbe DrawText(unsigned align, int x, int y, int bkMode, const char* text = "H8") {
  EnsureGuiApplication();
  Gdi gdi;
  Surface s(gdi, 60, 30);
  LogFont font;
  font.Height = 16;
  font.Width = 7;
  font.Weight = 500;
  font.FaceName = "Arial";
  gdi.SelectObject(s.dc, gdi.CreateFontIndirect(font));
  gdi.SetTextColor(s.dc, ColorOf(128, 0, 0));
  gdi.SetTextAlign(s.dc, align);
  gdi.SetBkMode(s.dc, bkMode);
  gdi.TextOut(s.dc, x, y, text);
  TextProbe probe;
  probe.pixels = s.Pixels(60, 30);
  probe.ink = InkBox(probe.pixels);
  return probe;
}

TEST(DrawingLayer, textHangsBelowItsYAndEndsAtXWhenRightAligned) {
  const TextProbe left = DrawText(TextAlign::Left, 10, 5, BkMode::Transparent);
  ASSERT_FALSE(left.ink.isEmpty());
  EXPECT_GE(left.ink.left(), 10);
  EXPECT_LE(left.ink.left(), 12);
  // y is the top of the 16-pixel character cell: capitals sit inside it, in its lower part.
  EXPECT_GE(left.ink.top(), 5);
  EXPECT_LE(left.ink.bottom(), 5 + 15);
  EXPECT_GE(left.ink.bottom(), 5 + 8);

  const TextProbe right = DrawText(TextAlign::Right, 50, 5, BkMode::Transparent);
  EXPECT_LE(right.ink.right(), 49);
  EXPECT_GE(right.ink.right(), 47);
  EXPECT_EQ(right.ink.top(), left.ink.top());
  EXPECT_EQ(right.ink.width(), left.ink.width());

  const TextProbe higher = DrawText(TextAlign::Left, 10, 1, BkMode::Transparent);
  EXPECT_EQ(higher.ink.top(), left.ink.top() - 4);
}

TEST(DrawingLayer, transparentTextLeavesTheBackgroundAndUsesOneColour) {
  const TextProbe transparent = DrawText(TextAlign::Left, 2, 2, BkMode::Transparent);
  for (int y = 0; y < transparent.pixels.height(); ++y) {
    for (int x = 0; x < transparent.pixels.width(); ++x) {
      const QRgb p = transparent.pixels.pixel(x, y);
      EXPECT_TRUE(p == qRgb(255, 255, 255) || p == qRgb(128, 0, 0)) << x << "," << y;
    }
  }
}

TEST(DrawingLayer, fontWidthIsTheAverageCharacterWidth) {
  const char* sample = "the quick brown fox jumps over the lazy dog";
  for (const auto& [height, width] : {std::pair{12, 5}, std::pair{16, 7}}) {
    EnsureGuiApplication();
    Gdi gdi;
    Surface s(gdi, 400, 30);
    LogFont font;
    font.Height = height;
    font.Width = width;
    font.FaceName = "Arial";
    gdi.SelectObject(s.dc, gdi.CreateFontIndirect(font));
    gdi.SetBkMode(s.dc, BkMode::Transparent);
    gdi.TextOut(s.dc, 0, 0, sample);
    const QRect ink = InkBox(s.Pixels(400, 30));
    const double average = ink.width() / 43.0;
    EXPECT_NEAR(average, width, 1.0) << "height " << height;
    EXPECT_LE(ink.bottom(), height + 1);
  }
}

TEST(DrawingLayer, blitToAWindowPaintsItsCanvasAndAsksForARepaintThere) {
  EnsureGuiApplication();
  Gdi gdi;
  WindowCanvas canvas(QSize(100, 50));
  canvas.Image().fill(qRgb(10, 20, 30));
  std::vector<QRect> repaints;
  canvas.SetRepaintRequest([&](const QRect& area) { repaints.push_back(area); });
  const GdiHandle window = gdi.RegisterWindow(canvas);

  // A surface takes its pixels from the window's own canvas.
  const GdiHandle screen = gdi.GetDC(window);
  const GdiHandle dc = gdi.CreateCompatibleDC(screen);
  const GdiHandle bitmap = gdi.CreateCompatibleBitmap(screen, 8, 6);
  gdi.SelectObject(dc, bitmap);
  EXPECT_EQ(gdi.BitBlt(dc, 0, 0, 8, 6, screen, 0, 0, SourceCopy), 1);
  EXPECT_TRUE(repaints.empty());
  gdi.SelectObject(dc, gdi.CreatePen(PenStyle::Solid, 1, ColorOf(0, 255, 0)));
  gdi.SelectObject(dc, gdi.CreateBrushIndirect(LogBrush{BrushStyle::Solid, ColorOf(0, 255, 0), 0}));
  gdi.Ellipse(dc, 2, 2, 5, 5);

  EXPECT_EQ(gdi.BitBlt(screen, 90, 40, 8, 6, dc, 0, 0, SourceCopy), 1);
  gdi.ReleaseDC(window, screen);
  EXPECT_EQ(repaints, (std::vector<QRect>{QRect(90, 40, 8, 6)}));
  EXPECT_EQ(canvas.Image().pixel(90, 40), qRgb(10, 20, 30));
  EXPECT_EQ(canvas.Image().pixel(93, 43), qRgb(0, 255, 0));
  EXPECT_EQ(canvas.Image().pixel(89, 40), qRgb(10, 20, 30));

  // Only source copies are known; a blit past the canvas edge is clipped.
  EXPECT_EQ(gdi.BitBlt(gdi.GetDC(window), 0, 0, 8, 6, dc, 0, 0, 0x00EE0086), 0);
  repaints.clear();
  const GdiHandle again = gdi.GetDC(window);
  gdi.BitBlt(again, 96, 47, 8, 6, dc, 0, 0, SourceCopy);
  EXPECT_EQ(repaints, (std::vector<QRect>{QRect(96, 47, 4, 3)}));
}

}  // namespace
}  // namespace tarvex
