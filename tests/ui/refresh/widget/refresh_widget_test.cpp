// The refresh-rate dialog's widgets over the real main window: the controls
// under their names, typing and the spinner's arrow, and Close, the window's
// own close and Esc giving the main window's buttons back with Refresh focused.
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QTest>

#include "tests/support/main_window_fixture.h"
#include "tests/support/widget_application.h"
#include "ui/refresh/widget/main_window_refresh_dialog.h"

namespace tarvex::test {
namespace {

class RefreshWidgetTest : private WidgetApplication, public MainWindowTest {
public:
  RefreshWidgetTest() {
    widget = std::make_unique<MainWindowWidget>(*GridLayoutForScreen(1024), 31, rig.gdi);
    widget->Attach(*window);
    Launch();
    widget->Render(view.last);
    view.shownOn = widget.get();
    refresh = std::make_unique<MainWindowRefreshDialog>(
        MainWindowRefreshParts{config.System, state.Values, MainWindowTimers{timer1, txTimer, gdiTimer},
                               [this] { cfg.CfgProc(CfgOp::WriteSystemSetup, 0); }, boxes},
        *window, *widget);
  }

  // The Refresh button: the main window disables its buttons, the dialog opens.
  void OpenDialog() {
    window->cmdRefresh_Click();
    refresh->Dialog().Open({"25", "2", "15", "0", "25", "1"});
    widget->Render(view.last);
    ASSERT_FALSE(Main<QPushButton>("cmdRefresh")->isEnabled());
    ASSERT_TRUE(refresh->Widget().isVisible());
  }
  template <typename T>
  T* Main(const char* name) const {
    return widget->findChild<T*>(QString::fromLatin1(name));
  }
  template <typename T>
  T* Dialog(const char* name) const {
    return refresh->Widget().findChild<T*>(QString::fromLatin1(name));
  }

  ~RefreshWidgetTest() override { view.shownOn = nullptr; }

  std::unique_ptr<MainWindowWidget> widget;
  std::unique_ptr<MainWindowRefreshDialog> refresh;
};

TEST_F(RefreshWidgetTest, controlsCarryTheirNamesAndCaptions) {
  EXPECT_EQ(refresh->Widget().windowTitle(), QStringLiteral("Refresh Rates..."));
  EXPECT_TRUE(refresh->Widget().windowFlags() & Qt::WindowStaysOnTopHint);
  const struct {
    const char* name;
    const char* caption;
  } buttons[] = {{"cmdAdvanced", "&Advanced >>"}, {"cmdSimpleClose", "&Close"}, {"cmdUnAdvanced", "&Advanced <<"},
                 {"cmdUpdate", "&Update"},        {"cmdClose", "&Close"}};
  for (const auto& row : buttons) {
    SCOPED_TRACE(row.name);
    ASSERT_NE(Dialog<QPushButton>(row.name), nullptr);
    EXPECT_EQ(Dialog<QPushButton>(row.name)->text().toStdString(), row.caption);
  }
  for (int index = 0; index < RateBoxCount; ++index) {
    const QByteArray box = QStringLiteral("tVal(%1)").arg(index).toLatin1();
    const QByteArray spinner = QStringLiteral("VScroll1(%1)").arg(index).toLatin1();
    ASSERT_NE(Dialog<QLineEdit>(box.constData()), nullptr);
    ASSERT_NE(Dialog<QScrollBar>(spinner.constData()), nullptr);
    EXPECT_EQ(Dialog<QLineEdit>(box.constData())->isEnabled(), index != 3);
  }
  OpenDialog();
  for (const char* label : {"lScan1", "lScan2", "lScan3"}) EXPECT_EQ(Dialog<QLabel>(label)->text(), QStringLiteral("Scan:"));
  EXPECT_EQ(Dialog<QSlider>("Slider1")->value(), SliderPosition::Normal);
}

TEST_F(RefreshWidgetTest, typing37ThenTheUpArrowShows38) {
  OpenDialog();
  QTest::mouseClick(Dialog<QPushButton>("cmdAdvanced"), Qt::LeftButton);
  QLineEdit* box = Dialog<QLineEdit>("tVal(0)");
  box->selectAll();
  QTest::keyClicks(box, QStringLiteral("3x7"));
  EXPECT_EQ(box->text(), QStringLiteral("37"));
  EXPECT_EQ(refresh->Dialog().Controls().VScroll1[0], 37);
  Dialog<QScrollBar>("VScroll1(0)")->triggerAction(QAbstractSlider::SliderSingleStepSub);  // the up arrow
  EXPECT_EQ(box->text(), QStringLiteral("38"));
  QTest::mouseClick(Dialog<QPushButton>("cmdUpdate"), Qt::LeftButton);
  EXPECT_EQ(timer1.interval, 38);
  EXPECT_EQ(config.System.RxInterval, 38);
}

// The system setup file may hold a slower interval than an operator can type.
TEST_F(RefreshWidgetTest, anIntervalOfFourDigitsFromTheFileIsShownWholeAndUpdateKeepsIt) {
  window->cmdRefresh_Click();
  refresh->Dialog().Open({"1000", "2", "15", "0", "1500", "1"});
  QTest::mouseClick(Dialog<QPushButton>("cmdAdvanced"), Qt::LeftButton);
  EXPECT_EQ(Dialog<QLineEdit>("tVal(0)")->text(), QStringLiteral("1000"));
  EXPECT_EQ(Dialog<QLineEdit>("tVal(4)")->text(), QStringLiteral("1500"));
  QLineEdit* idle = Dialog<QLineEdit>("tVal(5)");
  idle->selectAll();
  QTest::keyClicks(idle, QStringLiteral("3"));
  QTest::mouseClick(Dialog<QPushButton>("cmdUpdate"), Qt::LeftButton);
  EXPECT_TRUE(boxes.shown().empty());
  EXPECT_EQ(timer1.interval, 1000);
  EXPECT_EQ(gdiTimer.interval, 1500);
  EXPECT_EQ(config.System.GDIIdle, 3);
  // Typing stays at three digits.
  QLineEdit* interval = Dialog<QLineEdit>("tVal(0)");
  interval->end(false);
  QTest::keyClicks(interval, QStringLiteral("5"));
  EXPECT_EQ(interval->text(), QStringLiteral("1000"));
}

TEST_F(RefreshWidgetTest, everyCloseGivesTheButtonsBackAndFocusesRefresh) {
  const struct {
    const char* legend;
    std::function<void(RefreshWidgetTest&)> close;
  } rows[] = {
      {"Close", [](RefreshWidgetTest& t) { QTest::mouseClick(t.Dialog<QPushButton>("cmdSimpleClose"), Qt::LeftButton); }},
      {"advanced Close",
       [](RefreshWidgetTest& t) {
         QTest::mouseClick(t.Dialog<QPushButton>("cmdAdvanced"), Qt::LeftButton);
         QTest::mouseClick(t.Dialog<QPushButton>("cmdClose"), Qt::LeftButton);
       }},
      {"the window's close", [](RefreshWidgetTest& t) { t.refresh->Widget().close(); }},
      {"Esc", [](RefreshWidgetTest& t) { QTest::keyClick(&t.refresh->Widget(), Qt::Key_Escape); }},
      {"Esc in a box",
       [](RefreshWidgetTest& t) {
         QTest::mouseClick(t.Dialog<QPushButton>("cmdAdvanced"), Qt::LeftButton);
         QTest::keyClick(t.Dialog<QLineEdit>("tVal(4)"), Qt::Key_Escape);
       }},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.legend);
    OpenDialog();
    row.close(*this);
    widget->Render(view.last);
    EXPECT_FALSE(refresh->Widget().isVisible());
    EXPECT_FALSE(state.Values.RefreshDialogOpen);
    EXPECT_TRUE(Main<QPushButton>("cmdRefresh")->isEnabled());
    EXPECT_TRUE(Main<QPushButton>("cmdEnd")->isEnabled());
    EXPECT_TRUE(Main<QPushButton>("cmdSetup(31)")->isEnabled());
    EXPECT_TRUE(Main<QPushButton>("cmdDetail(31)")->isEnabled());
    EXPECT_EQ(widget->focusWidget(), Main<QPushButton>("cmdRefresh"));
    // Focus elsewhere for the next row.
    Main<QPushButton>("cmdEnd")->setFocus();
  }
}

}  // namespace
}  // namespace tarvex::test
