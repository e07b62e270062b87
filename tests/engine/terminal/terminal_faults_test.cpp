// What a terminal channel survives and what takes it out of service, over the
// in-process terminal network: a stall of the network, a registration that is
// not there, a terminal's error result; a "DADD:" past the last date; a packet
// field that cannot be written; a network that listens and never answers; and
// the one error-log line each failure leaves.
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstring>

#include "engine/engine_steps.h"
#include "engine/scan_pass.h"
#include "platform/terminal_net/result_codes.h"
#include "platform/terminal_net/socket_terminal_net.h"
#include "tests/support/terminal_fixture.h"
#include "tests/support/terminal_sim_process.h"

namespace tarvex {
namespace {

constexpr int16_t kTimedOut = 10060;     // the socket layer's bound ran out
constexpr int16_t kConnectionReset = 10054;
constexpr int16_t kNotRegistered = -2;

// text and blanks up to width.
std::string Padded(const std::string& text, size_t width) { return text + std::string(width - text.size(), ' '); }

std::vector<std::string> ErrorLines(const test::RecordingLog& log) {
  std::vector<std::string> lines;
  for (const auto& line : log.lines)
    if (line.kind == LogKind::Error && line.text.rfind("Channel: ", 0) == 0) lines.push_back(line.text);
  return lines;
}

// Channel 0 reads its terminal (node 5) pass after pass, by its scale step or
// its database request step; each entry of faults is the result of one
// pass's read (0: the read succeeds).
struct ReadFaultCase {
  const char* legend;
  std::vector<int16_t> results;
  bool inService;
  const char* status;
  size_t errorLines;
};

TEST(TerminalReadFaults, onlyAFailureOfTheTerminalTakesItsChannelOutOfService) {
  const ReadFaultCase cases[] = {
      {"one time-out is a stall of the network", {kTimedOut, 0}, true, "Ready...", 0},
      {"a time-out again in the next pass", {kTimedOut, kTimedOut}, false, "Network ID Error...", 1},
      {"time-outs with a good read between", {kTimedOut, 0, kTimedOut, 0}, true, "Ready...", 0},
      {"a closed connection counts at once", {kConnectionReset}, false, "Network ID Error...", 1},
      {"a terminal's error result counts at once", {ZEL_INVALID_TERMINAL}, false, "Network ID Error...", 1},
      {"a read refused while the registration is pending", {kNotRegistered, kNotRegistered, 0}, true, "Ready...",
       1},
  };
  for (const bool database : {false, true}) {
    for (const ReadFaultCase& c : cases) {
      SCOPED_TRACE(std::string(c.legend) + (database ? " (database request channel)" : " (scale channel)"));
      TerminalFixture f;
      f.publication.StatusText[0] = "Ready...";
      f.network.SetField("/z5/wt101", "  12.5  ");
      const std::string path = database ? "/z5/lit01" : "/z5/wt101";
      for (const int16_t result : c.results) {
        if (!f.engine.ChannelActive[0]) break;  // the pass no longer serves it
        if (result != 0) f.network.FailNextCalls(path, 1, result);
        ++f.engine.ScanTick;
        if (database) {
          f.dbRequest.Serve(0);
        } else {
          f.scaleData.ReadTerminalGross(0);
        }
        if (result == kNotRegistered) {
          EXPECT_TRUE(f.engine.ChannelActive[0]);
          EXPECT_EQ(f.publication.StatusText[0], "Initialization Error...");
          EXPECT_TRUE(f.grid.IndicatorOn(0, 7));
        }
      }
      EXPECT_EQ(f.engine.ChannelActive[0], c.inService);
      EXPECT_EQ(f.config.Channels[0].DeviceEnabled, c.inService);
      EXPECT_EQ(f.publication.StatusText[0], c.status);
      EXPECT_EQ(f.grid.IndicatorOn(0, 7), !c.inService);
      EXPECT_EQ(ErrorLines(f.log).size(), c.errorLines);
      if (!database && c.inService) {
        EXPECT_EQ(f.publication.PubGross[0], "12.5");
      }
    }
  }
}

TEST(TerminalReadFaults, eachEpisodeWritesOneErrorLogLineNamingChannelNodeAndResult) {
  TerminalFixture f;
  f.network.FailNextCalls("/z5/wt101", 3, kNotRegistered);
  for (int pass = 0; pass < 3; ++pass) {
    ++f.engine.ScanTick;
    f.scaleData.ReadTerminalGross(0);
  }
  ++f.engine.ScanTick;
  f.scaleData.ReadTerminalGross(0);  // the registration is back: the episode ends
  f.network.FailNextCalls("/z5/wt101", 1, ZEL_INVALID_TERMINAL);
  ++f.engine.ScanTick;
  f.scaleData.ReadTerminalGross(0);
  EXPECT_EQ(ErrorLines(f.log),
            (std::vector<std::string>{
                "Channel: 1  Terminal Registration Error: node 5, /z5/wt101, result -2 ZEL_INVALID_PROCESS  A process "
                "attempted a Zelvar communication function without first registering with ZELAPI32.DLL.",
                "Channel: 1  Terminal Read Error: node 5, /z5/wt101, result 4 ZEL_INVALID_TERMINAL  There is an "
                "invalid terminal number in the calling parameters to ZELAPI32.DLL."}));
}

TEST(TerminalReadFaults, theFailureThatTakesAChannelOutOfServiceIsLoggedAlsoRightAfterARegistrationEpisode) {
  // The registration comes back (the pass before re-registered) but the
  // terminal answers with an error: the channel goes out of service, and the
  // reason must be in the log although no read succeeded in between.
  const struct {
    const char* legend;
    int16_t failure;
  } cases[] = {
      {"a terminal's error result", ZEL_INVALID_TERMINAL},
      {"a closed connection", kConnectionReset},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.legend);
    TerminalFixture f;
    f.network.FailNextCalls("/z5/wt101", 2, kNotRegistered);
    for (int pass = 0; pass < 2; ++pass) {
      ++f.engine.ScanTick;
      f.scaleData.ReadTerminalGross(0);
    }
    f.network.FailNextCalls("/z5/wt101", 1, c.failure);
    ++f.engine.ScanTick;
    f.scaleData.ReadTerminalGross(0);
    ASSERT_FALSE(f.engine.ChannelActive[0]);
    const std::vector<std::string> lines = ErrorLines(f.log);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].substr(0, 40), "Channel: 1  Terminal Registration Error:");
    const std::string failure = "Channel: 1  Terminal Read Error: node 5, /z5/wt101, result " + std::to_string(c.failure);
    EXPECT_EQ(lines[1].substr(0, failure.size()), failure);
  }
}

ChannelSetup TerminalChannel(const std::string& node) {
  ChannelSetup c;
  c.ChannelProtocol = 5;
  c.ConnectUsing = 1;
  c.DeviceID = node;
  c.DeviceEnabled = true;
  return c;
}

TEST(TerminalReadFaults, aNetworkThatIsNotRunningIsLoggedPerChannelWithTheSocketPathTried) {
  EngineFixture f;
  testing::SocketFolder folder;
  const std::string socket = folder.Path() + "/absent.sock";
  SocketTerminalNet net(socket);
  SteppingClock clock;
  NoChannelSteps steps;
  ScanSurroundings services = ServicesOver(f, net, clock, steps);
  ScanPass pass(services);
  f.StoreChannel(0, TerminalChannel("3"));
  f.StoreChannel(1, TerminalChannel("4"));
  pass.Timer1_Timer();  // the first pass registers each channel
  EXPECT_EQ(f.publication.StatusText[0], "Initialization Error...");
  const std::vector<std::string> lines = ErrorLines(f.log);
  ASSERT_EQ(lines.size(), 2u);
  for (size_t i = 0; i < lines.size(); ++i) {
    SCOPED_TRACE(lines[i]);
    const std::string start = "Channel: " + std::to_string(i + 1) + "  Terminal Registration Error: node " +
                              std::to_string(i + 3) + ", result 10061 WSAECONNREFUSED  Connection refused.";
    EXPECT_EQ(lines[i].substr(0, start.size()), start);
    const std::string end = "No terminal network socket at " + socket;
    ASSERT_GE(lines[i].size(), end.size());
    EXPECT_EQ(lines[i].substr(lines[i].size() - end.size()), end);
  }
}

// Channel 0 serves the database requests of node 5, channel 1 reads the
// weight of node 6, both through the scan pass.
struct TerminalPassFixture : TerminalFixture {
  TerminalPassFixture() {
    startup.MaxChannel = 1;
    engine.DevicesInitialized = true;
    config.Channels[0].ConnectUsing = 1;
    config.Channels[0].ChannelProtocol = 0;
    network.AddNode("6");
    config.Channels[1] = TerminalChannel("6");
    SetupArcNetPaths(engine, config, 1);
    engine.ChannelActive[1] = true;
    engine.ZelApiOpen = true;
  }
  NoStep none;
  ScanSurroundings passServices = ServicesOver(*this, zel, scanClock, passSteps);
  TerminalDBRequestStep passDB{passServices, workspace, wall, beeper};
  TerminalScaleData passScale{passServices};
  EngineSteps passSteps{{none, none, passDB, none, passScale}};
  ScanPass terminalPass{passServices};
};

TEST(TerminalDateAdd, aDatePastTheYear9999IsAnsweredOnceWithAnErrorAndRaisesNothing) {
  TerminalPassFixture f;
  f.Request("DADD:99999999999");
  f.network.SetField("/z6/wt101", "7.5");
  f.terminalPass.Timer1_Timer();
  EXPECT_EQ(f.Lit01(), Padded("^ERROR", 40));
  EXPECT_EQ(f.publication.StatusText[0], "Date Add Error...");
  EXPECT_TRUE(f.engine.ChannelActive[0]);
  EXPECT_EQ(f.publication.PubGross[1], "7.5") << "the channel after it is served";

  f.network.ClearCallLog();
  f.network.SetField("/z6/wt101", "8");
  f.terminalPass.Timer1_Timer();
  for (const TerminalNetCall& call : f.network.CallLog())
    EXPECT_NE(call.operation + call.path, "write/z5/lit01") << "answered once";
  EXPECT_EQ(f.publication.PubGross[1], "8");
  for (const std::string& line : f.trace) EXPECT_NE(line.rfind("error ", 0), 0u) << line;
}

// The text the terminal finds at the start of packet field k of the group
// starting at row first: 20 items "R0".."R19", then the date and the time.
std::string FirstRowOfField(int first, int k) {
  const int row = first + 5 * (k - 1);
  const std::string text = row < 20 ? "R" + std::to_string(row) : row == 20 ? "12/09/26" : row == 21 ? "14:05:00" : "";
  return Padded(text, 75);
}

TEST(TerminalPackets, aGroupWithAFieldNotWrittenIsNotAnnouncedAndIsSentAgain) {
  for (const int failing : {1, 2, 3}) {
    for (const bool afterAck : {false, true}) {
      SCOPED_TRACE("ptp0" + std::to_string(failing) + (afterAck ? " fails after ACK1:" : " fails in the first group"));
      TerminalFixture f;
      f.Items(20);
      f.Sql("SELECT Code FROM Items");
      if (afterAck) {
        f.dbRequest.Serve(0);
        ASSERT_EQ(f.Lit01().substr(0, 14), "****:00020:022");
        f.Request("ACK1:");
      }
      const std::string request = f.Lit01();
      f.zel.failingWrites["/z5/ptp0" + std::to_string(failing)] = 1;
      f.dbRequest.Serve(0);
      EXPECT_EQ(f.Lit01(), request) << "no header announces the group";
      EXPECT_EQ(f.publication.StatusText[0], "Packet Error");

      f.dbRequest.Serve(0);  // the request is still there: the group goes again
      const int first = afterAck ? 15 : 0;
      EXPECT_EQ(f.Lit01().substr(0, 14), afterAck ? "****:00000:022" : "****:00020:022");
      for (int k = 1; k <= 3; ++k) {
        const std::string field = f.Field("ptp0" + std::to_string(k));
        ASSERT_EQ(field.size(), 400u);
        EXPECT_EQ(field.substr(0, 75), FirstRowOfField(first, k)) << "ptp0" << k;
      }
    }
  }
}

// Listens and never accepts nor answers; counts the connections made to it.
class SilentNetwork {
public:
  explicit SilentNetwork(const std::string& path) {
    listener_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.data(), path.size());
    ::bind(listener_, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    ::listen(listener_, 128);
  }
  ~SilentNetwork() { ::close(listener_); }
  // The connections made since the last call.
  int NewConnections() {
    int count = 0;
    for (int fd; (fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC)) >= 0; ++count) ::close(fd);
    return count;
  }

private:
  int listener_ = -1;
};

// One terminal channel reading node 3 through the program's socket layer
// against tools/terminal-sim, whose process the test can hold still.
struct StallingNetwork : EngineFixture {
  StallingNetwork() {
    startup.MaxChannel = 0;
    ChannelSetup c = TerminalChannel("3");
    c.PrimaryUnits = 1;
    c.RefreshInterval = 30;
    c.Timeout = 5000;
    StoreChannel(0, c);
  }
  bool Weighs(const std::string& weight) {
    return sim.Command("set /z3/wt101 " + weight) == std::vector<std::string>{"ok"};
  }
  // The first pass registers, the second reads 12.5; then the network stalls
  // past the read's bound during a third pass.
  ::testing::AssertionResult ReadThenStallOnePass() {
    if (!sim.Listening()) return ::testing::AssertionFailure() << "the simulator does not listen";
    managerPass.Timer1_Timer();
    if (!Weighs("12.5")) return ::testing::AssertionFailure() << "the simulator took no weight";
    managerPass.Timer1_Timer();
    if (publication.PubGross[0] != "12.5")
      return ::testing::AssertionFailure() << "the weight before the stall reads " << publication.PubGross[0];
    sim.Pause();
    managerPass.Timer1_Timer();
    return ::testing::AssertionSuccess();
  }
  std::string socket = scratch.folder().join("net.sock");
  testing::TerminalSimProcess sim{socket, {"3"}};
  SocketTerminalNet zel{socket};  // its own 200 ms bound on a call
  NoStep none;
  ScanSurroundings services = ServicesOver(*this, zel, clock, engineSteps);
  TerminalScaleData scaleData{services};
  EngineSteps engineSteps{{none, none, none, none, scaleData}};
  ScanPass managerPass{services};
};

TEST(TerminalStall, aReadPastTheSocketBoundIsSurvivedWithoutATraceAndTheNextPassReadsAgain) {
  StallingNetwork f;
  ASSERT_TRUE(f.ReadThenStallOnePass());
  f.sim.Resume();
  EXPECT_EQ(f.engine.ZelApiResult, kTimedOut) << "the read timed out";
  ASSERT_TRUE(f.Weighs("13"));
  f.managerPass.Timer1_Timer();
  EXPECT_TRUE(f.engine.ChannelActive[0]);
  EXPECT_EQ(f.publication.StatusText[0], "Ready...");
  EXPECT_FALSE(f.grid.IndicatorOn(0, 7));
  EXPECT_EQ(f.publication.PubGross[0], "13") << "the pass after the stall reads the weight";
  EXPECT_EQ(ErrorLines(f.log), std::vector<std::string>{}) << "a stall that was survived is no failure";
}

TEST(TerminalStall, aStallThatOutlastsTheNextPassTakesTheChannelOutOfServiceWithOneLogLine) {
  // The socket layer drops its connection on a time-out, so in the next pass
  // it is the registration made again that times out, and the read finds no
  // registration: that is the same channel's second time-out.
  StallingNetwork f;
  ASSERT_TRUE(f.ReadThenStallOnePass());
  EXPECT_TRUE(f.engine.ChannelActive[0]) << "one time-out is survived";
  f.managerPass.Timer1_Timer();
  f.sim.Resume();
  EXPECT_FALSE(f.engine.ChannelActive[0]);
  EXPECT_FALSE(f.config.Channels[0].DeviceEnabled);
  EXPECT_EQ(f.publication.StatusText[0], "Network ID Error...");
  const std::vector<std::string> lines = ErrorLines(f.log);
  ASSERT_EQ(lines.size(), 1u);
  const std::string start = "Channel: 1  Terminal Read Error: node 3, /z3/wt101, result 10060 WSAETIMEDOUT";
  EXPECT_EQ(lines[0].substr(0, start.size()), start);
}

TEST(TerminalRegistration, aNetworkThatNeverAnswersIsTriedOncePerPassAndThenWaitsASecond) {
  EngineFixture f;
  f.startup.MaxChannel = 31;  // every channel inactive
  f.engine.DevicesInitialized = true;
  f.engine.ZelApiReopen = true;  // as Setup leaves it
  testing::SocketFolder folder;
  const std::string socket = folder.Path() + "/silent.sock";
  SilentNetwork silent(socket);
  SocketTerminalNet net(socket);
  SteppingClock clock;
  NoChannelSteps steps;
  ScanSurroundings services = ServicesOver(f, net, clock, steps);
  ScanPass pass(services);

  const auto began = std::chrono::steady_clock::now();
  pass.Timer1_Timer();
  // One try is the socket layer's bound (200 ms); a try per inactive channel
  // held the pass for seconds.
  EXPECT_LT(std::chrono::steady_clock::now() - began, std::chrono::milliseconds(1500));
  EXPECT_EQ(silent.NewConnections(), 1);
  EXPECT_EQ(f.engine.ZelApiResult, kTimedOut);

  clock.milliseconds += 999;
  pass.Timer1_Timer();
  EXPECT_EQ(silent.NewConnections(), 0) << "a failed try waits a second";
  clock.milliseconds += 1;
  pass.Timer1_Timer();
  EXPECT_EQ(silent.NewConnections(), 1);
  EXPECT_TRUE(f.engine.ZelApiReopen);
}

}  // namespace
}  // namespace tarvex
