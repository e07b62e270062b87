// The terminal field paths of a channel, built from its node name.
#include <gtest/gtest.h>

#include "engine/terminal/terminal_paths.h"

namespace tarvex {
namespace {

TEST(TerminalPaths, PathsAreTheNodeBetweenZAndTheFieldWithOuterBlanksRemoved) {
  struct Row {
    const char* deviceId;
    std::string node;
  };
  const Row rows[] = {{" 3 ", "3"}, {"", ""}, {"   ", ""}, {"Line 2", "Line 2"}, {"/x", "/x"}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.deviceId);
    EngineState engine;
    ConfigState config;
    config.Channels[32].DeviceID = row.deviceId;
    SetupArcNetPaths(engine, config, 32);
    const std::string z = "/z" + row.node;
    EXPECT_EQ(engine.ArcPathPtp[32], (std::array<std::string, 6>{"", z + "/ptp01", z + "/ptp02", z + "/ptp03",
                                                                 z + "/ptp04", z + "/ptp05"}));
    EXPECT_EQ(engine.ArcPathLit01[32], z + "/lit01");
    EXPECT_EQ(engine.ArcPathLit02[32], z + "/lit02");
    EXPECT_EQ(engine.ArcPathWt101[32], z + "/wt101");
  }
}

}  // namespace
}  // namespace tarvex
