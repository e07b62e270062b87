#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/status_editor/status_list_state.h"
#include "tests/config/status_editor/status_table_fixture.h"

namespace tarvex::test {
namespace {

// Notes every event the list raises.
class EventLog final : public StatusListEvents {
public:
  void TDBList1_RowChange() override { events.push_back("row change"); }
  void TDBList1_DblClick() override { events.push_back("double click"); }
  void TDBList1_KeyDown(int& KeyCode, int) override {
    events.push_back("key down " + std::to_string(KeyCode));
    if (KeyCode == 36) KeyCode = 0;
  }
  void TDBList1_KeyPress(int& KeyAscii) override {
    events.push_back("key press " + std::to_string(KeyAscii));
    if (KeyAscii == 13) KeyAscii = 0;
  }
  std::vector<std::string> events;
};

class StatusListStateTest : public ::testing::Test {
protected:
  StatusListStateTest() {
    list.SetArray(table);
    list.ReloadData();
    list.SetVisibleRows(10);
    list.SetEvents(&log);
  }
  DataArray table = StartupTable();
  StatusListState list;
  EventLog log;
};

TEST_F(StatusListStateTest, OnlyTheUsersMoveToAnotherRowRaisesARowChange) {
  list.SetBookmark(4);
  list.UserMovesTo(4, 3);
  list.UserMovesTo(5, 3);
  list.UserMovesTo(100, 0);  // a row the array does not have
  EXPECT_EQ(log.events, (std::vector<std::string>{"row change"}));
  EXPECT_EQ(list.Bookmark(), 5);
  EXPECT_EQ(list.CurrentColumn(), 3);
}

TEST_F(StatusListStateTest, KeyCodesComeBackAsTheHandlersLeftThem) {
  EXPECT_EQ(list.UserKeyDown(36, 0), 0);
  EXPECT_EQ(list.UserKeyDown(38, 1), 38);
  EXPECT_EQ(list.UserKeyPress(13), 0);
  EXPECT_EQ(list.UserKeyPress(97), 97);
  list.UserDoubleClicks();
  EXPECT_EQ(log.events, (std::vector<std::string>{"key down 36", "key down 38", "key press 13", "key press 97",
                                                  "double click"}));
}

TEST_F(StatusListStateTest, ADisabledListTakesNoInput) {
  list.SetEnabled(false);
  list.UserMovesTo(3, 0);
  list.UserDoubleClicks();
  EXPECT_EQ(list.UserKeyDown(40, 0), 0);
  EXPECT_EQ(list.UserKeyPress(13), 0);
  EXPECT_TRUE(log.events.empty());
  EXPECT_EQ(list.Bookmark(), 0);
}

TEST_F(StatusListStateTest, ScrollingStaysWithinTheRowsAndRebindingKeepsTheCurrentRow) {
  list.SetTopRow(95);
  EXPECT_EQ(list.TopRow(), 90) << "the last rows fill the view";
  list.SetTopRow(-3);
  EXPECT_EQ(list.TopRow(), 0);
  list.SetBookmark(50);
  list.SetRowInView(8);
  EXPECT_EQ(list.TopRow(), 42);

  list.SetArray(table);
  EXPECT_EQ(list.Bookmark(), 50);
  EXPECT_EQ(list.TopRow(), 42);
  DataArray small;
  small.ReDim(0, 9, 0, 5);
  list.SetArray(small);
  EXPECT_EQ(list.Bookmark(), 9) << "within the new array's rows";
  EXPECT_EQ(list.TopRow(), 0);
  list.ReloadData();
  EXPECT_EQ(list.Bookmark(), 0);
  EXPECT_TRUE(log.events.empty()) << "none of this was the user's";
}

}  // namespace
}  // namespace tarvex::test
