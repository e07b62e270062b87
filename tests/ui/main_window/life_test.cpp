// The main window's life: launch, the start of its interface, its keys, End
// and Continue, the unload; each step failing on its own.
#include "tests/support/main_window_fixture.h"

namespace tarvex::test {
namespace {

constexpr const char* Initialized = "Tarvex Manager Initialized";

TEST_F(MainWindowTest, launchLoadsOnceInitialisesTwiceAndEndWithContinueInitialisesOnceMore) {
  Launch();
  EXPECT_EQ(window->LoadCount(), 1);
  EXPECT_EQ(Count(LogLines(LogKind::Activity), Initialized), 2);
  EXPECT_TRUE(view.last.Visible);
  EXPECT_FALSE(startupView.last.Visible);
  EXPECT_EQ(view.eventPasses, 1);
  EXPECT_EQ(view.last.lRevision, "Revision 1.0.5");
  EXPECT_TRUE(view.last.KeyPreview);
  EXPECT_FALSE(view.last.lDebugModeVisible);
  EXPECT_EQ(view.last.MousePointer, MousePointer::Default);
  EXPECT_FALSE(activation.FirstActivate);
  EXPECT_FALSE(engineState.DevicesInitialized);

  window->cmdEnd_Click();
  EXPECT_FALSE(view.last.Visible);
  EXPECT_TRUE(startupView.last.Visible);
  Launch();
  EXPECT_EQ(window->LoadCount(), 1);
  EXPECT_EQ(Count(LogLines(LogKind::Activity), Initialized), 3);
  EXPECT_TRUE(view.last.Visible);
  EXPECT_TRUE(timer1.enabled);
  // The launch set the hourglass and no load ran to take it away.
  EXPECT_EQ(view.last.MousePointer, MousePointer::Default);
}

TEST_F(MainWindowTest, launchBindsTheDevicesOfChannelsZeroToThirtyOneAndRunsTheTimersAtTheSetupFileIntervals) {
  Launch();
  for (int n = 0; n < 32; ++n) EXPECT_TRUE(handshake.IsBound(n)) << n;
  EXPECT_FALSE(handshake.IsBound(32));
  EXPECT_TRUE(timer1.enabled);
  EXPECT_EQ(timer1.interval, 40);
  EXPECT_TRUE(txTimer.enabled);
  EXPECT_EQ(txTimer.interval, 15);
  EXPECT_TRUE(gdiTimer.enabled);
  EXPECT_EQ(gdiTimer.interval, 25);
  EXPECT_EQ(Count(events, "workspaces opened"), 2);
}

TEST_F(MainWindowTest, debugModeDisablesTheTrayButtonShowsItsLabelAndLogsItsOwnStartLine) {
  startup.DebugMode = true;
  Launch();
  EXPECT_FALSE(view.last.cmdPutInTrayEnabled);
  EXPECT_TRUE(view.last.lDebugModeVisible);
  EXPECT_EQ(Count(LogLines(LogKind::Activity), "Tarvex Manager Initialized In Debug Mode"), 2);
}

TEST_F(MainWindowTest, keysWithAModifierGoToTheTrayOrEndAndPlainKeysDoNothing) {
  constexpr int Shift = 1, Ctrl = 2, Alt = 4;
  const struct {
    int key;
    int shift;
    bool debug;
    const char* expected;
  } rows[] = {
      {77, Ctrl, false, "tray"}, {77, Shift, false, "tray"}, {77, Alt, false, "tray"},
      {77, 0, false, nullptr},   {77, Ctrl, true, nullptr},  {88, Ctrl, false, "end"},
      {88, Shift, false, "end"}, {88, Alt, false, "end"},    {88, 0, false, nullptr},
      {88, Alt, true, "end"},    {65, Ctrl, false, nullptr},
  };
  Launch();
  for (const auto& row : rows) {
    SCOPED_TRACE(std::to_string(row.key) + " shift " + std::to_string(row.shift) + (row.debug ? " debug" : ""));
    startup.DebugMode = row.debug;
    window->Show();
    events.clear();
    window->Form_KeyDown(row.key, row.shift);
    const bool wentToTray = Count(events, "tray") == 1;
    const bool ended = !view.last.Visible;
    EXPECT_EQ(wentToTray, row.expected && std::string(row.expected) == "tray");
    EXPECT_EQ(ended, row.expected && std::string(row.expected) == "end");
  }
}

TEST_F(MainWindowTest, endClosesOpenPortsAndOPCConnectionsInOrderAndHandsBackToTheStartupWindow) {
  testing::PtyPair pty;
  ASSERT_TRUE(pty.ok());
  LaunchWithChannelZeroOnPtyAndOPC(pty);
  events.clear();

  window->cmdEnd_Click();

  EXPECT_FALSE(ports[0].PortOpen());
  EXPECT_EQ(events, (Events{"operator windows closed", "Timer1 off", "terminal closed", "OPC group removed 0",
                            "OPC disconnected 0"}));
  EXPECT_EQ(LogLines(LogKind::Opc), (std::vector<std::string>{"Device:0; Deleting Group... StatusGroup Removed",
                                                               "Device:0; Disconnecting... StatusDisconnected"}));
  for (int ch = 0; ch <= 31; ++ch) EXPECT_FALSE(engineState.ChannelActive[static_cast<size_t>(ch)]) << ch;
  EXPECT_FALSE(timer1.enabled);
  EXPECT_TRUE(startupView.last.Visible);
  EXPECT_FALSE(view.last.Visible);
}

TEST_F(MainWindowTest, endWhoseStepsFailStillReachesTheStartupWindowAndReportsEachFailure) {
  config.Channels[2].OPCEnabled = true;
  Launch();
  engine.failWith = {{"terminal closed", 462}, {"OPC group removed 2", 440}};
  engineState.ChannelActive[3] = true;

  window->cmdEnd_Click();

  EXPECT_TRUE(startupView.last.Visible);
  EXPECT_FALSE(view.last.Visible);
  EXPECT_EQ(view.last.MousePointer, MousePointer::Default);
  EXPECT_FALSE(engineState.ChannelActive[3]);
  const auto errors = LogLines(LogKind::Error);
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_EQ(errors[0].rfind("End Error 462: ", 0), 0u) << errors[0];
  EXPECT_EQ(errors[1].rfind("End Error 440: ", 0), 0u) << errors[1];
  ASSERT_EQ(boxes.shown().size(), 2u);
  EXPECT_EQ(boxes.shown()[0].text, errors[0]);
  EXPECT_EQ(boxes.shown()[0].title, MainWindowErrorTitle);
}

TEST_F(MainWindowTest, closingTheWindowFrameIsEnd) {
  Launch();
  window->CloseRequested();
  EXPECT_FALSE(view.last.Visible);
  EXPECT_TRUE(startupView.last.Visible);
  EXPECT_FALSE(timer1.enabled);
}

TEST_F(MainWindowTest, theFrameCannotEndWhileTheSetupDialogHasTheWindowDisabled) {
  Launch();
  window->cmdSetup_Click(4);
  ASSERT_FALSE(view.last.Enabled);
  window->CloseRequested();
  EXPECT_TRUE(view.last.Visible);
  EXPECT_FALSE(startupView.last.Visible);
  EXPECT_TRUE(timer1.enabled);
  setupDialog->cmdCancel_Click();
  window->CloseRequested();
  EXPECT_FALSE(view.last.Visible);
  EXPECT_TRUE(startupView.last.Visible);
  EXPECT_FALSE(timer1.enabled);
}

TEST_F(MainWindowTest, aFailingLoadStepIsReportedAndTheLoadGoesOnToAWorkingWindow) {
  engine.failWith = {{"workspaces opened", 3000}};
  Launch();
  EXPECT_TRUE(view.last.Visible);
  EXPECT_TRUE(timer1.enabled);
  EXPECT_EQ(Count(LogLines(LogKind::Activity), Initialized), 2);
  EXPECT_EQ(boxes.shown().size(), 2u);
  EXPECT_EQ(view.last.MousePointer, MousePointer::Default);
}

TEST_F(MainWindowTest, aFailingTimerTickIsReportedOnceUntilItSucceedsAgain) {
  Launch();
  engine.failWith = {{"scan pass", 57}};
  for (int i = 0; i < 5; ++i) window->Timer1_Timer();
  EXPECT_EQ(boxes.shown().size(), 1u);
  engine.failWith.clear();
  window->Timer1_Timer();
  engine.failWith = {{"scan pass", 57}};
  window->Timer1_Timer();
  engine.failWith = {{"transmit tick", 57}};
  window->TxTimer_Timer();
  window->TxTimer_Timer();
  EXPECT_EQ(LogLines(LogKind::Error),
            (std::vector<std::string>{"Scan Timer Error 57: Device I/O error", "Scan Timer Error 57: Device I/O error",
                                      "Transmit Timer Error 57: Device I/O error"}));
  EXPECT_EQ(boxes.shown().size(), 3u);
}

TEST_F(MainWindowTest, unloadLogsReleasesAndUnbindsInOrder) {
  Launch();
  events.clear();
  registry.Unload(*window);
  EXPECT_EQ(LogLines(LogKind::Activity).back(), "Tarvex Manager Terminated");
  ASSERT_GE(events.size(), 3u);
  EXPECT_EQ(events[0], "terminal closed");
  EXPECT_EQ(events[1], "workspaces closed");
  EXPECT_EQ(events[2], "channel work released 0");
  EXPECT_EQ(events.back(), "channel work released 31");
  EXPECT_FALSE(handshake.IsBound(0));
  EXPECT_TRUE(devices.IsCreated(0));
}

TEST_F(MainWindowTest, aFailingUnloadStepIsReportedAndTheRestOfTheUnloadRuns) {
  Launch();
  engine.failWith = {{"terminal closed", 462}, {"channel work released 5", 9}};
  registry.Unload(*window);
  EXPECT_EQ(LogLines(LogKind::Error).size(), 2u);
  EXPECT_EQ(events.back(), "channel work released 31");
  EXPECT_FALSE(handshake.IsBound(31));
}

TEST_F(MainWindowTest, mouseMoveShowsThePointerPositionAsShortestText) {
  Launch();
  window->Form_MouseMove(12.0f, 3.5f);
  EXPECT_EQ(view.last.lfx, "12");
  EXPECT_EQ(view.last.lfy, "3.5");
}

class MainWindowOnEightChannels : public MainWindowTest {
protected:
  MainWindowOnEightChannels() : MainWindowTest({1024, 7, true, false}) { startup.OSVersion = "98"; }
};

TEST_F(MainWindowOnEightChannels, buttonsAboveMaxChannelAreDisabledOnEverySystem) {
  for (const char* os : {"98", "2000", "XP"}) {
    SCOPED_TRACE(os);
    startup.OSVersion = os;
    window->Form_Load();
    for (int index = 0; index < 32; ++index) {
      EXPECT_EQ(view.last.cmdSetupEnabled[static_cast<size_t>(index)], index <= 7) << index;
      EXPECT_EQ(view.last.cmdDetailEnabled[static_cast<size_t>(index)], index <= 7) << index;
    }
  }
}

}  // namespace
}  // namespace tarvex::test
