// The paced transmitter over a pty: which ticks characters leave on, that
// queued replies arrive whole and in order, the transmit lamp and icons, the
// tick rate for the refresh-rate dialog, and that a tick neither waits on a
// device nobody reads nor lets a failing write escape.
#include <gtest/gtest.h>

#include <poll.h>

#include <chrono>

#include "tests/support/serial_db_request_step_fixture.h"

namespace tarvex {
namespace {

using namespace std::chrono_literals;
using SteadyClock = std::chrono::steady_clock;

// Ticks the timer `ticks` times; returns the ticks (1-based) on which channel
// 0's buffer shrank.
std::vector<int> TicksThatSent(SerialDBFixture& f, int32_t interval, int ticks) {
  std::vector<int> sent;
  for (int tick = 1; tick <= ticks; ++tick) {
    const size_t before = f.engine.TxBuffer[0].size();
    f.timer.TxTimer_Timer(interval);
    if (f.engine.TxBuffer[0].size() < before) sent.push_back(tick);
  }
  return sent;
}

TEST(TransmitTimer, charactersLeaveOnTheTicksThePaceAllows) {
  struct Row {
    int32_t interval;
    int32_t txDelay;
    std::vector<int> ticks;
  };
  const Row rows[] = {
      {15, 12, {1, 2, 3, 4, 5}},      // ratio 0.8: every tick
      {15, 15, {2, 4, 6, 8, 10}},     // 1.0: every second tick
      {15, 30, {3, 6, 9, 12, 15}},    // 2.0: every third tick
      {15, 40, {3, 6, 9, 12, 15}},    // 2.67: every third tick
      {0, 12, {1, 2, 3, 4, 5}},       // no interval: due on every tick
      {15, 0, {1}},                   // no pacing: the whole reply at once
      {15, -5, {1}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(row.interval) + "/" + std::to_string(row.txDelay));
    SerialDBFixture f(kSqliteDriver, row.txDelay);
    ASSERT_TRUE(f.pty.ok());
    f.engine.TxBuffer[0] = "ABCDE";
    EXPECT_EQ(TicksThatSent(f, row.interval, 16), row.ticks);
    EXPECT_EQ(f.pty.Receive(5), "ABCDE");
  }
}

TEST(TransmitTimer, thePaceCountsAcrossTheTickCountersWrap) {
  SerialDBFixture f(kSqliteDriver, 30);
  f.engine.TxTick = ScanTickWrap + 1;
  f.engine.LastTxTick[0] = ScanTickWrap + 1;  // a character left at the last count before 0
  f.engine.TxBuffer[0] = "AB";
  EXPECT_EQ(TicksThatSent(f, 15, 6), (std::vector<int>{3, 6}));
  EXPECT_EQ(f.engine.TxTick, 5);
}

TEST(TransmitTimer, twoRepliesQueuedOneAfterTheOtherArriveWholeAndInOrder) {
  SerialDBFixture f(kSqliteDriver, 15);
  const std::string first = "\"COUNT=1\"\n\"7\"\n\"!\"\n";
  const std::string second = "\"EXECUTED\"\n\"!\"\n";
  f.engine.TxBuffer[0] = first;
  for (int tick = 0; tick < 7; ++tick) f.timer.TxTimer_Timer(15);
  f.engine.TxBuffer[0].Append(second);  // as the request step queues a reply
  EXPECT_EQ(f.Transmitted(first.size() + second.size()), first + second);
}

TEST(TransmitTimer, theLampIsLitWhileABufferDrainsDarkBetweenCharactersAndOutWhenEmpty) {
  SerialDBFixture f(kSqliteDriver, 30);
  f.engine.TxBuffer[0] = "AB";
  f.trace.clear();
  for (int tick = 0; tick < 7; ++tick) {
    f.timer.TxTimer_Timer(15);
    f.trace.push_back("tick");
  }
  EXPECT_EQ(f.Only({"on 0 1", "off 0 1", "draw 0 1", "tick"}),
            (Trace{"on 0 1", "draw 0 1", "tick",             // 1: lit, not due yet
                   "draw 0 1", "off 0 1", "tick",            // 2: dark between characters
                   "on 0 1", "draw 0 1", "tick",             // 3: "A" leaves
                   "draw 0 1", "tick",                       // 4: one tick since: stays lit
                   "draw 0 1", "off 0 1", "tick",            // 5
                   "on 0 1", "draw 0 1", "tick",             // 6: "B" leaves
                   "off 0 1", "tick"}));                     // 7: empty
}

TEST(TransmitTimer, inTheTrayTheLampAndIconsSwitchToTransmitOnlyTenPassesAfterTheLastChange) {
  struct Row {
    bool debugMode;
    int32_t scanTick;
    Trace effects;
  };
  const Row rows[] = {
      {false, 9, {"draw 0 1"}},
      {false, 10, {"on 0 1", "icon iXmit", "tray", "draw 0 1"}},
      {true, 10, {"on 0 1", "icon iXmit", "draw 0 1"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.scanTick);
    SerialDBFixture f(kSqliteDriver, 30);
    f.window.InTray = true;
    f.startup.DebugMode = row.debugMode;
    f.engine.ScanTick = row.scanTick;
    f.engine.TxBuffer[0] = "AB";
    f.trace.clear();
    f.timer.TxTimer_Timer(15);
    EXPECT_EQ(f.Only({"on 0 1", "off 0 1", "draw 0 1", "icon", "tray"}), row.effects);
  }
}

TEST(TransmitTimer, withoutPacingTheWholeReplyLeavesAndTheTrayIconGoesIdle) {
  SerialDBFixture f(kSqliteDriver, 0);
  f.window.InTray = true;
  f.engine.ScanTick = 50;
  f.engine.TxBuffer[0] = "\"EXECUTED\"\n\"!\"\n";
  f.trace.clear();
  f.timer.TxTimer_Timer(15);
  EXPECT_EQ(f.Only({"on 0 1", "off 0 1", "draw 0 1", "icon", "tray"}),
            (Trace{"on 0 1", "icon iXmit", "tray", "draw 0 1", "icon iIdle", "tray"}));
  EXPECT_EQ(f.pty.Receive(15), "\"EXECUTED\"\n\"!\"\n");
}

TEST(TransmitTimer, channelsOnTheTerminalNetworkOrInSetupKeepTheirBuffers) {
  SerialDBFixture f(kSqliteDriver, 12);
  f.config.Channels[1].ConnectUsing = ConnectionType::ArcNet;
  f.engine.ChannelActive[1] = true;
  f.engine.TxBuffer[1] = "net";
  f.engine.ChannelActive[0] = false;
  f.engine.TxBuffer[0] = "setup";
  for (int tick = 0; tick < 5; ++tick) f.timer.TxTimer_Timer(15);
  EXPECT_EQ(f.engine.TxBuffer[0], "setup");
  EXPECT_EQ(f.engine.TxBuffer[1], "net");
}

TEST(TransmitTimer, theRefreshDialogShowsTheTicksBetweenTwoSecondBoundaries) {
  SerialDBFixture f;
  f.mainWindow.refreshDialogOpen = true;
  f.engine.LastTxSecond = 100;
  f.clock.second = 100;
  for (int tick = 0; tick < 3; ++tick) f.timer.TxTimer_Timer(15);
  f.clock.second = 101;  // boundary: shows the three ticks before it
  f.timer.TxTimer_Timer(15);
  for (int tick = 0; tick < 4; ++tick) f.timer.TxTimer_Timer(15);
  f.clock.second = 102;
  f.timer.TxTimer_Timer(15);
  f.mainWindow.refreshDialogOpen = false;
  f.clock.second = 103;
  f.timer.TxTimer_Timer(15);
  EXPECT_EQ(f.Only({"lScan2"}), (Trace{"lScan2 3", "lScan2 4"}));
  EXPECT_EQ(f.engine.TxTick, 10);
}

TEST(TransmitTimer, aFailingWriteIsLoggedOnceItsQueueDroppedAndOtherChannelsServed) {
  SerialDBFixture f(kSqliteDriver, 12);
  PtyPair second;
  ASSERT_TRUE(second.ok());
  f.scratch.MapPorts({{1, f.pty.path()}, {2, second.path()}});
  f.config.Channels[1] = f.config.Channels[0];
  f.engine.ChannelActive[1] = true;
  f.ports[1].SetCommPort(2);
  f.ports[1].SetPortOpen(true);
  f.ports[0].SetPortOpen(false);
  f.engine.TxBuffer[0] = "lost";
  f.engine.TxBuffer[1] = "ok";
  for (int tick = 0; tick < 3; ++tick) f.timer.TxTimer_Timer(15);
  EXPECT_EQ(f.engine.TxBuffer[0], "");
  ASSERT_EQ(f.log.lines.size(), 1u);
  EXPECT_EQ(f.log.lines[0].kind, LogKind::Error);
  EXPECT_EQ(f.log.lines[0].text.rfind("Channel: 1  Transmit Error: 8012  ", 0), 0u) << f.log.lines[0].text;
  EXPECT_EQ(second.Receive(2), "ok");
}

// A grid whose cells cannot be drawn, and a rate label that cannot be written.
class UndrawableGrid final : public RecordingGrid {
public:
  using RecordingGrid::RecordingGrid;
  void DrawCell(int32_t, int) override { throw RunTimeError(7, "Out of memory"); }
};
class BrokenRateLabel final : public TransmitRateLabel {
public:
  void ShowTransmitRate(int32_t) override { throw RunTimeError(7, "Out of memory"); }
};

TEST(TransmitTimer, aChannelWhoseTurnFailsIsLoggedOnceAndItsQueueDropped) {
  SerialDBFixture f(kSqliteDriver, 12);
  UndrawableGrid grid(f.trace);
  const ScanSurroundings s = f.Own();
  TransmitTimer timer(ScanSurroundings{s.engine, s.config, s.startup, s.setup, s.publication, s.window, grid,
                                   s.publisher, s.dde, s.handshake, s.icons, s.cfg, s.log, s.speech, s.MSComm,
                                   s.net, s.opc, s.clock, s.pacing, s.mainWindow, s.steps, s.errors},
                      f.lScan2);
  f.engine.TxBuffer[0] = "lost";
  for (int tick = 0; tick < 5; ++tick) timer.TxTimer_Timer(15);
  EXPECT_EQ(f.engine.TxBuffer[0], "");
  ASSERT_EQ(f.log.lines.size(), 1u);
  EXPECT_EQ(f.log.lines[0].text, "Channel: 1  Transmit Error: 7  Out of memory");
}

TEST(TransmitTimer, aRateLabelThatCannotBeWrittenIsLoggedOncePerSecondNotOnEveryTick) {
  SerialDBFixture f;
  BrokenRateLabel label;
  TransmitTimer timer(f.Own(), label);
  f.mainWindow.refreshDialogOpen = true;
  f.engine.LastTxSecond = 100;
  f.clock.second = 101;
  for (int tick = 0; tick < 5; ++tick) timer.TxTimer_Timer(15);
  EXPECT_EQ(f.log.Texts(), std::vector<std::string>{"1 Transmit Error: 7  Out of memory"});
  EXPECT_EQ(f.engine.TxTick, 5);
}

TEST(TransmitTimer, aDeviceNobodyReadsHoldsNoTickAndIsReportedOnceAfterItsStall) {
  SerialDBFixture f(kSqliteDriver, 0);
  // Far more than a terminal holds: most of it waits in the port's queue.
  f.engine.TxBuffer[0] = std::string(256 * 1024, 'x');
  const auto start = SteadyClock::now();
  f.timer.TxTimer_Timer(15);
  EXPECT_LT(SteadyClock::now() - start, 1s);  // a blocking write would hold it 2 s
  EXPECT_EQ(f.engine.TxBuffer[0], "");

  // The next reply meets the stall once it is found: one log line, that
  // reply dropped, and the channel serves on afterwards.
  const auto deadline = SteadyClock::now() + 5s;
  while (f.log.lines.empty() && SteadyClock::now() < deadline) {
    QCoreApplication::processEvents();
    ::poll(nullptr, 0, 10);  // a tick's interval
    f.engine.TxBuffer[0] = "\"!\"\n";
    f.timer.TxTimer_Timer(15);
  }
  ASSERT_EQ(f.log.lines.size(), 1u);
  EXPECT_EQ(f.log.lines[0].text.rfind("Channel: 1  Transmit Error: 57  ", 0), 0u) << f.log.lines[0].text;
  EXPECT_NE(f.log.lines[0].text.find("not accepted"), std::string::npos) << f.log.lines[0].text;
  EXPECT_GE(SteadyClock::now() - start, 2s);
  EXPECT_EQ(f.engine.TxBuffer[0], "");
  for (int tick = 0; tick < 3; ++tick) f.timer.TxTimer_Timer(15);
  EXPECT_EQ(f.log.lines.size(), 1u);
}

}  // namespace
}  // namespace tarvex
