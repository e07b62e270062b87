// The channel buttons: Setup takes a channel out of service into the setup
// dialog and always gives the window back when that fails; Detail and Refresh
// open their windows and disable the buttons until those close.
#include "tests/support/main_window_fixture.h"

namespace tarvex::test {
namespace {

class ButtonsTest : public MainWindowTest {
protected:
  ButtonsTest() {
    Launch();
    for (int ch = 0; ch <= 31; ++ch) engineState.ChannelActive[static_cast<size_t>(ch)] = true;
    events.clear();
  }
};

TEST_F(ButtonsTest, setupTakesTheChannelOutOfServiceAndShowsTheDialogForIt) {
  window->cmdSetup_Click(4);
  const SetupDialogForm& form = setupDialog->Form();
  EXPECT_EQ(form.lDEVICE[0].Caption(), "SCALE 5");
  EXPECT_EQ(form.lDEVICE[1].Caption(), "SCALE 5");
  EXPECT_EQ(LogLines(LogKind::Activity).back(), "Tarvex Manager Setup Activated");
  EXPECT_FALSE(engineState.ChannelActive[4]);
  EXPECT_TRUE(engineState.ChannelActive[3]);
  EXPECT_EQ(engineState.ReinitChannel, -1);
  EXPECT_TRUE(setupDialog->IsOpen());
  EXPECT_FALSE(view.last.Enabled);
  EXPECT_EQ(view.last.MousePointer, MousePointer::Hourglass);
  EXPECT_FALSE(rig.grid.Painted);
  EXPECT_EQ(events, (Events{"terminal suspended"}));
  EXPECT_TRUE(boxes.shown().empty());

  setupDialog->cmdCancel_Click();
  EXPECT_TRUE(view.last.Enabled);
  EXPECT_EQ(view.last.MousePointer, MousePointer::Default);
  EXPECT_EQ(engineState.ReinitChannel, 4);
}

TEST_F(ButtonsTest, setupClosesAnOpenPortAndTheOPCConnectionOfTheChannel) {
  testing::PtyPair pty;
  ASSERT_TRUE(pty.ok());
  scratch.MapPorts({{1, pty.path()}});
  ports[4].SetCommPort(1);
  ports[4].SetPortOpen(true);
  config.Channels[4].OPCEnabled = true;
  scratch.WriteFile("Tarvex-SCALE5.Cfg", "");  // read as defaults, which keep OPC off
  window->RemoveOPCGroup(4);
  window->CloseChannelPort(4);
  EXPECT_FALSE(ports[4].PortOpen());
  EXPECT_EQ(LogLines(LogKind::Opc), (std::vector<std::string>{"Device:4; Deleting Group... StatusGroup Removed",
                                                               "Device:4; Disconnecting... StatusDisconnected"}));
}

TEST_F(ButtonsTest, setupErrorsAreLoggedAndShownThenTheWindowAndTheChannelComeBack) {
  const std::string cause = "Injected failure of operation 4";
  const struct {
    int number;
    const char* logLine;  // nullptr: none
    std::string box;      // empty: none
    bool dialogShown;
  } rows[] = {
      {8002, "Invalid COM: Port Selected.",
       "The COM: port you have selected is invalid.\r\nRestoring default Tarvex Std. settings now...", false},
      {8005, "COM: Port Already In Use.",
       "The COM: port you have selected is already in use...\r\nRestoring default Tarvex Std. settings now...", false},
      {53, "Critical Error: 53  Injected failure of operation 4",
       "Critical Error: 53  Injected failure of operation 4\r\nPlease Contact Velmar-Orinda Technical Services...",
       false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.number);
    boxes.clear();
    engineState.ReinitChannel = -1;
    const auto errorLines = LogLines(LogKind::Error).size();
    setupCalls.failOn = {{4, row.number}};

    window->cmdSetup_Click(4);

    const auto errors = LogLines(LogKind::Error);
    ASSERT_EQ(errors.size(), errorLines + 1);
    EXPECT_EQ(errors.back(), row.logLine);
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text, row.box);
    EXPECT_EQ(boxes.shown()[0].title, SetupErrorTitle);
    EXPECT_EQ(boxes.shown()[0].style, MsgBoxStyle::Critical);
    EXPECT_FALSE(setupDialog->IsOpen());
    EXPECT_TRUE(view.last.Enabled);
    EXPECT_EQ(view.last.MousePointer, MousePointer::Default);
    EXPECT_EQ(engineState.ReinitChannel, 4);
    EXPECT_TRUE(timer1.enabled);
  }
}

TEST_F(ButtonsTest, setupOnAChannelWhosePortIsClosedGoesOnWithoutAnyReport) {
  ASSERT_FALSE(ports[4].PortOpen());
  window->cmdSetup_Click(4);
  EXPECT_TRUE(setupDialog->IsOpen());
  EXPECT_TRUE(boxes.shown().empty());
  // The only error line is the configuration's own: the protocol file is missing.
  for (const auto& line : LogLines(LogKind::Error)) EXPECT_NE(line.find("STD Format File Not Found."), std::string::npos);
}

TEST_F(ButtonsTest, setupWhoseFirstStepFailsStillGivesTheWindowBack) {
  engine.failWith = {{"terminal suspended", 462}};
  window->cmdSetup_Click(4);
  EXPECT_EQ(boxes.shown().size(), 1u);
  EXPECT_TRUE(view.last.Enabled);
  EXPECT_EQ(engineState.ReinitChannel, 4);
}

TEST_F(ButtonsTest, theGridDrawsAgainOnceTheWindowIsBackFromSetup) {
  const struct {
    const char* legend;
    std::map<int, int> failingOperation;
    std::map<std::string, int> failingEngineCall;
  } rows[] = {
      {"cancelled", {}, {}},
      {"failed while filling the dialog", {{4, 8002}}, {}},
      {"failed before the dialog was touched", {}, {{"terminal suspended", 462}}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.legend);
    setupCalls.failOn = row.failingOperation;
    engine.failWith = row.failingEngineCall;
    window->Form_Paint();
    rig.display->GDITimer_Timer(false, 0, [](int) {});

    window->cmdSetup_Click(4);
    if (setupDialog->IsOpen()) {
      EXPECT_FALSE(rig.grid.Painted);
      setupDialog->cmdCancel_Click();
    }

    EXPECT_TRUE(rig.grid.Painted);
    EXPECT_TRUE(rig.grid.CellDirty(0, 9));
    EXPECT_TRUE(rig.grid.CellDirty(31, 12));
  }
}

TEST_F(ButtonsTest, detailOpensTheKeypadOrTheDetailWindowAndDisablesTheButtons) {
  const struct {
    const char* legend;
    bool enabled;
    int protocol;
    bool keypad;
    const char* opened;  // nullptr: nothing opens
  } rows[] = {
      {"disabled channel", false, 3, false, nullptr},
      {"database request channel", true, 0, false, nullptr},
      {"virtual terminal", true, 3, true, "keypad shown"},
      {"detail window", true, 3, false, "detail shown"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.legend);
    window->EnableButtons();
    events.clear();
    publication = PublicationState{};
    state.Values.DetailOpen[2] = false;
    engineState.PubStatBits[2] = 0;
    ChannelSetup& channel = config.Channels[2];
    channel.DeviceEnabled = row.enabled;
    channel.ChannelProtocol = row.protocol;
    channel.VirtualTerminalEnabled = row.keypad;

    window->cmdDetail_Click(2);

    const bool detail = row.opened && std::string(row.opened) == "detail shown";
    EXPECT_EQ(events, row.opened ? Events{row.opened} : Events{});
    EXPECT_EQ(state.Values.DetailOpen[2], detail);
    EXPECT_EQ(publication.PubGross[2], detail ? "-999999" : "");
    EXPECT_EQ(publication.PubTare[2], detail ? "-999999" : "");
    EXPECT_EQ(publication.PubNet[2], detail ? "-999999" : "");
    EXPECT_EQ(publication.PubID[2], detail ? "X789879" : "");
    EXPECT_EQ(engineState.PubStatBits[2], detail ? -32765 : 0);
    const bool opened = row.opened != nullptr;
    if (opened) {
      EXPECT_EQ(state.Values.SelectedChannel, 2);
    }
    EXPECT_EQ(view.last.cmdRefreshEnabled, !opened);
    EXPECT_EQ(view.last.CmdHelpEnabled, !opened);
    EXPECT_EQ(view.last.cmdEndEnabled, !opened);
    EXPECT_EQ(view.last.cmdPutInTrayEnabled, !opened);
    for (int ch = 0; ch < 32; ++ch) {
      EXPECT_EQ(view.last.cmdSetupEnabled[static_cast<size_t>(ch)], !opened) << ch;
      EXPECT_EQ(view.last.cmdDetailEnabled[static_cast<size_t>(ch)], !opened) << ch;
    }
  }
}

TEST_F(ButtonsTest, refreshShowsTheIntervalsTheTimersHoldAndDisablesTheButtons) {
  timer1.interval = 33;  // as the refresh dialog may have left it
  window->cmdRefresh_Click();
  EXPECT_EQ(events, (Events{"refresh dialog 33 2 15 0 25 1"}));
  EXPECT_TRUE(state.Values.RefreshDialogOpen);
  EXPECT_FALSE(view.last.cmdRefreshEnabled);
  EXPECT_FALSE(view.last.cmdSetupEnabled[31]);
  window->EnableButtons();
  EXPECT_TRUE(view.last.cmdRefreshEnabled);
  EXPECT_TRUE(view.last.cmdDetailEnabled[31]);
}

TEST_F(ButtonsTest, aWindowThatFailsToOpenIsReportedAndLeavesTheButtonsEnabled) {
  windows.failing = true;
  config.Channels[2].DeviceEnabled = true;
  config.Channels[2].ChannelProtocol = 3;
  for (const bool keypad : {false, true}) {
    config.Channels[2].VirtualTerminalEnabled = keypad;
    window->cmdDetail_Click(2);
  }
  window->cmdRefresh_Click();
  EXPECT_EQ(boxes.shown().size(), 3u);
  EXPECT_FALSE(state.Values.DetailOpen[2]);
  EXPECT_FALSE(state.Values.RefreshDialogOpen);
  EXPECT_TRUE(view.last.cmdRefreshEnabled);
  EXPECT_TRUE(view.last.cmdSetupEnabled[2]);
}

class ButtonsOnEightChannels : public MainWindowTest {
protected:
  ButtonsOnEightChannels() : MainWindowTest({1024, 7, true, false}) { Launch(); }
};

TEST_F(ButtonsOnEightChannels, closingAnOperatorWindowEnablesOnlyTheServedChannelsButtons) {
  window->cmdRefresh_Click();
  window->EnableButtons();
  for (int ch = 0; ch < 32; ++ch) EXPECT_EQ(view.last.cmdSetupEnabled[static_cast<size_t>(ch)], ch <= 7) << ch;
  window->cmdSetup_Click(9);
  window->cmdDetail_Click(9);
  EXPECT_FALSE(setupDialog->IsOpen());
  EXPECT_TRUE(view.last.cmdRefreshEnabled);
}

}  // namespace
}  // namespace tarvex::test
