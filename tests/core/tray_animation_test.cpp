#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QRegion>
#include <QSignalSpy>
#include <QSystemTrayIcon>

#include "core/tray_animation.h"
#include "platform/tray_zoom/qt_tray_zoom.h"

namespace tarvex {
namespace {

const QRect Window(100, 80, 640, 480);
const QRect Tray(980, 740, 22, 22);

TEST(TrayAnimationTest, ZoomRunsTowardsTheTrayOnHideAndBackOnRestoreAndOtherwiseNothing) {
  struct Case {
    int32_t mode;
    std::optional<QRect> tray;
    std::vector<RecordingTrayZoom::Drawn> drawn;
    int trayLookups;
  };
  const Case cases[] = {
      {1, Tray, {{Window, Tray}}, 1},
      {0, Tray, {{Tray, Window}}, 1},
      {2, Tray, {}, 0},
      {-1, Tray, {}, 0},
      {1, std::nullopt, {}, 1},
      {0, std::nullopt, {}, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "mode " << c.mode << (c.tray ? "" : ", no tray geometry"));
    RecordingTrayZoom zoom(c.tray);
    AnimateTrayWindow(c.mode, Window, zoom);
    EXPECT_EQ(zoom.drawn(), c.drawn);
    EXPECT_EQ(zoom.trayLookups(), c.trayLookups);
  }
}

int argc = 1;
char name[] = "tray_animation_test";
char* argv[] = {name, nullptr};

TEST(TrayAnimationTest, OutlineZoomReturnsAtOnceAndGoesAwayWhenItEnds) {
  QApplication app(argc, argv);
  QtTrayZoom zoom(nullptr);
  zoom.Zoom(Window, Tray);
  // Still running after the call: the event loop drives it.
  ASSERT_NE(zoom.outline(), nullptr);
  EXPECT_TRUE(zoom.outline()->isVisible());
  EXPECT_EQ(zoom.outline()->geometry(), Window);
  EXPECT_TRUE(zoom.outline()->testAttribute(Qt::WA_ShowWithoutActivating));
  EXPECT_TRUE(zoom.outline()->windowFlags().testFlag(Qt::WindowTransparentForInput));

  // A second zoom replaces the running one; only it finishes.
  zoom.Zoom(Tray, Window);
  QSignalSpy finished(&zoom, &QtTrayZoom::finished);
  ASSERT_TRUE(finished.wait(5 * QtTrayZoom::DurationMs));
  EXPECT_EQ(zoom.outline(), nullptr);
  EXPECT_FALSE(finished.wait(2 * QtTrayZoom::DurationMs));
  EXPECT_EQ(finished.count(), 1);
}

// Without a compositing manager a translucent window shows black where it is
// not painted, so only the outline's frame may belong to the window at all.
TEST(TrayAnimationTest, OnlyTheOutlinesFrameCoversTheScreenAsItZooms) {
  QApplication app(argc, argv);
  QtTrayZoom zoom(nullptr);
  zoom.Zoom(Window, Tray);
  const QWidget* outline = zoom.outline();
  ASSERT_NE(outline, nullptr);
  const auto coversOnlyItsFrame = [&] {
    const QRegion shape = outline->mask();
    const QRect inside = outline->rect();
    return shape.contains(inside.topLeft()) && shape.contains(inside.bottomRight()) &&
           shape.contains(QPoint(inside.center().x(), inside.top() + 1)) && !shape.contains(inside.center());
  };
  EXPECT_TRUE(coversOnlyItsFrame()) << "at the window end";
  // On its way the outline shrinks; its shape follows its size at every step seen.
  QSignalSpy finished(&zoom, &QtTrayZoom::finished);
  QElapsedTimer waited;
  waited.start();
  while (zoom.outline() && waited.elapsed() < 5 * QtTrayZoom::DurationMs) {
    if (outline->size() != Window.size()) {
      EXPECT_TRUE(coversOnlyItsFrame()) << "at " << outline->width() << " x " << outline->height();
    }
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  EXPECT_EQ(zoom.outline(), nullptr);
  EXPECT_EQ(finished.count(), 1);
}

TEST(TrayAnimationTest, ATrayIconThatIsNotShownGivesNoTrayEnd) {
  QApplication app(argc, argv);
  QSystemTrayIcon icon;
  QtTrayZoom zoom(&icon);
  EXPECT_EQ(zoom.TrayIconRect(), std::nullopt);
  AnimateTrayWindow(1, Window, zoom);
  EXPECT_EQ(zoom.outline(), nullptr);
  QtTrayZoom without(nullptr);
  EXPECT_EQ(without.TrayIconRect(), std::nullopt);
}

}  // namespace
}  // namespace tarvex
