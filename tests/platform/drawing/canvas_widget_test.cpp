// The window that shows a canvas: drawing repaints only what changed, and
// the paint handling of the grid is asked for on show and restore alone.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <functional>

#include "platform/drawing/canvas_widget.h"
#include "platform/drawing/gdi.h"

namespace tarvex {
namespace {

QApplication& Application() {
  static int argc = 1;
  static char name[] = "canvas-widget-tests";
  static char* argv[] = {name, nullptr};
  // Never deleted: destroying it among the static destructors crashes.
  static auto* app = new QApplication(argc, argv);
  return *app;
}

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
  int paints = 0;
  QRegion painted;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      ++paints;
      painted += static_cast<QPaintEvent*>(event)->region();
    }
    return false;
  }
};

bool WaitFor(const std::function<bool()>& done) {
  QElapsedTimer timer;
  timer.start();
  while (!done() && timer.elapsed() < 5000) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  return done();
}

TEST(CanvasWidget, repaintsCausedByDrawingNeverAskForThePaintHandling) {
  Application();
  WindowCanvas canvas(QSize(200, 100));
  canvas.Image().fill(qRgb(200, 200, 200));
  CanvasWidget widget(canvas);
  PaintCounter counter;
  widget.installEventFilter(&counter);
  QSignalSpy exposed(&widget, &CanvasWidget::exposedAnew);

  widget.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&widget));
  ASSERT_TRUE(WaitFor([&] { return counter.paints > 0; }));
  EXPECT_EQ(exposed.count(), 1);

  Gdi gdi;
  const GdiHandle window = gdi.RegisterWindow(canvas);
  const GdiHandle screen = gdi.GetDC(window);
  const GdiHandle dc = gdi.CreateCompatibleDC(screen);
  gdi.SelectObject(dc, gdi.CreateCompatibleBitmap(screen, 10, 10));  // black
  const int paintsBefore = counter.paints;
  counter.painted = QRegion();
  gdi.BitBlt(screen, 50, 20, 10, 10, dc, 0, 0, SourceCopy);
  gdi.ReleaseDC(window, screen);

  ASSERT_TRUE(WaitFor([&] { return counter.paints > paintsBefore; }));
  // Only the blitted rectangle is repainted.
  EXPECT_EQ(counter.painted.boundingRect(), QRect(50, 20, 10, 10));
  EXPECT_EQ(widget.grab().toImage().pixel(55, 25) & 0xFFFFFF, 0u);
  EXPECT_EQ(exposed.count(), 1);

  widget.showMinimized();
  widget.showNormal();
  EXPECT_GE(exposed.count(), 2);
}

}  // namespace
}  // namespace tarvex
