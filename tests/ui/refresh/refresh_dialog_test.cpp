// The refresh-rate dialog: the slider's band on activation, the presets, the
// boxes and their spinners, Update on the running timers and the system setup
// file, refused values, the views, Close, and the rate labels.
#include <cerrno>

#include "tests/ui/refresh/refresh_fixture.h"

namespace tarvex::test {
namespace {

TEST_F(RefreshDialogTest, activationChoosesTheSliderBandAndWritesNothing) {
  const struct {
    const char* legend;
    std::array<std::string, RateBoxCount> tVal;
    int before;
    int after;
  } rows[] = {
      {"defaults: a scan idle of 2 is not Fast", {"25", "2", "15", "0", "25", "1"}, SliderPosition::Slow,
       SliderPosition::Normal},
      {"fast", {"10", "1", "15", "0", "15", "0"}, SliderPosition::Normal, SliderPosition::Fast},
      {"slow", {"60", "5", "15", "0", "50", "5"}, SliderPosition::Normal, SliderPosition::Slow},
      {"40 matches no band (from Fast)", {"40", "2", "15", "0", "25", "1"}, SliderPosition::Fast, SliderPosition::Fast},
      {"40 matches no band (from Slow)", {"40", "2", "15", "0", "25", "1"}, SliderPosition::Slow, SliderPosition::Slow},
      {"an idle of exactly 4 matches no band", {"50", "4", "15", "0", "50", "5"}, SliderPosition::Fast,
       SliderPosition::Fast},
      {"the transmit values do not count", {"10", "1", "999", "99", "15", "0"}, SliderPosition::Slow,
       SliderPosition::Fast},
      {"an interval above 100 from the file", {"250", "5", "15", "0", "250", "5"}, SliderPosition::Fast,
       SliderPosition::Slow},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.legend);
    // The slider keeps the position of the last move when no band matches.
    dialog.Slider1_Scroll(row.before);
    scratch.WriteFile("TarvexSysSetup.Cfg", FixtureSystemSetup);
    trace.clear();
    Open(row.tVal);
    dialog.Form_Activate();
    EXPECT_EQ(dialog.Controls().Slider1, row.after);
    EXPECT_EQ(dialog.Controls().tVal, row.tVal);
    EXPECT_TRUE(trace.empty());
    EXPECT_EQ(SystemFile(), FixtureSystemSetup);
  }
}

TEST_F(RefreshDialogTest, slowFillsTheBoxesRetimesTheTimersAndWritesTheSystemFile) {
  OpenWithRunningValues();
  dialog.Slider1_Scroll(SliderPosition::Slow);
  const RefreshControls& controls = dialog.Controls();
  EXPECT_EQ(controls.tVal, (std::array<std::string, RateBoxCount>{"50", "5", "15", "1", "50", "5"}));
  EXPECT_EQ(controls.VScroll1, (std::array<int, RateBoxCount>{50, 5, 15, 1, 50, 5}));
  EXPECT_EQ(trace, (Trace{"Timer1 50", "TxTimer 15", "GDITimer 50", "system setup written"}));
  EXPECT_EQ(config.System.RxIdle, 5);
  EXPECT_EQ(config.System.GDIIdle, 5);
  // The transmit idle box shows 1; the value stays 0.
  EXPECT_EQ(config.System.TxIdle, 0);
  EXPECT_EQ(SystemFile(), ReadFile(TARVEX_TEST_DATA "/refresh/slow-preset.Cfg"));
  EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(RefreshDialogTest, theOtherPresetsGiveTheirRows) {
  const struct {
    int position;
    std::array<std::string, RateBoxCount> tVal;
    Trace timers;
  } rows[] = {
      {SliderPosition::Normal, {"25", "1", "15", "1", "25", "1"},
       {"Timer1 25", "TxTimer 15", "GDITimer 25", "system setup written"}},
      {SliderPosition::Fast, {"1", "0", "15", "1", "15", "0"},
       {"Timer1 1", "TxTimer 15", "GDITimer 15", "system setup written"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.position);
    OpenWithRunningValues();
    dialog.Slider1_Scroll(row.position);
    EXPECT_EQ(dialog.Controls().tVal, row.tVal);
    EXPECT_EQ(trace, row.timers);
    EXPECT_EQ(config.System.TxIdle, 0);
  }
}

TEST_F(RefreshDialogTest, aTypedValueMovesItsSpinnerAndTheSpinnerWritesTheBox) {
  OpenWithRunningValues();
  dialog.cmdAdvanced_Click();
  EXPECT_TRUE(dialog.tVal_Change(0, "37"));
  EXPECT_EQ(dialog.Controls().VScroll1[0], 37);
  dialog.VScroll1_Change(0, 38);  // the up arrow
  EXPECT_EQ(dialog.Controls().tVal[0], "38");
  EXPECT_EQ(dialog.Controls().VScroll1[0], 38);
  dialog.VScroll1_Change(0, 101);
  EXPECT_EQ(dialog.Controls().tVal[0], "100");
  // Typing and spinning apply nothing until Update.
  EXPECT_TRUE(trace.empty());
  EXPECT_EQ(config.System.RxInterval, 40);
}

TEST_F(RefreshDialogTest, boxesTakeDigitsOnlyAndAtMostThree) {
  OpenWithRunningValues();
  for (const char* refused : {"3a", "-5", "1.5", "1234", "abc"}) {
    SCOPED_TRACE(refused);
    EXPECT_FALSE(dialog.tVal_Change(4, refused));
    EXPECT_EQ(dialog.Controls().tVal[4], "25");
    EXPECT_EQ(dialog.Controls().VScroll1[4], 25);
  }
  // The transmit idle box cannot be edited.
  EXPECT_FALSE(dialog.tVal_Change(3, "7"));
  EXPECT_EQ(dialog.Controls().tVal[3], "0");
}

TEST_F(RefreshDialogTest, aValueAbove100ParksTheSpinnerAndUpdateKeepsTheBox) {
  Open({"250", "2", "15", "0", "25", "1"});
  EXPECT_EQ(dialog.Controls().tVal[0], "250");
  EXPECT_EQ(dialog.Controls().VScroll1[0], 100);
  EXPECT_TRUE(dialog.tVal_Change(2, "999"));
  EXPECT_EQ(dialog.Controls().tVal[2], "999");
  EXPECT_EQ(dialog.Controls().VScroll1[2], 100);
  EXPECT_TRUE(dialog.cmdUpdate_Click());
  EXPECT_EQ(trace, (Trace{"Timer1 250", "TxTimer 999", "GDITimer 25", "system setup written"}));
  EXPECT_EQ(SystemFile(), "250,2,999,0,25,1,#TRUE#,#FALSE#\r\n");
  // A longer interval from the file is kept too, though nobody can type it.
  Open({"1000", "2", "15", "0", "25", "1"});
  EXPECT_TRUE(dialog.cmdUpdate_Click());
  EXPECT_EQ(config.System.RxInterval, 1000);
}

TEST_F(RefreshDialogTest, anEmptyBoxOrAZeroIntervalIsRefusedAndNothingChanges) {
  const struct {
    int box;
    const char* text;
    const char* field;
  } rows[] = {
      {0, "", "Rx Int."},   {0, "0", "Rx Int."},    {1, " ", "Rx Idle"},  {2, "0", "Tx Int."},
      {2, "", "Tx Int."},   {4, "000", "GDI Int."}, {5, "", "GDI Idle"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::to_string(row.box) + " \"" + row.text + "\"");
    OpenWithRunningValues();
    boxes.clear();
    const SystemSetup before = config.System;
    ASSERT_TRUE(dialog.tVal_Change(row.box, row.text));
    EXPECT_FALSE(dialog.cmdUpdate_Click());
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_NE(boxes.shown()[0].text.find(std::string("The ") + row.field + " box"), std::string::npos)
        << boxes.shown()[0].text;
    EXPECT_EQ(boxes.shown()[0].title, "Refresh Rates...");
    EXPECT_TRUE(trace.empty());
    EXPECT_EQ(config.System, before);
    EXPECT_EQ(SystemFile(), FixtureSystemSetup);
  }
  // An idle of 0 is a value of the Fast preset.
  OpenWithRunningValues();
  ASSERT_TRUE(dialog.tVal_Change(1, "0"));
  EXPECT_TRUE(dialog.cmdUpdate_Click());
  EXPECT_EQ(config.System.RxIdle, 0);
}

TEST_F(RefreshDialogTest, aSystemFileThatCannotBeWrittenIsReportedAndKeptWhole) {
  OpenWithRunningValues();
  cfg.SetFileWriteCall([](int, const void*, size_t) -> ssize_t {
    errno = ENOSPC;
    return -1;
  });
  ASSERT_TRUE(dialog.tVal_Change(0, "60"));
  EXPECT_FALSE(dialog.cmdUpdate_Click());
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_NE(boxes.shown()[0].text.find("not saved"), std::string::npos) << boxes.shown()[0].text;
  EXPECT_NE(boxes.shown()[0].text.find("TarvexSysSetup.Cfg"), std::string::npos) << boxes.shown()[0].text;
  // The running timers have the new interval; the file keeps the old one.
  EXPECT_EQ(trace, (Trace{"Timer1 60", "TxTimer 15", "GDITimer 25", "system setup written"}));
  EXPECT_EQ(SystemFile(), FixtureSystemSetup);
}

TEST_F(RefreshDialogTest, everyActivationReturnsToTheSimpleView) {
  OpenWithRunningValues();
  dialog.cmdAdvanced_Click();
  EXPECT_EQ(dialog.Controls().Height, AdvancedViewHeight);
  EXPECT_TRUE(dialog.Controls().fRefreshVisible);
  EXPECT_FALSE(dialog.Controls().Slider1Enabled);
  EXPECT_FALSE(dialog.Controls().cmdAdvancedEnabled);
  EXPECT_FALSE(dialog.Controls().cmdSimpleCloseEnabled);
  dialog.Form_Activate();
  EXPECT_EQ(dialog.Controls().Height, SimpleViewHeight);
  EXPECT_FALSE(dialog.Controls().fRefreshVisible);
  EXPECT_TRUE(dialog.Controls().Slider1Enabled);
  EXPECT_TRUE(dialog.Controls().cmdAdvancedEnabled);
  EXPECT_TRUE(dialog.Controls().cmdSimpleCloseEnabled);
}

TEST_F(RefreshDialogTest, everyCloseGivesTheButtonsBackAndDropsWhatWasNotApplied) {
  const struct {
    const char* legend;
    bool advanced;
    void (RefreshDialog::*close)();
  } rows[] = {
      {"simple Close", false, &RefreshDialog::cmdSimpleClose_Click},
      {"advanced Close", true, &RefreshDialog::cmdClose_Click},
      {"the window's close or Esc, simple view", false, &RefreshDialog::CloseRequested},
      {"the window's close or Esc, advanced view", true, &RefreshDialog::CloseRequested},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.legend);
    OpenWithRunningValues();
    if (row.advanced) dialog.cmdAdvanced_Click();
    ASSERT_TRUE(dialog.tVal_Change(0, "77"));
    (dialog.*row.close)();
    EXPECT_EQ(trace, (Trace{"buttons enabled", "Refresh focused"}));
    EXPECT_FALSE(values.RefreshDialogOpen);
    EXPECT_FALSE(dialog.Controls().Visible);
    EXPECT_EQ(dialog.Controls().Height, SimpleViewHeight);
    EXPECT_EQ(config.System.RxInterval, 40);
    EXPECT_EQ(SystemFile(), FixtureSystemSetup);
  }
  // A close request of a hidden dialog does nothing.
  trace.clear();
  dialog.CloseRequested();
  EXPECT_TRUE(trace.empty());
}

TEST_F(RefreshDialogTest, theRateLabelsShowScanUntilTheFirstCount) {
  EXPECT_EQ(dialog.Controls().lScan, (std::array<std::string, 3>{"Scan:", "Scan:", "Scan:"}));
  OpenWithRunningValues();
  dialog.SetlScan1("24");
  dialog.SetlScan2("61");
  dialog.SetlScan3("38");
  EXPECT_EQ(dialog.Controls().lScan, (std::array<std::string, 3>{"24", "61", "38"}));
}

}  // namespace
}  // namespace tarvex::test
