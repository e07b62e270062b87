// The scan pass: re-entry, the pass counter and its wrap, the pass rate, the
// unattended start, the dispatch of active channels, the channel tail and the
// one error boundary.
#include <gtest/gtest.h>

#include <limits>
#include <stdexcept>

#include "engine/commands/client_command_step.h"
#include "tests/support/commands_fixture.h"
#include "tests/support/engine_fixture.h"

namespace tarvex {
namespace {

// A fixture whose channels are already initialised: the given channels are
// active with the records in memory, every other channel inactive.
struct ServedFixture : EngineFixture {
  explicit ServedFixture(std::initializer_list<std::pair<int32_t, ChannelSetup>> active = {}) {
    engine.DevicesInitialized = true;
    for (const auto& [ch, record] : active) {
      config.Channels[ch] = record;
      engine.ChannelActive[ch] = true;
    }
  }
};

ChannelSetup Active(int32_t protocol, int32_t connectUsing) {
  ChannelSetup c;
  c.ChannelProtocol = protocol;
  c.ConnectUsing = connectUsing;
  c.DeviceEnabled = true;
  return c;
}

TEST(ScanPass, ActiveChannelsAreDispatchedByProtocolAndConnection) {
  ServedFixture f{{0, Active(0, 0)}, {1, Active(0, 1)}, {2, Active(5, 0)}, {3, Active(41, 1)},
                  {4, Active(42, 0)}, {5, Active(0, 2)}};
  f.pass.Timer1_Timer();
  EXPECT_EQ(f.Only({"commands", "serial", "terminal"}),
            (Trace{"commands 0", "serial db 0", "commands 1", "terminal db 1", "commands 2", "serial data 2",
                   "commands 3", "terminal data 3", "commands 4", "commands 5"}));
}

TEST(ScanPass, APassStartedWhileOneRunsReturnsAndChangesNothing) {
  ServedFixture f{{0, Active(5, 0)}, {1, Active(5, 0)}};
  int32_t tickInside = -1;
  f.steps.during["serial data"] = [&](int32_t ch) {
    if (ch != 0) return;
    const size_t before = f.trace.size();
    tickInside = f.engine.ScanTick;
    f.pass.Timer1_Timer();
    EXPECT_EQ(f.trace.size(), before);  // no yield, no sleep, no step
    EXPECT_EQ(f.engine.ScanTick, tickInside);
    EXPECT_TRUE(f.engine.ScanInProgress);
  };
  f.config.System.RxIdle = 2;
  f.pass.Timer1_Timer();
  EXPECT_EQ(tickInside, 1);
  EXPECT_EQ(f.engine.ScanTick, 1);
  EXPECT_EQ(f.Only({"yield", "sleep", "serial data"}), (Trace{"yield", "sleep 2", "serial data 0", "serial data 1"}));
  EXPECT_FALSE(f.engine.ScanInProgress);
}

TEST(ScanPass, TheIdleSleepIsTheSetupValueUpToOneSecond) {
  struct Row {
    int32_t rxIdle;
    Trace sleeps;
  };
  // Whatever the refresh-rate dialog can set (at most three digits) is slept
  // as it is; a damaged setup file's huge value does not freeze the window.
  const Row rows[] = {{0, {}}, {-5, {}}, {2, {"sleep 2"}}, {999, {"sleep 999"}},
                      {std::numeric_limits<int32_t>::max(), {"sleep 1000"}}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.rxIdle);
    ServedFixture f;
    f.config.System.RxIdle = row.rxIdle;
    f.pass.Timer1_Timer();
    EXPECT_EQ(f.Only({"sleep"}), row.sleeps);
  }
}

TEST(ScanPass, ATimerEventWaitingAtTheYieldRunsAWholeNestedPassFirst) {
  ServedFixture f{{0, Active(5, 0)}};
  f.pacing.pending = [&] { f.pass.Timer1_Timer(); };
  f.pass.Timer1_Timer();
  EXPECT_EQ(f.engine.ScanTick, 2);
  EXPECT_EQ(f.Only({"yield", "serial data"}), (Trace{"yield", "yield", "serial data 0", "serial data 0"}));
  EXPECT_FALSE(f.engine.ScanInProgress);
}

TEST(ScanPass, TheCounterWrapsAfterTenMillionWithoutFalseTimeOuts) {
  // The client-command step itself marks the periodic OPC re-write.
  CommandsFixture f;
  f.startup.MaxChannel = 0;
  f.ActiveChannel(0, 5, ConnectionType::PcSerialPort);
  f.config.Channels[0].OPCEnabled = true;
  f.config.Channels[0].RefreshInterval = 8;
  f.window.InTray = true;
  f.engine.ScanTick = 9999998;
  // Lit at the last pass before the wrap; in the tray it holds ten passes.
  f.grid.Light(0, Lamp::Receive, true);
  f.engine.LastIndicatorTick[0][0] = 9999999;
  // Written last at 9999997: eight passes later, counted across the wrap
  // (9999998, 9999999, 10000000, 0, 1, 2, 3, 4), is tick 4.
  f.engine.LastOPCWriteTick[0] = 9999997;

  std::vector<int32_t> ticks;
  std::vector<int32_t> writtenAt;
  for (int pass = 0; pass < 12; ++pass) {
    const int before = f.opc.OPC(0).writes;
    f.Pass();
    ticks.push_back(f.engine.ScanTick);
    if (f.opc.OPC(0).writes != before) writtenAt.push_back(f.engine.ScanTick);
  }
  EXPECT_EQ(std::vector<int32_t>(ticks.begin(), ticks.begin() + 4), (std::vector<int32_t>{9999999, 10000000, 0, 1}));
  // Ten passes after 9999999 is tick 8: the lamp goes out there, not at the wrap.
  EXPECT_EQ(f.Only({"off 0 0", "icon", "tray"}), (Trace{"off 0 0", "icon iIdle", "tray"}));
  EXPECT_EQ(f.engine.LastIndicatorTick[0][0], 8);
  // One re-write across the wrap, at its tick, and none before the next is due.
  EXPECT_EQ(writtenAt, std::vector<int32_t>{4});
  EXPECT_EQ(f.engine.LastOPCWriteTick[0], 4);
}

TEST(ScanPass, ThePassRateIsCountedPerClockSecondAndShownWhileTheDialogIsOpen) {
  ServedFixture f;
  f.clock.second = 100;
  f.pass.Timer1_Timer();  // a new second: count reset
  f.pass.Timer1_Timer();
  f.pass.Timer1_Timer();
  EXPECT_EQ(f.engine.ScansThisSecond, 2);
  f.mainWindow.refreshDialogOpen = true;
  f.clock.second = 101;
  f.pass.Timer1_Timer();
  EXPECT_EQ(f.Only({"lScan1"}), Trace{"lScan1 2"});
  EXPECT_EQ(f.engine.ScansThisSecond, 0);
  EXPECT_EQ(f.engine.LastSecond, 101);
}

TEST(ScanPass, TheUnattendedStartGoesToTheTrayOnceAtTheFirstActiveChannel) {
  struct Row {
    const char* legend;
    bool noMinimize;
    Trace tray;
  };
  const Row rows[] = {
      {"minimises once", false, {"put in tray"}},
      {"NOMINIMIZE: never, but the request is used up", true, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.legend);
    EngineFixture f;
    f.startup.NoMinimize = row.noMinimize;
    f.startup.AutoStartPending = true;
    f.config.System.AutoStart = true;
    f.pass.Timer1_Timer();  // the first pass: no channel is served
    f.pass.Timer1_Timer();  // every channel inactive: the window stays up
    EXPECT_EQ(f.Only({"put in tray"}), Trace{});
    EXPECT_TRUE(f.startup.AutoStartPending);

    f.config.Channels[2] = Active(5, 0);
    f.config.Channels[4] = Active(5, 0);
    f.engine.ChannelActive[2] = true;
    f.engine.ChannelActive[4] = true;
    f.trace.clear();
    f.pass.Timer1_Timer();
    f.pass.Timer1_Timer();
    EXPECT_EQ(f.Only({"put in tray"}), row.tray);
    if (!row.tray.empty()) {
      EXPECT_EQ(f.Only({"put in tray", "commands"}).front(), "put in tray");
    }
    EXPECT_FALSE(f.startup.AutoStartPending);
  }
}

TEST(ScanPass, TheChannelTailFlushesInOrderAndOnlyForActiveChannels) {
  ChannelSetup all = Active(5, 0);
  all.OPCEnabled = true;
  all.DDEServerEnabled = true;
  ServedFixture f{{1, all}};
  f.config.Channels[0] = all;  // inactive, though dirty
  for (int32_t ch : {0, 1}) {
    f.publication.OPCDirty[ch] = true;
    f.publication.DDEDirty[ch] = true;
    f.window.DeviceDirty[ch] = true;
    f.grid.Light(ch, Lamp::Receive, true);
  }
  f.engine.ScanTick = 40;
  f.pass.Timer1_Timer();

  EXPECT_EQ(f.Only({"serial data", "off ", "dirty 1 0", "OPC(", "commands"}),
            (Trace{"commands 1", "serial data 1", "off 1 0", "dirty 1 0", "OPC(1) write"}));
  EXPECT_EQ(f.engine.LastOPCWriteTick[1], 41);
  EXPECT_FALSE(f.publication.OPCDirty[1]);
  EXPECT_FALSE(f.publication.DDEDirty[1]);
  EXPECT_FALSE(f.window.DeviceDirty[1]);
  ASSERT_EQ(f.topics.calls.size(), 1u);
  EXPECT_EQ(f.topics.calls[0].topic, 1);
  // The inactive channel keeps its marks.
  EXPECT_TRUE(f.publication.OPCDirty[0]);
  EXPECT_TRUE(f.publication.DDEDirty[0]);
  EXPECT_TRUE(f.window.DeviceDirty[0]);
  EXPECT_TRUE(f.grid.IndicatorOn(0, Lamp::Receive));

  // A busy write is skipped and tried at the next tail.
  f.publication.OPCDirty[1] = true;
  f.engine.OPCWriteBusy[1] = true;
  f.pass.Timer1_Timer();
  EXPECT_EQ(f.opc.OPC(1).writes, 1);
  EXPECT_TRUE(f.publication.OPCDirty[1]);
}

TEST(ScanPass, AFailingOPCWriteIsReportedOnceAndTheTailAndTheLaterChannelsGoOn) {
  ChannelSetup withOpc = Active(5, 0);
  withOpc.OPCEnabled = true;
  withOpc.Bidirectional = true;
  withOpc.DDEServerEnabled = true;
  withOpc.RefreshInterval = 3;  // the real command step asks for a re-write every third pass
  ServedFixture f{{0, withOpc}, {1, Active(5, 0)}};
  ScanSurroundings services = f.Services(f.log);
  OpcItemStore items;
  ClientCommandStep commands{services, items};
  f.steps.during["commands"] = [&](int32_t ch) { commands.Serve(ch); };
  int attempts = 0;
  f.opc.OPC(0).writeFault.before = [&] { ++attempts; };
  f.opc.OPC(0).writeFault.failWith = 440;  // the server refuses every write

  auto passes = [&](int count) {
    for (int pass = 0; pass < count; ++pass) {
      f.publication.DDEDirty[0] = true;
      f.window.DeviceDirty[0] = true;
      f.pass.Timer1_Timer();
      EXPECT_FALSE(f.publication.DDEDirty[0]) << "the channel's DDE refresh ran";
      EXPECT_FALSE(f.window.DeviceDirty[0]) << "the channel's COM update ran";
    }
  };
  auto opcErrors = [&] {
    size_t count = 0;
    for (const auto& line : f.log.lines) {
      count += line.kind == LogKind::Error && line.text.starts_with("Channel: 1  OPC Write Error: 440  ");
    }
    return count;
  };
  f.trace.clear();
  passes(99);
  EXPECT_EQ(f.Only({"error"}), Trace{}) << "no pass ended at the channel";
  EXPECT_EQ(f.Only({"serial data 1"}).size(), 99u);
  EXPECT_EQ(attempts, 33) << "each failed write stamps its tick: tried again every third pass";
  EXPECT_EQ(opcErrors(), 1u);
  EXPECT_FALSE(f.engine.OPCWriteBusy[0]);
  EXPECT_FALSE(f.engine.ScanInProgress);

  // The server takes writes again, then fails again: a second episode.
  f.opc.OPC(0).writeFault.failWith = 0;
  passes(3);
  EXPECT_EQ(f.opc.OPC(0).writes, 1);
  EXPECT_FALSE(f.publication.OPCDirty[0]);
  f.opc.OPC(0).writeFault.failWith = 440;
  passes(6);
  EXPECT_EQ(opcErrors(), 2u);
}

TEST(ScanPass, EveryErrorRaisedInThePassEndsAtTheHandlerWithItsChannel) {
  struct Row {
    const char* legend;
    std::function<void(int32_t)> raise;
    Trace expected;
  };
  const std::vector<Row> rows = {
      {"a run-time error", [](int32_t) { throw RunTimeError(3021, "No current record"); },
       {"commands 0", "commands 1", "error 1 3021"}},
      {"a library's exception becomes error 51", [](int32_t) { throw std::length_error("too long"); },
       {"commands 0", "commands 1", "error 1 51"}},
      {"anything else too", [](int32_t) { throw 7; }, {"commands 0", "commands 1", "error 1 51"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.legend);
    ServedFixture f{{0, Active(5, 0)}, {1, Active(5, 0)}, {2, Active(5, 0)}};
    f.steps.during["serial data"] = [&](int32_t ch) {
      if (ch == 1) row.raise(ch);
    };
    f.pass.Timer1_Timer();
    EXPECT_EQ(f.Only({"commands", "error"}), row.expected);
    EXPECT_FALSE(f.engine.ScanInProgress);
    // The next pass starts again from channel 0.
    f.trace.clear();
    f.steps.during.clear();
    f.pass.Timer1_Timer();
    EXPECT_EQ(f.Only({"commands"}), (Trace{"commands 0", "commands 1", "commands 2"}));
  }
}

TEST(ScanPass, APortNotOpenInAStepTurnsTheErrorLampOffAndTheChannelGoesOn) {
  ServedFixture f{{0, Active(5, 0)}};
  f.grid.Light(0, Lamp::Error, true);
  f.window.DeviceDirty[0] = true;
  f.steps.during["commands"] = [&](int32_t) { f.ports[0].Input(); };  // a closed port: 8012
  f.pass.Timer1_Timer();
  EXPECT_EQ(f.Only({"off 0 7", "dirty 0 7", "serial data", "error"}), (Trace{"off 0 7", "dirty 0 7", "serial data 0"}));
  EXPECT_FALSE(f.window.DeviceDirty[0]);  // the tail ran
}

}  // namespace
}  // namespace tarvex
