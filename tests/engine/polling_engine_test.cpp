// The main window over the program's own polling engine: End, setup and
// unload reach the real port, OPC client, terminal registration and channel
// texts; the timers run the real scan pass, which reaches the window back.
#include "tests/support/engine_window_fixture.h"

namespace tarvex::test {
namespace {

class PollingEngineTest : public EngineWindowTest {
protected:
  // Channel 0's OPC client connected with its group of items in the store.
  StoreOpcClient& ConnectOPC() {
    StoreOpcClient& client = assembly.Opc().OPC(0);
    client.SetItemName(0, "Scale1.Gross");
    client.Connect();
    client.CreateGroup();
    return client;
  }
  void RegisterTerminalProcess() {
    engineState.ZelApiResult = net.ZelRegisterProcess(TerminalProcessId);
    engineState.ZelApiOpen = true;
  }

};

TEST_F(PollingEngineTest, endClosesThePortTheOPCConnectionAndTheTerminalRegistrationAndHandsBack) {
  testing::PtyPair pty;
  ASSERT_TRUE(pty.ok());
  LaunchWithChannelZeroOnPtyAndOPC(pty);
  StoreOpcClient& client = ConnectOPC();
  ASSERT_TRUE(opcItems.ItemTag(0, 0).has_value());
  RegisterTerminalProcess();
  ASSERT_TRUE(network.Registered());
  events.clear();

  window->cmdEnd_Click();

  EXPECT_FALSE(ports[0].PortOpen());
  EXPECT_EQ(LogLines(LogKind::Opc), (std::vector<std::string>{"Device:0; Deleting Group... StatusNo group",
                                                               "Device:0; Disconnecting... StatusNot connected"}));
  EXPECT_FALSE(client.Connected());
  EXPECT_FALSE(opcItems.ItemTag(0, 0).has_value());
  EXPECT_FALSE(network.Registered());
  EXPECT_FALSE(engineState.ZelApiOpen);
  EXPECT_EQ(engineState.ZelApiResult, 0);
  EXPECT_FALSE(timer1.enabled);
  for (int ch = 0; ch <= 31; ++ch) EXPECT_FALSE(engineState.ChannelActive[static_cast<size_t>(ch)]) << ch;
  EXPECT_TRUE(startupView.last.Visible);
  EXPECT_FALSE(view.last.Visible);
}

TEST_F(PollingEngineTest, setupEndsARegistrationForTheNextPassToRenewAndLeavesTheNetworkAloneWithoutOne) {
  Launch();
  window->CloseTerminalRegistration();
  EXPECT_TRUE(network.CallLog().empty());
  EXPECT_FALSE(engineState.ZelApiReopen);

  RegisterTerminalProcess();
  window->CloseTerminalRegistration();
  EXPECT_FALSE(network.Registered());
  EXPECT_FALSE(engineState.ZelApiOpen);
  EXPECT_TRUE(engineState.ZelApiReopen);
}

TEST_F(PollingEngineTest, theInterfaceOpensTheWorkspacesAndUnloadClosesThemAndEmptiesEveryChannelsTexts) {
  Launch();
  EXPECT_TRUE(assembly.Workspaces().Open);
  for (int ch : {0, 31}) {
    engineState.RxBuffer[ch] = "\x02 12.5 kg";
    engineState.DBName[ch] = "weights.db";
    engineState.DBQuery[ch] = "SELECT * FROM t";
    engineState.DBReply[ch] = "ok";
    engineState.ExternalDB[ch] = true;
  }

  registry.Unload(*window);

  EXPECT_FALSE(assembly.Workspaces().Open);
  for (int ch : {0, 31}) {
    EXPECT_EQ(engineState.RxBuffer[ch], "") << ch;
    EXPECT_EQ(engineState.DBName[ch], "") << ch;
    EXPECT_EQ(engineState.DBQuery[ch], "") << ch;
    EXPECT_EQ(engineState.DBReply[ch], "") << ch;
    EXPECT_FALSE(engineState.ExternalDB[ch]) << ch;
  }
}

TEST_F(PollingEngineTest, theScanTimerRunsARealPassThatShowsItsRateInTheOpenRefreshDialog) {
  Launch();
  state.Values.RefreshDialogOpen = true;
  const int32_t tick = engineState.ScanTick;
  events.clear();

  window->Timer1_Timer();

  EXPECT_EQ(engineState.ScanTick, tick + 1);
  EXPECT_TRUE(engineState.DevicesInitialized);
  ASSERT_GE(events.size(), 2u);
  EXPECT_EQ(events[0], "scan pass");
  EXPECT_EQ(events[1], "lScan1 0");
  EXPECT_FALSE(engineState.ScanInProgress);
}

TEST_F(PollingEngineTest, thePassPutsTheWindowInTheTrayThroughItsButtonWhichDebugModeBlocks) {
  Launch();
  events.clear();
  static_cast<ScanWindow&>(*window).PutInTray();
  EXPECT_EQ(events, Events{"tray"});

  startup.DebugMode = true;
  events.clear();
  static_cast<ScanWindow&>(*window).PutInTray();
  EXPECT_TRUE(events.empty());
}

}  // namespace
}  // namespace tarvex::test
