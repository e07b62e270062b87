// Background mode: the main window behind its tray icon and back, the icon's
// notifications, the tray menu's restore, a desktop without a tray, and the
// activity pictures the engine switches. Every effect is one entry of one
// ordered trace.
#include <gtest/gtest.h>

#include "tests/support/recording_log.h"
#include "ui/tray/tray_icon.h"

namespace tarvex::test {
namespace {

using Trace = std::vector<std::string>;

const QRect Window(100, 100, 800, 600);
const QRect TrayPlace(1000, 750, 22, 22);

class RecordingTrayWindow final : public TrayWindow {
public:
  explicit RecordingTrayWindow(Trace& trace) : trace_(trace) {}
  QRect ScreenRect() const override { return Window; }
  void Hide() override { trace_.push_back("window hidden"); }
  void Minimize() override { trace_.push_back("window minimised"); }
  bool CanMinimize() const override { return canMinimize; }
  void Show() override { trace_.push_back("window shown"); }
  void ProcessEvents() override { trace_.push_back("events"); }
  void SetIcon(TrayPicture picture) override { trace_.push_back(std::string("window icon ") + TrayPictureName(picture)); }
  void PopUpMenu() override { trace_.push_back("menu"); }

  bool canMinimize = true;

private:
  Trace& trace_;
};

class TrayIconTest : public ::testing::Test {
protected:
  explicit TrayIconTest(bool trayAvailable = true) : area(trace, trayAvailable) {}

  // The put-in-tray's own entries leave the trace.
  void InTray() {
    icon.cmdPutInTray_Click();
    ASSERT_TRUE(values.InTray);
    trace.clear();
  }

  Trace trace;
  StartupState startup;
  MainWindowValues values;
  GridState gridState;
  RecordingLog log{trace};
  RecordingNotificationArea area;
  RecordingTrayZoom zoom{TrayPlace};
  RecordingTrayWindow window{trace};
  TrayIcon icon{TrayIconServices{startup, values, gridState, log, area, zoom, window}};
};

class NoTrayTest : public TrayIconTest {
protected:
  NoTrayTest() : TrayIconTest(false) {}
};

TEST_F(TrayIconTest, putInTrayAddsOneIconWithItsTipLogsZoomsAndHides) {
  gridState.Painted = true;
  icon.cmdPutInTray_Click();
  EXPECT_EQ(trace, (Trace{"log 5 Tarvex Manager Minimized", "tray add Idle \" Velmar-Orinda Tarvex\"", "window hidden"}));
  EXPECT_TRUE(values.InTray);
  EXPECT_FALSE(gridState.Painted);
  EXPECT_EQ(zoom.drawn(), (std::vector<RecordingTrayZoom::Drawn>{{Window, TrayPlace}}));
}

TEST_F(TrayIconTest, inDebugModePutInTrayDoesNothing) {
  startup.DebugMode = true;
  gridState.Painted = true;
  icon.cmdPutInTray_Click();
  EXPECT_TRUE(trace.empty());
  EXPECT_FALSE(values.InTray);
  EXPECT_TRUE(gridState.Painted);
  EXPECT_FALSE(area.IconShown());
}

// The operator's Ctrl+M before the unattended start's own call.
TEST_F(TrayIconTest, aSecondPutInTrayChangesNothing) {
  InTray();
  icon.cmdPutInTray_Click();
  EXPECT_TRUE(trace.empty());
  EXPECT_EQ(area.Refusals(), 0);
  EXPECT_EQ(zoom.drawn().size(), 1u);
}

TEST_F(TrayIconTest, notificationsOfTheIconAreHandledByTheirNumber) {
  const struct {
    const char* legend;
    int notification;
    Trace effects;
    bool inTrayAfter;
  } rows[] = {
      {"double-click restores without a log line", TrayNotification::LeftDoubleClick,
       {"tray delete", "events", "window shown", "events"}, false},
      {"right button pops the menu up", TrayNotification::RightButtonDown, {"menu"}, true},
      {"mouse move", TrayNotification::MouseMove, {}, true},
      {"left single click", TrayNotification::LeftButtonDown, {}, true},
      {"left release", TrayNotification::LeftButtonUp, {}, true},
      {"right release", TrayNotification::RightButtonUp, {}, true},
      {"middle click", TrayNotification::MiddleButtonUp, {}, true},
      {"unknown", 0, {}, true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.legend);
    InTray();
    area.Send(row.notification);
    EXPECT_EQ(trace, row.effects);
    EXPECT_EQ(values.InTray, row.inTrayAfter);
    EXPECT_EQ(area.IconShown(), row.inTrayAfter);
    if (!row.inTrayAfter) {
      EXPECT_EQ(zoom.drawn().back(), (RecordingTrayZoom::Drawn{TrayPlace, Window}));
    } else {
      icon.mnuRestore_Click();
    }
  }
}

TEST_F(TrayIconTest, openTarvexLogsAndRestoresWithoutZoom) {
  InTray();
  icon.mnuRestore_Click();
  EXPECT_EQ(trace, (Trace{"log 5 Tarvex Manager Maximized", "tray delete", "window shown"}));
  EXPECT_FALSE(values.InTray);
  EXPECT_EQ(zoom.drawn().size(), 1u);
  // The window goes to the tray again as the first time.
  icon.cmdPutInTray_Click();
  EXPECT_TRUE(area.IconShown());
}

TEST_F(TrayIconTest, notificationsAfterTheRestoreChangeNothing) {
  InTray();
  area.Send(TrayNotification::LeftDoubleClick);
  trace.clear();
  icon.TrayWindowProc(TrayNotification::LeftDoubleClick);
  icon.TrayWindowProc(TrayNotification::RightButtonDown);
  EXPECT_TRUE(trace.empty());
}

// The engine and the publication switch the pictures whether or not the
// window is in the tray; only a present icon follows.
TEST_F(TrayIconTest, theTrayIconFollowsTheWindowIconOnlyWhileItIsThere) {
  icon.SetWindowIcon(ActivityImage::Receive);
  icon.ShowWindowIconInTray();
  EXPECT_EQ(trace, (Trace{"window icon Rcv"}));
  EXPECT_FALSE(area.IconShown());

  InTray();
  EXPECT_EQ(area.Shown()->hIcon, TrayPicture::Receive);
  icon.SetWindowIcon(ActivityImage::Transmit);
  icon.ShowWindowIconInTray();
  icon.SetWindowIcon(ActivityImage::Idle);
  icon.ShowWindowIconInTray();
  EXPECT_EQ(trace, (Trace{"window icon Xmit", "tray modify Xmit \" Velmar-Orinda Tarvex\"", "window icon Idle",
                          "tray modify Idle \" Velmar-Orinda Tarvex\""}));

  icon.mnuRestore_Click();
  trace.clear();
  icon.SetWindowIcon(ActivityImage::Receive);
  icon.ShowWindowIconInTray();
  EXPECT_EQ(trace, (Trace{"window icon Rcv"}));
  EXPECT_FALSE(area.IconShown());
}

TEST_F(NoTrayTest, withoutATrayTheWindowIsMinimisedAndItsRestoreClearsTheTrayState) {
  gridState.Painted = true;
  icon.cmdPutInTray_Click();
  EXPECT_EQ(trace, (Trace{"log 5 Tarvex Manager Minimized", "window minimised"}));
  EXPECT_TRUE(values.InTray);
  EXPECT_TRUE(icon.Minimized());
  EXPECT_FALSE(gridState.Painted);
  EXPECT_TRUE(zoom.drawn().empty());
  EXPECT_FALSE(area.IconShown());

  trace.clear();
  icon.cmdPutInTray_Click();
  icon.ShowWindowIconInTray();
  EXPECT_TRUE(trace.empty());
  EXPECT_FALSE(area.IconShown());

  icon.WindowRestored();
  EXPECT_EQ(trace, (Trace{"window shown"}));
  EXPECT_FALSE(values.InTray);
  EXPECT_FALSE(icon.Minimized());
  // A later restore of the window, not from background mode, changes nothing.
  trace.clear();
  icon.WindowRestored();
  EXPECT_TRUE(trace.empty());
}

TEST_F(NoTrayTest, withNeitherTrayNorWindowManagerTheButtonLeavesTheGridLive) {
  window.canMinimize = false;
  gridState.Painted = true;
  icon.cmdPutInTray_Click();
  EXPECT_TRUE(trace.empty());
  EXPECT_FALSE(values.InTray);
  EXPECT_FALSE(icon.Minimized());
  EXPECT_TRUE(gridState.Painted);
}

}  // namespace
}  // namespace tarvex::test
