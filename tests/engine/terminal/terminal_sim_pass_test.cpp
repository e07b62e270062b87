// The terminal steps driven by the scan pass against tools/terminal-sim over
// its socket, as the manager runs them: the first pass registers and sets up
// the channels, later passes read the weight and serve the requests that the
// simulator's shell submits as a terminal program would.
#include <gtest/gtest.h>

#include "engine/engine_steps.h"
#include "platform/terminal_net/socket_terminal_net.h"
#include "tests/support/terminal_fixture.h"
#include "tests/support/terminal_sim_process.h"

namespace tarvex {
namespace {

using Lines = std::vector<std::string>;

ChannelSetup TerminalChannel(int32_t protocol, const std::string& node) {
  ChannelSetup c;
  c.ChannelProtocol = protocol;
  c.ConnectUsing = 1;
  c.DeviceID = node;
  c.DeviceEnabled = true;
  c.DeviceDescs = "Terminal " + node;
  c.PrimaryUnits = 1;
  c.RefreshInterval = 30;
  c.Timeout = 5000;
  return c;
}

struct TerminalSimPass : EngineFixture {
  TerminalSimPass() {
    startup.MaxChannel = 1;
    StoreChannel(0, TerminalChannel(5, "3"));
    StoreChannel(1, TerminalChannel(0, "5"));
    test::RunOn(database, {"CREATE TABLE Items (Code TEXT, Weight REAL)",
                           "INSERT INTO Items VALUES ('A', 1.5), ('B', 2)"});
  }

  std::string socket = scratch.folder().join("net.sock");
  testing::TerminalSimProcess sim{socket, {"3", "5"}};
  SocketTerminalNet zel{socket};
  FixedClock wall{QDateTime(QDate(2026, 12, 9), QTime(14, 5))};
  TerminalBellBeeper beeper;
  DatabaseWorkspace workspace;
  std::string database = scratch.folder().join("stock.db");

  ScanSurroundings services = ServicesOver(*this, zel, clock, engineSteps);
  TerminalScaleData scaleData{services};
  TerminalDBRequestStep dbRequest{services, workspace, wall, beeper};
  NoStep none;
  EngineSteps engineSteps{{none, none, dbRequest, none, scaleData}};
  ScanPass managerPass{services};
};

TEST(TerminalSimPassTest, aWeightSetInTheSimulatorReachesTheChannelsDevice) {
  TerminalSimPass f;
  ASSERT_TRUE(f.sim.Listening());
  f.managerPass.Timer1_Timer();  // first pass: registration and paths
  ASSERT_TRUE(f.engine.ChannelActive[0]);
  ASSERT_EQ(f.sim.Command("set /z3/wt101   1234.5  "), Lines{"ok"});
  f.managerPass.Timer1_Timer();
  EXPECT_EQ(f.publication.PubGross[0], "1234.5");
  EXPECT_DOUBLE_EQ(f.devices.At(0)->CGross(), 1234.5);

  // The terminal goes down: the read fails once and the channel is left alone.
  ASSERT_EQ(f.sim.Command("down 3"), Lines{"ok"});
  f.managerPass.Timer1_Timer();
  EXPECT_EQ(f.publication.StatusText[0], "Network ID Error...");
  EXPECT_FALSE(f.engine.ChannelActive[0]);
  ASSERT_EQ(f.sim.Command("clear-log"), Lines{"ok"});
  f.managerPass.Timer1_Timer();
  const Lines calls = f.sim.Command("log");
  ASSERT_FALSE(calls.empty());
  EXPECT_NE(calls.front().find("/z5/lit01"), std::string::npos);  // channel 1 is still served
  for (const std::string& line : calls) EXPECT_EQ(line.find("/z3/"), std::string::npos) << line;
}

TEST(TerminalSimPassTest, requestsFromTheSimulatorShellAreAnsweredPassByPass) {
  TerminalSimPass f;
  ASSERT_TRUE(f.sim.Listening());
  f.managerPass.Timer1_Timer();
  ASSERT_TRUE(f.engine.ChannelActive[1]);
  const auto pass = [&] { f.managerPass.Timer1_Timer(); };

  ASSERT_EQ(f.sim.Command("sql 5 " + f.database + " SELECT Code FROM Items ORDER BY Code"), Lines{"ok"});
  EXPECT_EQ(f.sim.Command("collect 5 5000", pass),
            (Lines{"header [****:00002:004]", "row 0 [A]", "row 1 [B]", "row 2 [12/09/26]", "row 3 [14:05:00]",
                   "ok end [!]"}));

  ASSERT_EQ(f.sim.Command("sql 5 " + f.database + " INSERT INTO Items VALUES ('C', 3)"), Lines{"ok"});
  EXPECT_EQ(f.sim.Command("collect 5 5000", pass), Lines{"ok end [!]"});
  EXPECT_EQ(test::ValueOn(f.database, "SELECT COUNT(*) FROM Items").toInt(), 3);

  EXPECT_EQ(f.sim.Command("ask 5 DLOT:", pass), Lines{"ok reply [PLOT:634314]"});
}

}  // namespace
}  // namespace tarvex
