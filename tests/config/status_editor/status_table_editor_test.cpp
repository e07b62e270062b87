#include <gtest/gtest.h>

#include "tests/config/status_editor/editor_fixture.h"

namespace tarvex::test {
namespace {

// What the entry frame shows after a row was opened.
struct Shown {
  int statusIndex;
  int ddeIndex;
  std::string te0, te1, te2;
  int cke;
  bool insert, replace, del;
};

struct OpenCase {
  const char* legend;
  Row cells;
  Shown shown;
};

TEST_F(StatusEditorTest, OpeningARowShowsItInTheEntryFields) {
  const OpenCase cases[] = {
      {"a blank row starts as a used LB entry on 1 / MOTION",
       {"", "", "", "", "", ""},
       {0, 0, "", "", "", 1, false, false, false}},
      {"an existing row",
       {"Motion", "2 / MODE", "2", "1", "4", "X"},
       {26, 1, "2", "1", "4", 1, true, true, true}},
      {"a text the list does not know selects LB",
       {"Wobble", "STATUS9", "7", "1b2", "", "X"},
       {0, 13, "7", "1b2", "", 1, true, true, true}},
      {"blanks around a known text are ignored",
       {"  Net Mode ", " 2 / MODE", "3", "1", "", " "},
       {22, 1, "3", "1", "", 0, true, true, true}},
      {"the comparison is case-sensitive and a lower-case x is not used",
       {"motion", "1 / MOTION", "2", "1", "4", "x"},
       {0, 0, "2", "1", "4", 0, true, true, true}},
      {"a definition without position and length leaves Insert and Replace off",
       {"Stable", "1 / MOTION", "", "", "", "X"},
       {27, 0, "", "", "", 1, false, false, true}},
      {"a cell longer than the box takes is shown whole",
       {"ErrorMsg", "0 / ERROR", "123456", "12345", "ABCDEFGHIJ", "X"},
       {50, 3, "123456", "12345", "ABCDEFGHIJ", 1, true, true, true}},
  };
  for (const OpenCase& c : cases) {
    SetRow(table(), 0, c.cells);
    Open(0);
    EXPECT_TRUE(entry.fEntry.Visible()) << c.legend;
    EXPECT_EQ(entry.cbStatus.ListIndex(), c.shown.statusIndex) << c.legend;
    EXPECT_EQ(entry.cbDDE.ListIndex(), c.shown.ddeIndex) << c.legend;
    EXPECT_EQ(entry.te[0].Text(), c.shown.te0) << c.legend;
    EXPECT_EQ(entry.te[1].Text(), c.shown.te1) << c.legend;
    EXPECT_EQ(entry.te[2].Text(), c.shown.te2) << c.legend;
    EXPECT_EQ(entry.cke.Value(), c.shown.cke) << c.legend;
    EXPECT_EQ(entry.cmdInsert.Enabled(), c.shown.insert) << c.legend;
    EXPECT_EQ(entry.cmdReplace.Enabled(), c.shown.replace) << c.legend;
    EXPECT_EQ(entry.cmdDelete.Enabled(), c.shown.del) << c.legend;
    entry.cmdCancelEntry.Click();
    EXPECT_EQ(RowTexts(table(), 0), c.cells) << c.legend << ": Cancel changes nothing";
  }
}

TEST_F(StatusEditorTest, OpeningFillsTheRowsCellsThatHoldNothingWithTheEmptyText) {
  table().SetValue(0, 3, DataCell::Number("12"));
  Open(0);
  for (int c : {0, 1, 2, 4, 5}) EXPECT_EQ(table().Value(0, c), DataCell::Text("")) << c;
  EXPECT_EQ(entry.te[1].Text(), "12");
}

TEST_F(StatusEditorTest, InsertAndReplaceNeedDefinitionDDEFieldPositionAndLength) {
  Open(0);
  struct Step {
    const char* legend;
    std::function<void()> edit;
    bool enabled;
  };
  const Step steps[] = {
      {"position only", [&] { entry.te[0].SetText("2"); }, false},
      {"position and length", [&] { entry.te[1].SetText("1"); }, true},
      {"the mask is not needed", [&] { entry.te[2].SetText(""); }, true},
      {"a length of blanks is empty", [&] { entry.te[1].SetText("  "); }, false},
      {"length again", [&] { entry.te[1].SetText("1b4"); }, true},
      {"no DDE field", [&] { entry.cbDDE.SetListIndex(-1); }, false},
      {"DDE field again", [&] { entry.cbDDE.SetListIndex(4); }, true},
      {"no status definition", [&] { entry.cbStatus.SetListIndex(-1); }, false},
  };
  for (const Step& step : steps) {
    step.edit();
    EXPECT_EQ(entry.cmdInsert.Enabled(), step.enabled) << step.legend;
    EXPECT_EQ(entry.cmdReplace.Enabled(), step.enabled) << step.legend;
  }
}

TEST_F(StatusEditorTest, TheEntryFieldOfTheCurrentColumnTakesTheFocus) {
  const char* const fields[] = {"cbStatus", "cbDDE", "te(0)", "te(1)", "te(2)", "cke"};
  for (int column = 0; column < 6; ++column) {
    focus.focused.clear();
    Open(0, column);
    EXPECT_EQ(focus.focused, fields[column]) << column;
    entry.cmdCancelEntry.Click();
  }
}

TEST_F(StatusEditorTest, ListKeysAreSwallowedAsTheEditorsRulesSay) {
  FillRows(table(), 3);
  struct Case {
    const char* legend;
    long current;
    int key;
    bool swallowed;
  };
  const Case cases[] = {
      {"Enter", 1, 13, true},          {"Home", 1, 36, true},         {"End", 1, 35, true},
      {"Page Down", 1, 34, true},      {"Page Up", 1, 33, true},      {"Right arrow", 1, 39, true},
      {"Down inside the block", 1, 40, false}, {"Down on the first free row", 3, 40, true},
      {"Up", 3, 38, false},            {"Left", 3, 37, false},        {"a letter", 1, 65, false},
  };
  for (const Case& c : cases) {
    list.SetBookmark(c.current);
    EXPECT_EQ(list.UserKeyDown(c.key, 0) == 0, c.swallowed) << c.legend;
  }
  EXPECT_FALSE(entry.fEntry.Visible()) << "key-down opens nothing";
}

TEST_F(StatusEditorTest, EnterInTheListOpensTheCurrentRow) {
  FillRows(table(), 3);
  list.SetBookmark(1);
  EXPECT_EQ(list.UserKeyPress(65), 65) << "other characters pass";
  EXPECT_FALSE(entry.fEntry.Visible());
  EXPECT_EQ(list.UserKeyPress(13), 0);
  EXPECT_TRUE(entry.fEntry.Visible());
  EXPECT_EQ(entry.te[0].Text(), "1");
}

TEST_F(StatusEditorTest, ARowChangeBelowTheFirstFreeRowGoesBackToIt) {
  FillRows(table(), 4);
  list.UserMovesTo(2, 0);
  EXPECT_EQ(list.Bookmark(), 2) << "inside the block";
  list.UserMovesTo(4, 0);
  EXPECT_EQ(list.Bookmark(), 4) << "the first free row itself";
  list.UserScrollsTo(25);
  list.UserMovesTo(30, 0);
  EXPECT_EQ(list.Bookmark(), 4);
  EXPECT_EQ(list.TopRow(), 0) << "the list scrolls back to show it";
}

TEST_F(StatusEditorTest, ARowChangeScrollsAFirstFreeRowBeyondTheViewToTheSecondLastVisibleRow) {
  FillRows(table(), 40);
  list.UserScrollsTo(65);
  list.UserMovesTo(70, 0);
  EXPECT_EQ(list.Bookmark(), 40);
  EXPECT_EQ(list.TopRow(), 40 - 12 + 2);
}

TEST_F(StatusEditorTest, AFullTableKeepsTheCurrentRowInsideTheEditableRows) {
  FillRows(table(), 99);
  list.UserMovesTo(99, 0);
  EXPECT_EQ(list.Bookmark(), 98) << "no row -1, no row 99";
  EXPECT_EQ(list.UserKeyDown(40, 0), 0) << "Down is always swallowed";

  list.SetBookmark(99);  // however the list got there
  list.UserDoubleClicks();
  EXPECT_FALSE(entry.fEntry.Visible()) << "row 99 does not open";
  EXPECT_EQ(list.UserKeyPress(13), 0);
  EXPECT_FALSE(entry.fEntry.Visible()) << "nor does Enter open it";
  EXPECT_TRUE(table().Value(99, 1).isEmpty()) << "row 99 was not prepared for opening";
}

TEST_F(StatusEditorTest, AFullTableDisablesInsertEvenAfterAnEarlierOpeningEnabledIt) {
  FillRows(table(), 98);
  Open(5);
  EXPECT_TRUE(entry.cmdInsert.Enabled()) << "row 98 is free";
  entry.cmdCancelEntry.Click();
  Open(98);
  Type("9", "1");
  EXPECT_TRUE(entry.cmdInsert.Enabled());
  entry.cmdReplace.Click();
  ASSERT_EQ(FirstEmptyEntry(table()), -1);

  Open(5);
  EXPECT_FALSE(entry.cmdInsert.Enabled());
  EXPECT_TRUE(entry.cmdReplace.Enabled());
  entry.cke.SetValue(0);  // any later test of the fields keeps it off
  EXPECT_FALSE(entry.cmdInsert.Enabled());
  entry.cmdInsert.Click();
  EXPECT_TRUE(entry.fEntry.Visible()) << "a disabled Insert does nothing";
  EXPECT_EQ(table().Value(97, 0).text(), "E97");
  EXPECT_EQ(table().Value(98, 0).text(), "LB");
}

TEST_F(StatusEditorTest, InsertPutsTheEntryAtTheCurrentRowAndPushesTheRowsBelowDown) {
  FillRows(table(), 3);
  Open(1);
  entry.cbStatus.SetListIndex(25);  // "Out Of Range"
  entry.cbDDE.SetListIndex(3);      // "0 / ERROR"
  Type("12", "1");
  entry.te[2].SetText("");
  entry.cke.SetValue(0);
  entry.cmdInsert.Click();
  EXPECT_EQ(RowTexts(table(), 1), (Row{"Out Of Range", "0 / ERROR", "12", "1", "", " "}));
  EXPECT_EQ(Definitions(table())[0], "E0");
  EXPECT_EQ(Definitions(table())[2], "E1");
  EXPECT_EQ(Definitions(table())[3], "E2");
  EXPECT_EQ(FirstEmptyEntry(table()), 4);
  EXPECT_EQ(list.Array(), &table());
  EXPECT_FALSE(entry.fEntry.Visible());
  EXPECT_EQ(entry.cbStatus.ListIndex(), -1) << "the fields are emptied";
  EXPECT_EQ(entry.te[0].Text(), "");
  EXPECT_EQ(listFocusCalls, 1);
}

TEST_F(StatusEditorTest, ReplaceOnTheFirstFreeRowAddsAnEntryAtTheEndOfTheBlock) {
  FillRows(table(), 2);
  Open(2);
  entry.cbStatus.SetListIndex(21);  // "Gross Mode"
  Type(" 5", "1 ");
  entry.te[2].SetText("1");
  entry.cmdReplace.Click();
  EXPECT_EQ(RowTexts(table(), 2), (Row{"Gross Mode", "1 / MOTION", " 5", "1 ", "1", "X"}));
  EXPECT_EQ(FirstEmptyEntry(table()), 3);
  EXPECT_EQ(Definitions(table())[1], "E1");
}

TEST_F(StatusEditorTest, DeleteRemovesTheCurrentRowAndCompactsTheBlock) {
  FillRows(table(), 4);
  Open(1);
  ASSERT_TRUE(entry.cmdDelete.Enabled());
  entry.cmdDelete.Click();
  EXPECT_EQ(Definitions(table())[0], "E0");
  EXPECT_EQ(Definitions(table())[1], "E2");
  EXPECT_EQ(Definitions(table())[2], "E3");
  EXPECT_EQ(FirstEmptyEntry(table()), 3);
  EXPECT_FALSE(entry.fEntry.Visible());
  EXPECT_EQ(entry.te[0].Text(), "");
}

TEST_F(StatusEditorTest, DeleteIsDisabledForAFreeRow) {
  FillRows(table(), 2);
  Open(2);
  EXPECT_FALSE(entry.cmdDelete.Enabled());
  entry.cmdDelete.Click();
  EXPECT_TRUE(entry.fEntry.Visible());
  EXPECT_EQ(FirstEmptyEntry(table()), 2);
}

TEST_F(StatusEditorTest, EntryModeDisablesTheRestOfTheDialogAndLeavingItRestoresIt) {
  for (int bidirectional : {0, 1}) {
    dialog.ckBidirectional.SetValue(bidirectional);
    dialog.cmdCommands.SetEnabled(bidirectional != 0);
    Open(0);
    for (const Control* control : {static_cast<const Control*>(&dialog.fConnection),
                                   static_cast<const Control*>(&dialog.cmdOk),
                                   static_cast<const Control*>(&dialog.cmdCancel),
                                   static_cast<const Control*>(&dialog.cmdCommands)}) {
      EXPECT_FALSE(control->Enabled()) << control->Name() << " while a row is open";
    }
    EXPECT_FALSE(list.Enabled());
    entry.cmdCancelEntry.Click();
    EXPECT_TRUE(dialog.fConnection.Enabled());
    EXPECT_TRUE(dialog.cmdOk.Enabled());
    EXPECT_TRUE(dialog.cmdCancel.Enabled());
    EXPECT_TRUE(list.Enabled());
    EXPECT_EQ(dialog.cmdCommands.Enabled(), bidirectional != 0) << "Commands follows Bi-Directional";
  }
}

TEST_F(StatusEditorTest, EveryButtonOfTheEntryFrameLeavesEntryMode) {
  FillRows(table(), 3);
  const std::pair<const char*, Button*> buttons[] = {{"Insert", &entry.cmdInsert},
                                                     {"Replace", &entry.cmdReplace},
                                                     {"Delete", &entry.cmdDelete},
                                                     {"Cancel", &entry.cmdCancelEntry}};
  for (const auto& [legend, button] : buttons) {
    Open(1);
    button->Click();
    EXPECT_FALSE(entry.fEntry.Visible()) << legend;
    EXPECT_TRUE(dialog.cmdOk.Enabled()) << legend;
    EXPECT_TRUE(list.Enabled()) << legend;
    EXPECT_EQ(entry.cbStatus.ListIndex(), -1) << legend;
    EXPECT_EQ(entry.cke.Value(), 0) << legend;
    EXPECT_FALSE(entry.cmdInsert.Enabled()) << legend;
  }
}

TEST_F(StatusEditorTest, ALockedListOpensNoRow) {
  FillRows(table(), 3);
  list.SetBookmark(1);
  list.SetEnabled(false);
  list.UserMovesTo(2, 0);
  list.UserDoubleClicks();
  EXPECT_EQ(list.UserKeyPress(13), 0);
  EXPECT_EQ(list.Bookmark(), 1) << "nor does it move";
  EXPECT_FALSE(entry.fEntry.Visible());
  EXPECT_TRUE(dialog.cmdOk.Enabled());
}

TEST_F(StatusEditorTest, TheEnableBoxShowsItsRectangleWhileItHasTheFocus) {
  entry.cke.GotFocus();
  EXPECT_TRUE(entry.seRect.Visible());
  entry.cke.LostFocus();
  EXPECT_FALSE(entry.seRect.Visible());
}

}  // namespace
}  // namespace tarvex::test
