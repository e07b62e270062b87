// The tray icon of the real main window on the offscreen platform, which has
// no notification area: the window is minimised instead of hidden, and the
// operator's restore of it ends background mode. The tray menu's entries and
// its restore, and a hidden window that no later redraw shows again.
#include <QApplication>
#include <QMenu>

#include "tests/support/main_window_fixture.h"
#include "tests/support/widget_application.h"
#include "ui/tray/widget/main_window_tray.h"

namespace tarvex::test {
namespace {

// No session bus in this program, so no StatusNotifier host, whatever desktop
// runs it: set before any test connects to the bus, which happens once.
[[maybe_unused]] const bool withoutSessionBus = qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");

class MainWindowTrayTest : private WidgetApplication, public MainWindowTest {
protected:
  MainWindowTrayTest() {
    widget = std::make_unique<MainWindowWidget>(*GridLayoutForScreen(1024), 31, rig.gdi);
    widget->Attach(*window);
    Launch();
    widget->Render(view.last);
    tray = std::make_unique<MainWindowTray>(MainWindowTrayParts{startup, state.Values, rig.grid, log}, *window,
                                            *widget);
  }
  // What the window's behaviour shows reaches the widget.
  void Shown() { widget->Render(view.last); }

  std::unique_ptr<MainWindowWidget> widget;
  std::unique_ptr<MainWindowTray> tray;
};

TEST_F(MainWindowTrayTest, withoutATrayTheWindowIsMinimisedAndTheOperatorsRestoreEndsBackgroundMode) {
  ASSERT_FALSE(tray->Area().Available());
  tray->Icon().cmdPutInTray_Click();
  EXPECT_TRUE(widget->isMinimized());
  EXPECT_TRUE(state.Values.InTray);
  EXPECT_FALSE(rig.grid.Painted);
  EXPECT_EQ(Count(LogLines(LogKind::Activity), "Tarvex Manager Minimized"), 1);

  widget->showNormal();
  EXPECT_TRUE(rig.grid.Painted);
  EXPECT_FALSE(state.Values.InTray);
  EXPECT_FALSE(widget->isMinimized());
  EXPECT_TRUE(widget->isVisible());
  EXPECT_EQ(Count(LogLines(LogKind::Activity), "Tarvex Manager Maximized"), 0);
}

TEST_F(MainWindowTrayTest, theTrayMenuOffersOpenTarvexASeparatorAndCancel) {
  const QList<QAction*> entries = tray->Menu().actions();
  ASSERT_EQ(entries.size(), 3);
  EXPECT_EQ(entries[0]->text(), QStringLiteral("Open Tarvex"));
  EXPECT_TRUE(entries[1]->isSeparator());
  EXPECT_EQ(entries[2]->text(), QStringLiteral("Cancel"));
  EXPECT_EQ(tray->Menu().title(), QStringLiteral("Tray Menu"));

  // The window hidden behind the icon stays hidden through later redraws,
  // until "Open Tarvex".
  tray->Hide();
  state.Values.InTray = true;
  Shown();
  window->SetMousePointer(MousePointer::Hourglass);
  window->EnableButtons();
  Shown();
  EXPECT_FALSE(widget->isVisible());
  entries[2]->trigger();
  Shown();
  EXPECT_FALSE(widget->isVisible());
  EXPECT_TRUE(state.Values.InTray);
  entries[0]->trigger();
  Shown();
  EXPECT_TRUE(widget->isVisible());
  EXPECT_FALSE(state.Values.InTray);
  EXPECT_EQ(Count(LogLines(LogKind::Activity), "Tarvex Manager Maximized"), 1);
}

TEST_F(MainWindowTrayTest, theWindowIconShowsTheActivityPicture) {
  const qint64 idle = widget->windowIcon().cacheKey();
  tray->Icon().SetWindowIcon(ActivityImage::Receive);
  EXPECT_NE(widget->windowIcon().cacheKey(), idle);
  EXPECT_FALSE(widget->windowIcon().isNull());
  // No icon was added: the modify creates none.
  tray->Icon().ShowWindowIconInTray();
  EXPECT_EQ(tray->Area().icon(), nullptr);
}

}  // namespace
}  // namespace tarvex::test

namespace tarvex::test {
namespace {

// Without a StatusNotifier host on the bus Qt's tray is an XEmbed one, which
// reports double-clicks: only the double-click restores, a single click
// changes nothing.
TEST(QtNotificationAreaTest, anXEmbedTraysGesturesArriveAsTheirNotifications) {
  EnsureWidgetApplication();
  ASSERT_FALSE(StatusNotifierHostRegistered());
  QtNotificationArea area;
  std::vector<int> received;
  area.SetHandler([&](int notification) { received.push_back(notification); });
  for (const auto reason : {QSystemTrayIcon::Trigger, QSystemTrayIcon::DoubleClick, QSystemTrayIcon::Context,
                            QSystemTrayIcon::MiddleClick, QSystemTrayIcon::Unknown}) {
    area.Activated(reason);
  }
  EXPECT_EQ(received, (std::vector<int>{TrayNotification::LeftButtonUp, TrayNotification::LeftDoubleClick,
                                        TrayNotification::RightButtonDown, TrayNotification::MiddleButtonUp}));
  // No icon was added: a modify or delete is refused and shows none.
  EXPECT_FALSE(area.Modify({TrayPicture::Receive, TrayTip}));
  EXPECT_FALSE(area.Delete());
  EXPECT_EQ(area.icon(), nullptr);
}

}  // namespace
}  // namespace tarvex::test
