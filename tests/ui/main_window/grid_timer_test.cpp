// The grid timer's tick: draws the dirty cells of the served rows with a
// sleep after each row, only sleeps in the tray, does nothing before the
// window is painted, and counts its ticks per second for the refresh dialog.
#include "tests/support/main_window_fixture.h"

namespace tarvex::test {
namespace {

class GridTimerTest : public MainWindowTest {
protected:
  explicit GridTimerTest(testing::GridOptions options = {1024, 31, true, false}) : MainWindowTest(options) {
    Launch();
    events.clear();
  }
  int Sleeps() const {
    return static_cast<int>(std::count_if(events.begin(), events.end(),
                                          [](const std::string& e) { return e.rfind("sleep ", 0) == 0; }));
  }
  int DirtyCells(int row) const {
    int dirty = 0;
    for (int column = 0; column < 13; ++column) dirty += rig.grid.CellDirty(row, column);
    return dirty;
  }
};

TEST_F(GridTimerTest, beforeThePaintNothingIsDrawnSleptOrCounted) {
  rig.grid.Painted = false;
  rig.display->MarkAllCellsDirty();
  state.Values.RefreshDialogOpen = true;
  window->GDITimer_Timer();
  EXPECT_TRUE(events.empty());
  EXPECT_EQ(DirtyCells(0), 13);
  EXPECT_EQ(state.GDITicksThisSecond, 0);
  EXPECT_EQ(state.GDILastSecond, 0);
}

TEST_F(GridTimerTest, inTheTrayATickSleepsOnceAndDrawsNothing) {
  window->Form_Paint();
  state.Values.InTray = true;
  config.System.GDIIdle = 2;
  window->GDITimer_Timer();
  EXPECT_EQ(events, (Events{"sleep 2"}));
  EXPECT_EQ(DirtyCells(0), 13);
  config.System.GDIIdle = 0;
  events.clear();
  window->GDITimer_Timer();
  EXPECT_TRUE(events.empty());
}

TEST_F(GridTimerTest, aShownWindowDrawsEveryDirtyCellAndSleepsAfterEachRow) {
  window->Form_Paint();
  config.System.GDIIdle = 1;
  window->GDITimer_Timer();
  EXPECT_EQ(Sleeps(), 32);
  for (int row = 0; row <= 31; ++row) EXPECT_EQ(DirtyCells(row), 0) << row;
}

TEST_F(GridTimerTest, anIdleTimeFromADamagedSetupFileSleepsAtMostOneSecond) {
  window->Form_Paint();
  config.System.GDIIdle = 2000000000;
  window->GDITimer_Timer();
  EXPECT_EQ(Sleeps(), 32);
  EXPECT_EQ(Count(events, "sleep 1000"), 32);
  state.Values.InTray = true;
  events.clear();
  window->GDITimer_Timer();
  EXPECT_EQ(events, (Events{"sleep 1000"}));
}

class GridTimerOnEightChannels : public GridTimerTest {
protected:
  GridTimerOnEightChannels() : GridTimerTest({1024, 7, true, false}) {}
};

TEST_F(GridTimerOnEightChannels, onlyTheRowsUpToMaxChannelAreWalked) {
  window->Form_Paint();
  rig.display->SetCellDirty(8, 9);
  config.System.GDIIdle = 1;
  window->GDITimer_Timer();
  EXPECT_EQ(Sleeps(), 8);
  for (int row = 0; row <= 7; ++row) EXPECT_EQ(DirtyCells(row), 0) << row;
  EXPECT_TRUE(rig.grid.CellDirty(8, 9));
}

TEST_F(GridTimerTest, lScan3ShowsTheTicksOfTheSecondThatEnded) {
  window->Form_Paint();
  config.System.GDIIdle = 0;
  state.Values.RefreshDialogOpen = true;
  clock.set(QDateTime(QDate(2026, 3, 4), QTime(10, 0, 1, 100)));
  window->GDITimer_Timer();  // the first boundary seen
  for (int i = 0; i < 38; ++i) window->GDITimer_Timer();
  clock.set(QDateTime(QDate(2026, 3, 4), QTime(10, 0, 2, 5)));
  window->GDITimer_Timer();  // crosses into the next second, not counted
  window->GDITimer_Timer();
  EXPECT_EQ(events, (Events{"lScan3 0", "lScan3 38"}));
  EXPECT_EQ(state.GDITicksThisSecond, 1);
}

}  // namespace
}  // namespace tarvex::test
