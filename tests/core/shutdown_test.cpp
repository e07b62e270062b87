#include "tests/core/startup_fixture.h"

namespace tarvex::test {
namespace {

using ShutdownTest = StartupFixture;

TEST_F(ShutdownTest, EndBeforeContinueUnloadsTheTopicWindowsInOrderAndCreatesNothing) {
  loadStartupWindow();
  ASSERT_EQ(registry.Loaded().size(), 33u);
  events.clear();
  window->cmdEnd_Click();

  EXPECT_EQ(mainScreensCreated, 0);
  EXPECT_EQ(eventsOf("unload "), TopicNames());
  // The start-up window's own unload, which runs the teardown, completes once.
  EXPECT_EQ(std::count(events.begin(), events.end(), "startup view closed"), 1);
  EXPECT_TRUE(registry.Loaded().empty());
  EXPECT_FALSE(state.HasStatusTable());
  EXPECT_EQ(references.frmTVM, nullptr);
  EXPECT_EQ(references.frmTarvexStdSetup, nullptr);
  EXPECT_EQ(references.frmTarvexStartup, nullptr);
  for (const auto& topic : references.DDEForm) EXPECT_EQ(topic, nullptr);
  EXPECT_EQ(eventsOf("released "), TopicNames());
  EXPECT_EQ(processEnd.ended, std::vector<int>{0});
  EXPECT_EQ(events.back(), "process end 0");
}

TEST_F(ShutdownTest, AfterTheMainWindowAndDialogsEachUnloadRunsOnceAndReleasesFollowTheFixedOrder) {
  loadStartupWindow();
  window->CmdContinue_Click();
  useWindow(references.frmDetail, "frmDetail");
  useWindow(references.frmTarvexStdSetup, "frmTarvexStdSetup");
  useWindow(references.ZELVAR, "ZELVAR");
  // The main window's unload takes the detail window down itself: the walk then skips it.
  FakeMainScreen& main = *mainScreen();
  main.onUnload = [&] { registry.Unload(*references.frmDetail); };
  bool statusTableReleasedFirst = false;
  main.onRelease = [&] { statusTableReleasedFirst = !state.HasStatusTable(); };
  events.clear();

  window->cmdEnd_Click();

  std::vector<std::string> unloads = TopicNames();
  unloads.insert(unloads.end(), {"frmTVM", "frmDetail", "frmTarvexStdSetup", "ZELVAR"});
  EXPECT_EQ(eventsOf("unload "), unloads);
  EXPECT_TRUE(registry.Loaded().empty());

  std::vector<std::string> releases = {"frmTVM", "frmTarvexStdSetup", "frmDetail", "ZELVAR"};
  const auto topics = TopicNames();
  releases.insert(releases.end(), topics.begin(), topics.end());
  EXPECT_EQ(eventsOf("released "), releases);
  EXPECT_TRUE(statusTableReleasedFirst);
  EXPECT_EQ(references.frmSQLDetail, nullptr);
  EXPECT_EQ(references.frmRefresh, nullptr);
  EXPECT_EQ(processEnd.ended, std::vector<int>{0});
}

TEST_F(ShutdownTest, EndStopsEveryTimerFirstThenClosesExactlyThePortsThatWereOpen) {
  // Channels 0, 5 and 31 have their ports open on pseudo-terminals; channel 7
  // points at a line too but never opened it.
  const int openChannels[] = {0, 5, 31};
  tarvex::testing::PtyPair lines[4];
  for (const auto& line : lines) ASSERT_TRUE(line.ok());
  scratch.MapPorts({{1, lines[0].path()}, {6, lines[1].path()}, {32, lines[2].path()}, {8, lines[3].path()}});
  loadStartupWindow();
  window->CmdContinue_Click();
  useWindow(references.frmRefresh, "frmRefresh");
  SerialPortArray& ports = mainScreen()->MSComm();
  for (int channel : openChannels) {
    ports[channel].SetCommPort(channel + 1);
    ports[channel].SetPortOpen(true);
  }
  ports[7].SetCommPort(8);

  int openWhenTimersStopped = -1;
  std::vector<bool> openAtFirstUnload;
  mainScreen()->onStopTimers = [&] {
    openWhenTimersStopped = 0;
    for (int channel = 0; channel < SerialPortArray::Count; ++channel) openWhenTimersStopped += ports[channel].PortOpen();
  };
  static_cast<RecordingForm&>(*references.DDEForm[0]).onUnload = [&] {
    for (int channel = 0; channel < SerialPortArray::Count; ++channel) openAtFirstUnload.push_back(ports[channel].PortOpen());
    // The lines are free again: another port can take each of them.
    for (int channel : openChannels) {
      SerialPort other(scratch.folder());
      other.SetCommPort(channel + 1);
      EXPECT_NO_THROW(other.SetPortOpen(true)) << "channel " << channel;
    }
  };
  events.clear();

  // A port closed twice raises "port not open": touching a closed one would fail here.
  window->cmdEnd_Click();

  EXPECT_EQ(openWhenTimersStopped, 3);
  EXPECT_EQ(openAtFirstUnload, std::vector<bool>(SerialPortArray::Count, false));
  const auto lastTimerStop = std::find(events.begin(), events.end(), "timers stopped frmRefresh");
  const auto firstUnload = std::find(events.begin(), events.end(), "unload DDEForm0");
  EXPECT_LT(lastTimerStop, firstUnload);
  EXPECT_EQ(std::count(events.begin(), events.end(), "timers stopped frmTVM"), 1);
  EXPECT_EQ(std::count(events.begin(), events.end(), "timers stopped DDEForm31"), 1);
  EXPECT_EQ(processEnd.ended, std::vector<int>{0});
}

TEST_F(ShutdownTest, AFailingUnloadEndsTheTeardownAndTheErrorReachesTheCaller) {
  loadStartupWindow();
  window->CmdContinue_Click();
  useWindow(references.frmTarvexStdSetup, "frmTarvexStdSetup");
  mainScreen()->onUnload = [] { throw RunTimeError(ErrorNumber::AutomationError, "frmTVM unload"); };
  events.clear();

  try {
    window->cmdEnd_Click();
    FAIL() << "the unload error was swallowed";
  } catch (const RunTimeError& error) {
    EXPECT_EQ(error.number(), ErrorNumber::AutomationError);
  }

  std::vector<std::string> unloads = TopicNames();
  unloads.push_back("frmTVM");
  EXPECT_EQ(eventsOf("unload "), unloads);
  EXPECT_EQ(loadedNames(), (std::vector<std::string>{"frmTarvexStartup", "frmTVM", "frmTarvexStdSetup"}));
  EXPECT_TRUE(state.HasStatusTable());
  EXPECT_EQ(eventsOf("released "), std::vector<std::string>{});
  EXPECT_NE(references.frmTVM, nullptr);
  EXPECT_TRUE(processEnd.ended.empty());
}

}  // namespace
}  // namespace tarvex::test
