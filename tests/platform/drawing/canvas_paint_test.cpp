// The canvas widget paints each rectangle of a repaint region on its own,
// reading the canvas's pixels in place: every rectangle shows the canvas
// pixels it covers (the window's colour where it reaches past the canvas),
// and nothing between the rectangles is painted.
#include <gtest/gtest.h>

#include <QApplication>
#include <QRegion>
#include <string>
#include <vector>

#include "platform/drawing/canvas_widget.h"

namespace tarvex {
namespace {

QApplication& Application() {
  static int argc = 1;
  static char name[] = "canvas-paint-tests";
  static char* argv[] = {name, nullptr};
  // Never deleted: destroying it among the static destructors crashes.
  static auto* app = new QApplication(argc, argv);
  return *app;
}

struct RegionCase {
  const char* legend;
  std::vector<QRect> rectangles;
};

TEST(CanvasPaint, eachRectangleOfARegionShowsTheCanvasPixelsItCovers) {
  Application();
  const QRgb untouched = qRgb(1, 2, 3);
  const RegionCase cases[] = {
      {"one rectangle inside the canvas", {QRect(17, 9, 40, 20)}},
      {"rectangles in different rows and columns", {QRect(3, 4, 10, 5), QRect(120, 60, 31, 7), QRect(60, 90, 5, 9)}},
      {"a rectangle at the canvas's right and bottom edges", {QRect(180, 85, 20, 15)}},
      {"rectangles past the canvas, partly and wholly", {QRect(190, 40, 30, 10), QRect(210, 105, 20, 10)}},
      {"the widget's left edge and top", {QRect(0, 0, 7, 3), QRect(0, 50, 1, 1)}},
  };
  for (const RegionCase& c : cases) {
    SCOPED_TRACE(c.legend);
    // A 200 x 100 canvas of a pattern no two neighbouring pixels share, in a
    // widget larger than it.
    WindowCanvas canvas(QSize(200, 100));
    for (int y = 0; y < 100; ++y) {
      for (int x = 0; x < 200; ++x) canvas.Image().setPixel(x, y, qRgb((x * 7) & 0xFF, (y * 11) & 0xFF, (x + y) & 0xFF));
    }
    CanvasWidget widget(canvas);
    widget.resize(240, 120);
    const QRgb windowColour = widget.palette().window().color().rgb();
    QImage shown(widget.size(), QImage::Format_RGB32);
    shown.fill(untouched);
    QRegion region;
    for (const QRect& r : c.rectangles) region += r;
    // render() places the region's bounding rectangle at the offset given.
    widget.render(&shown, region.boundingRect().topLeft(), region, QWidget::RenderFlags());

    for (int y = 0; y < shown.height(); ++y) {
      for (int x = 0; x < shown.width(); ++x) {
        const QPoint at(x, y);
        const QRgb want = !region.contains(at) ? untouched
                          : canvas.Image().rect().contains(at) ? canvas.Image().pixel(at)
                                                               : windowColour;
        ASSERT_EQ(shown.pixel(at), want) << "at " << x << ", " << y;
      }
    }
  }
}

}  // namespace
}  // namespace tarvex
