// What the in-process simulator records for tests, and how a registration
// ends with the caller that held it.
#include "platform/terminal_net/terminal_simulator.h"

#include <gtest/gtest.h>

#include "platform/terminal_net/result_codes.h"

namespace tarvex {
namespace {

TEST(TerminalSimulator, callLogHoldsEachCallWithItsBytesAndResult) {
  TerminalSimulator network;
  network.AddNode("3");
  ASSERT_TRUE(network.SetField("/z3/wt101", " 12.5"));
  SimulatedTerminalNet net(network);

  std::string gross(12, ' ');
  int16_t status = 0;
  net.ZelRead("/z3/wt101", 12, gross, status);
  net.ZelRegisterProcess(125);
  net.ZelRead("/z3/wt101", 4, gross, status);
  net.ZelWrite("/z3/lit01", 3, std::string("!  "));
  net.ZelWrite("/z3/wt101", 2, std::string("99"));
  net.ZelSendKeystroke(3, 1, 8);
  net.ZelCloseProcess();

  const std::vector<TerminalNetCall> expected = {
      {"read", "/z3/wt101", 12, "", ZEL_INVALID_PROCESS},
      {"register", "", 125, "", ZEL_SUCCESS},
      {"read", "/z3/wt101", 4, std::string(" 12\0", 4), ZEL_SUCCESS},
      {"write", "/z3/lit01", 3, "!  ", ZEL_SUCCESS},
      {"write", "/z3/wt101", 2, "99", ZEL_SD_WRITE_NOT_ALLOWED},
      {"keystroke", "/z3", 8, "", ZEL_SUCCESS},
      {"close", "", 0, "", ZEL_SUCCESS},
  };
  EXPECT_EQ(network.CallLog(), expected);
  EXPECT_EQ(network.Keystrokes(), (std::vector<ReceivedKeystroke>{{3, 1, 8}}));
  EXPECT_EQ(network.Field("/z3/wt101"), " 12.5") << "a refused write changes nothing";
}

TEST(TerminalSimulator, aLongRunKeepsOnlyTheNewestCallsAndKeystrokes) {
  TerminalSimulator network;
  network.AddNode("3");
  SimulatedTerminalNet net(network);
  ASSERT_EQ(net.ZelRegisterProcess(125), ZEL_SUCCESS);
  std::string gross(12, ' ');
  int16_t status = 0;
  for (size_t i = 0; i <= TerminalSimulator::kHistoryLimit; ++i) {
    net.ZelRead("/z3/wt101", 12, gross, status);
    net.ZelSendKeystroke(3, 0, static_cast<int16_t>(i % 100));
  }
  EXPECT_LE(network.CallLog().size(), TerminalSimulator::kHistoryLimit);
  EXPECT_EQ(network.CallLog().back().operation, "keystroke");
  EXPECT_EQ(network.CallLog().back().length, TerminalSimulator::kHistoryLimit % 100);
  EXPECT_LE(network.Keystrokes().size(), TerminalSimulator::kHistoryLimit);
  EXPECT_EQ(network.Keystrokes().back().key, TerminalSimulator::kHistoryLimit % 100);
}

TEST(TerminalSimulator, oneRegistrationAtATimeEndingWithItsCaller) {
  TerminalSimulator network;
  network.AddNode("3");
  SimulatedTerminalNet engine(network, 1);
  {
    SimulatedTerminalNet other(network, 2);
    ASSERT_EQ(other.ZelRegisterProcess(7), ZEL_SUCCESS);
    EXPECT_EQ(engine.ZelRegisterProcess(125), ZEL_TOO_MANY_PROCESSES);
    EXPECT_EQ(engine.ZelCloseProcess(), ZEL_INVALID_PROCESS) << "not the holder's to close";
    EXPECT_EQ(engine.ZelSendKeystroke(3, 0, 55), ZEL_INVALID_PROCESS);
  }
  EXPECT_FALSE(network.Registered());
  EXPECT_EQ(engine.ZelRegisterProcess(125), ZEL_SUCCESS);
}

TEST(TerminalSimulator, injectedKeystrokeFailuresAndDownNodesKeepNoKey) {
  TerminalSimulator network;
  network.AddNode("1");
  network.AddNode("4");
  network.SetNodeDown("4", true);
  SimulatedTerminalNet net(network);
  ASSERT_EQ(net.ZelRegisterProcess(125), ZEL_SUCCESS);
  network.FailNextKeystrokes(1, ZEL_BAD_CONNECT);
  EXPECT_EQ(net.ZelSendKeystroke(1, 0, 49), ZEL_BAD_CONNECT);
  EXPECT_EQ(net.ZelSendKeystroke(4, 0, 49), WSAEHOSTDOWN);
  EXPECT_EQ(net.ZelSendKeystroke(1, 0, 50), ZEL_SUCCESS);
  EXPECT_EQ(network.Keystrokes(), (std::vector<ReceivedKeystroke>{{1, 0, 50}}));
}

}  // namespace
}  // namespace tarvex
