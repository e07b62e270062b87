// The main window's widgets: the controls under their names with their
// captions and tool tips, the buttons on their grid rows for either screen
// layout, and the events that reach the window's behaviour.
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QPushButton>
#include <QTest>

#include "tests/support/main_window_fixture.h"
#include "tests/support/widget_application.h"
#include "ui/main_window/qt_window_timer.h"
#include "ui/main_window/widget/main_window_widget.h"

namespace tarvex::test {
namespace {

class MainWindowWidgetTest : private WidgetApplication, public MainWindowTest {
protected:
  MainWindowWidgetTest() {
    widget = std::make_unique<MainWindowWidget>(*GridLayoutForScreen(1024), 31, rig.gdi);
    widget->Attach(*window);
    Launch();
    widget->Render(view.last);
    events.clear();
  }
  QPushButton* Button(const char* name) const { return widget->findChild<QPushButton*>(QString::fromLatin1(name)); }

  std::unique_ptr<MainWindowWidget> widget;
};

TEST_F(MainWindowWidgetTest, controlsCarryTheirNamesCaptionsAndToolTips) {
  const struct {
    const char* name;
    const char* caption;
    const char* toolTip;
  } rows[] = {
      {"cmdSetup(0)", "<< Setup...", "Setup Tarvex Interface For This Scale Device Channel (Row)..."},
      {"cmdSetup(31)", "<< Setup...", "Setup Tarvex Interface For This Scale Device Channel (Row)..."},
      {"cmdDetail(0)", "<< Detail...", "Display Device Detail For This Scale Device Channel (Row)..."},
      {"cmdDetail(31)", "<< Detail...", "Display Device Detail For This Scale Device Channel (Row)..."},
      {"cmdRefresh", "&Refresh...", ""},
      {"CmdHelp", "&Help...", "Display/Print Tarvex Information And Help..."},
      {"cmdPutInTray", "__", "Run Tarvex In Background Mode..."},
      {"cmdEnd", "X", "Shut Off Tarvex Manager..."},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    QPushButton* button = Button(row.name);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text().toStdString(), row.caption);
    EXPECT_EQ(button->toolTip().toStdString(), row.toolTip);
  }
  EXPECT_NE(widget->findChild<QLabel*>(QStringLiteral("lDebugMode")), nullptr);
  EXPECT_EQ(widget->findChild<QLabel*>(QStringLiteral("lRevision"))->text(), QStringLiteral("Revision 1.0.5"));
}

TEST_F(MainWindowWidgetTest, theStateOfTheControlsIsShown) {
  window->cmdRefresh_Click();
  widget->Render(view.last);
  EXPECT_FALSE(Button("cmdRefresh")->isEnabled());
  EXPECT_FALSE(Button("cmdSetup(3)")->isEnabled());
  window->EnableButtons();
  widget->Render(view.last);
  EXPECT_TRUE(Button("cmdSetup(3)")->isEnabled());
  EXPECT_TRUE(widget->isVisible());
}

TEST_F(MainWindowWidgetTest, keysWithAModifierReachTheWindowAlsoWhenAButtonHasTheFocus) {
  Button("cmdSetup(2)")->setFocus();
  QTest::keyClick(Button("cmdSetup(2)"), Qt::Key_M, Qt::ControlModifier);
  QTest::keyClick(widget.get(), Qt::Key_M);
  EXPECT_EQ(events, (Events{"tray"}));
  QTest::keyClick(widget.get(), Qt::Key_X, Qt::AltModifier);
  EXPECT_FALSE(view.last.Visible);
  EXPECT_TRUE(startupView.last.Visible);
}

TEST_F(MainWindowWidgetTest, theFramesCloseIsEndAndTheWidgetStays) {
  QCloseEvent close;
  QApplication::sendEvent(widget.get(), &close);
  EXPECT_FALSE(close.isAccepted());
  EXPECT_FALSE(view.last.Visible);
  EXPECT_TRUE(startupView.last.Visible);
}

TEST_F(MainWindowWidgetTest, clickingAButtonRunsItsHandler) {
  Button("cmdRefresh")->click();
  EXPECT_EQ(events, (Events{"refresh dialog 40 2 15 0 25 1"}));
}

TEST(QtWindowTimer, anIntervalOfZeroStillTicksAndDisablingStopsIt) {
  EnsureWidgetApplication();
  int ticks = 0;
  QtWindowTimer timer([&] { ++ticks; });
  timer.SetInterval(0);
  EXPECT_EQ(timer.Interval(), 0);
  EXPECT_FALSE(timer.Enabled());
  timer.SetEnabled(true);
  EXPECT_TRUE(QTest::qWaitFor([&] { return ticks >= 3; }, 5000));
  timer.SetEnabled(false);
  EXPECT_FALSE(timer.Enabled());
  timer.SetInterval(40);
  EXPECT_EQ(timer.Interval(), 40);
}

TEST(MainWindowPlaces, eachChannelsButtonsStandOnItsRowRightOfTheLampsInsideTheWindow) {
  for (const int width : {800, 1024}) {
    SCOPED_TRACE(width);
    const GridLayout layout = *GridLayoutForScreen(width);
    const MainWindowPlaces places = MainWindowPlacesFor(layout);
    const QRect client(QPoint(0, 0), places.client);
    for (int row = 0; row < 32; ++row) {
      SCOPED_TRACE(row);
      const GridCellRect lamp = GridCellPlace(layout, row, GridColumn::LastLamp);
      const int lampCentre = lamp.y + layout.GridCellHeight / 2;
      for (const QRect& button : {places.setup[row], places.detail[row]}) {
        EXPECT_TRUE(client.contains(button));
        EXPECT_GT(button.left(), lamp.x + lamp.width);
        EXPECT_LE(std::abs(button.center().y() - lampCentre), 1);
      }
      EXPECT_FALSE(places.setup[row].intersects(places.detail[row]));
      if (row > 0) {
        EXPECT_FALSE(places.setup[row].intersects(places.setup[row - 1]));
      }
    }
    for (const QRect& button : {places.cmdRefresh, places.CmdHelp, places.cmdPutInTray, places.cmdEnd}) {
      EXPECT_TRUE(client.contains(button));
      EXPECT_LT(button.bottom(), places.setup[0].top());
    }
  }
}

}  // namespace
}  // namespace tarvex::test
