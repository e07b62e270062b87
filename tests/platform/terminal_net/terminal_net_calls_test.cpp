// The network calls, one table of cases run against both backends: the
// simulator in process, and tools/terminal-sim reached over its socket by
// the client the manager uses.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/terminal_net/escaped_bytes.h"
#include "platform/terminal_net/result_codes.h"
#include "platform/terminal_net/socket_terminal_net.h"
#include "platform/terminal_net/terminal_simulator.h"
#include "tests/support/terminal_sim_process.h"

namespace tarvex {
namespace {

// A network with node "3" up and node "2" down, its calls, and the
// terminals' side of it.
class Network {
public:
  virtual ~Network() = default;
  virtual TerminalNet& Net() = 0;
  virtual void SetField(const std::string& path, const std::string& bytes) = 0;
  virtual std::string Field(const std::string& path) = 0;
  virtual void FailNextCalls(const std::string& path, int count, int16_t code) = 0;
  virtual void FailNextRegistrations(int count, int16_t code) = 0;
  virtual void OmitNulOnNextReads(const std::string& path, int count) = 0;
};

class InProcessNetwork : public Network {
public:
  InProcessNetwork() {
    simulator_.AddNode("3");
    simulator_.AddNode("2");
    simulator_.SetNodeDown("2", true);
  }
  TerminalNet& Net() override { return net_; }
  void SetField(const std::string& path, const std::string& bytes) override {
    ASSERT_TRUE(simulator_.SetField(path, bytes));
  }
  std::string Field(const std::string& path) override { return simulator_.Field(path).value(); }
  void FailNextCalls(const std::string& path, int count, int16_t code) override {
    simulator_.FailNextCalls(path, count, code);
  }
  void FailNextRegistrations(int count, int16_t code) override {
    simulator_.FailNextRegistrations(count, code);
  }
  void OmitNulOnNextReads(const std::string& path, int count) override {
    simulator_.OmitNulOnNextReads(path, count);
  }

private:
  TerminalSimulator simulator_;
  SimulatedTerminalNet net_{simulator_};
};

class SocketNetwork : public Network {
public:
  SocketNetwork() : sim_(folder_.Path() + "/net.sock", {"3", "2"}), net_(folder_.Path() + "/net.sock") {
    EXPECT_TRUE(sim_.Listening());
    Expect("down 2");
  }
  TerminalNet& Net() override { return net_; }
  void SetField(const std::string& path, const std::string& bytes) override {
    Expect("set " + path + " " + EscapeBytes(bytes));
  }
  std::string Field(const std::string& path) override {
    const auto lines = sim_.Command("get " + path);
    const std::string prefix = "field " + path + " [";
    if (lines.size() != 2 || lines[0].rfind(prefix, 0) != 0) {
      ADD_FAILURE() << "get " << path;
      return {};
    }
    return UnescapeBytes(lines[0].substr(prefix.size(), lines[0].size() - prefix.size() - 1));
  }
  void FailNextCalls(const std::string& path, int count, int16_t code) override {
    Expect("fail " + path + " " + std::to_string(count) + " " + std::to_string(code));
  }
  void FailNextRegistrations(int count, int16_t code) override {
    Expect("fail-register " + std::to_string(count) + " " + std::to_string(code));
  }
  void OmitNulOnNextReads(const std::string& path, int count) override {
    Expect("no-nul " + path + " " + std::to_string(count));
  }

private:
  void Expect(const std::string& command) {
    const auto lines = sim_.Command(command);
    EXPECT_EQ(lines, std::vector<std::string>{"ok"}) << command;
  }

  testing::SocketFolder folder_;
  testing::TerminalSimProcess sim_;
  SocketTerminalNet net_;
};

enum class Backend { InProcess, Socket };

class TerminalNetCalls : public ::testing::TestWithParam<Backend> {
protected:
  void SetUp() override { FreshNetwork(); }
  void FreshNetwork() {
    network_.reset();
    if (GetParam() == Backend::InProcess) network_ = std::make_unique<InProcessNetwork>();
    else network_ = std::make_unique<SocketNetwork>();
  }
  TerminalNet& Net() { return network_->Net(); }

  std::unique_ptr<Network> network_;
};

struct CallCase {
  const char* legend;
  bool registered;  // the call is made after a registration
  std::function<int16_t(TerminalNet&)> call;
  int16_t expected;
};

int16_t Read(TerminalNet& net, std::string_view path, int16_t length, size_t bufferSize = 400) {
  std::string buffer(bufferSize, ' ');
  int16_t status = 0;
  return net.ZelRead(path, length, buffer, status);
}

int16_t Write(TerminalNet& net, std::string_view path, int16_t length, size_t bufferSize = 400) {
  const std::string buffer(bufferSize, 'x');
  return net.ZelWrite(path, length, buffer);
}

TEST_P(TerminalNetCalls, eachCallGivesItsResultCode) {
  const CallCase cases[] = {
      {"read before registration", false, [](TerminalNet& n) { return Read(n, "/z3/wt101", 12); },
       ZEL_INVALID_PROCESS},
      {"write before registration", false, [](TerminalNet& n) { return Write(n, "/z3/lit01", 40); },
       ZEL_INVALID_PROCESS},
      {"keystroke before registration", false,
       [](TerminalNet& n) { return n.ZelSendKeystroke(3, 0, 55); }, ZEL_INVALID_PROCESS},
      {"close before registration", false, [](TerminalNet& n) { return n.ZelCloseProcess(); },
       ZEL_INVALID_PROCESS},
      {"registration", false, [](TerminalNet& n) { return n.ZelRegisterProcess(125); },
       ZEL_SUCCESS},
      {"second registration", true, [](TerminalNet& n) { return n.ZelRegisterProcess(125); },
       ZEL_TOO_MANY_PROCESSES},
      {"close", true, [](TerminalNet& n) { return n.ZelCloseProcess(); }, ZEL_SUCCESS},
      {"read after close", true,
       [](TerminalNet& n) {
         n.ZelCloseProcess();
         return Read(n, "/z3/wt101", 12);
       },
       ZEL_INVALID_PROCESS},
      {"registration after close", true,
       [](TerminalNet& n) {
         n.ZelCloseProcess();
         return n.ZelRegisterProcess(125);
       },
       ZEL_SUCCESS},
      {"read of the gross", true, [](TerminalNet& n) { return Read(n, "/z3/wt101", 12); },
       ZEL_SUCCESS},
      {"unknown node", true, [](TerminalNet& n) { return Read(n, "/z9/wt101", 12); },
       ZEL_INVALID_TERMINAL},
      {"empty node", true, [](TerminalNet& n) { return Read(n, "/z/wt101", 12); },
       ZEL_INVALID_TERMINAL},
      {"node down", true, [](TerminalNet& n) { return Read(n, "/z2/wt101", 12); }, WSAEHOSTDOWN},
      {"unknown field", true, [](TerminalNet& n) { return Read(n, "/z3/wt102", 12); },
       ZEL_INVALID_SD_FIELD_NAME},
      {"field name split at the last slash", true,
       [](TerminalNet& n) { return Read(n, "/z3/wt101/x", 12); }, ZEL_INVALID_TERMINAL},
      {"path without /z", true, [](TerminalNet& n) { return Read(n, "z3/wt101", 12); },
       ZEL_INVALID_FIELD},
      {"path of a node only", true, [](TerminalNet& n) { return Read(n, "/z3", 12); },
       ZEL_INVALID_FIELD},
      {"path with an empty field", true, [](TerminalNet& n) { return Read(n, "/z3/", 12); },
       ZEL_INVALID_FIELD},
      {"read of length 0", true, [](TerminalNet& n) { return Read(n, "/z3/wt101", 0); },
       ZEL_INVALID_BUFFER_LENGTH},
      {"read of length -1", true, [](TerminalNet& n) { return Read(n, "/z3/wt101", -1); },
       ZEL_INVALID_BUFFER_LENGTH},
      {"read longer than the buffer", true,
       [](TerminalNet& n) { return Read(n, "/z3/wt101", 13, 12); }, ZEL_INVALID_BUFFER_LENGTH},
      {"write of length 0", true, [](TerminalNet& n) { return Write(n, "/z3/lit01", 0); },
       ZEL_INVALID_BUFFER_LENGTH},
      {"write longer than the buffer", true,
       [](TerminalNet& n) { return Write(n, "/z3/lit01", 41, 40); }, ZEL_INVALID_BUFFER_LENGTH},
      {"write to the read-only gross", true, [](TerminalNet& n) { return Write(n, "/z3/wt101", 12); },
       ZEL_SD_WRITE_NOT_ALLOWED},
      {"write to the request field", true, [](TerminalNet& n) { return Write(n, "/z3/lit01", 40); },
       ZEL_SUCCESS},
      {"keystroke to a node", true, [](TerminalNet& n) { return n.ZelSendKeystroke(3, 0, 55); },
       ZEL_SUCCESS},
      {"keystroke to an unknown node", true,
       [](TerminalNet& n) { return n.ZelSendKeystroke(9, 0, 55); }, ZEL_INVALID_TERMINAL},
      {"keystroke to a node that is down", true,
       [](TerminalNet& n) { return n.ZelSendKeystroke(2, 0, 55); }, WSAEHOSTDOWN},
  };
  for (const CallCase& c : cases) {
    SCOPED_TRACE(c.legend);
    FreshNetwork();
    if (c.registered) {
      ASSERT_EQ(Net().ZelRegisterProcess(125), ZEL_SUCCESS);
    }
    EXPECT_EQ(c.call(Net()), c.expected);
  }
}

TEST_P(TerminalNetCalls, readCopiesLengthLessOneBytesThenANulAndLeavesTheRest) {
  network_->SetField("/z3/wt101", "12.5");
  network_->SetField("/z3/lit02", std::string(40, 'D'));
  ASSERT_EQ(Net().ZelRegisterProcess(125), ZEL_SUCCESS);

  std::string gross(12, ' ');
  int16_t status = -99;
  ASSERT_EQ(Net().ZelRead("/z3/wt101", 12, gross, status), ZEL_SUCCESS);
  EXPECT_EQ(gross, std::string("12.5\0       ", 12));
  EXPECT_EQ(status, 0);

  std::string name(41, '#');
  ASSERT_EQ(Net().ZelRead("/z3/lit02", 40, std::span(name).first(40), status), ZEL_SUCCESS);
  EXPECT_EQ(name, std::string(39, 'D') + '\0' + '#');
}

TEST_P(TerminalNetCalls, writeStoresExactlyLengthBytesCutToTheFieldWidth) {
  ASSERT_EQ(Net().ZelRegisterProcess(125), ZEL_SUCCESS);
  std::string packet(400, '-');
  for (size_t i = 0; i < packet.size(); ++i) packet[i] = static_cast<char>('A' + i % 26);
  ASSERT_EQ(Net().ZelWrite("/z3/lit01", 400, packet), ZEL_SUCCESS);
  EXPECT_EQ(network_->Field("/z3/lit01"), packet.substr(0, 40));

  const std::string reply = std::string("!") + std::string(39, ' ');
  ASSERT_EQ(Net().ZelWrite("/z3/lit01", 40, reply), ZEL_SUCCESS);
  EXPECT_EQ(network_->Field("/z3/lit01"), reply);

  ASSERT_EQ(Net().ZelWrite("/z3/ptp01", 3, std::string("abcdef")), ZEL_SUCCESS);
  EXPECT_EQ(network_->Field("/z3/ptp01"), "abc");
}

TEST_P(TerminalNetCalls, everyByteValuePassesBothWays) {
  std::string bytes;
  for (int b = 0; b < 256; ++b) bytes.push_back(static_cast<char>(b));
  ASSERT_EQ(Net().ZelRegisterProcess(125), ZEL_SUCCESS);
  ASSERT_EQ(Net().ZelWrite("/z3/ptp02", 256, bytes), ZEL_SUCCESS);
  EXPECT_EQ(network_->Field("/z3/ptp02"), bytes);

  network_->SetField("/z3/ptp03", bytes.substr(1) + '\xFF');
  std::string buffer(400, ' ');
  int16_t status = 0;
  ASSERT_EQ(Net().ZelRead("/z3/ptp03", 400, buffer, status), ZEL_SUCCESS);
  EXPECT_EQ(buffer.substr(0, 257), bytes.substr(1) + '\xFF' + '\0');
}

TEST_P(TerminalNetCalls, injectedFaultsGiveTheirCodeThenPass) {
  network_->SetField("/z3/wt101", "7");
  network_->FailNextRegistrations(1, WSAECONNREFUSED);
  EXPECT_EQ(Net().ZelRegisterProcess(125), WSAECONNREFUSED);
  ASSERT_EQ(Net().ZelRegisterProcess(125), ZEL_SUCCESS);

  network_->FailNextCalls("/z3/wt101", 2, ZEL_SD_END_OF_FILE);
  std::string buffer(12, ' ');
  int16_t status = 0;
  EXPECT_EQ(Net().ZelRead("/z3/wt101", 12, buffer, status), ZEL_SD_END_OF_FILE);
  EXPECT_EQ(Net().ZelRead("/z3/wt101", 12, buffer, status), ZEL_SD_END_OF_FILE);
  EXPECT_EQ(buffer, std::string(12, ' ')) << "a failed read leaves the buffer alone";
  EXPECT_EQ(Net().ZelRead("/z3/wt101", 12, buffer, status), ZEL_SUCCESS);
  EXPECT_EQ(buffer, std::string("7\0          ", 12));
}

TEST_P(TerminalNetCalls, aReadWithoutNulFillsLengthBytesOfField) {
  network_->SetField("/z3/lit01", std::string(40, 'Q'));
  network_->OmitNulOnNextReads("/z3/lit01", 1);
  ASSERT_EQ(Net().ZelRegisterProcess(125), ZEL_SUCCESS);
  std::string buffer(41, '#');
  int16_t status = 0;
  ASSERT_EQ(Net().ZelRead("/z3/lit01", 40, std::span(buffer).first(40), status), ZEL_SUCCESS);
  EXPECT_EQ(buffer, std::string(40, 'Q') + '#');
  ASSERT_EQ(Net().ZelRead("/z3/lit01", 40, std::span(buffer).first(40), status), ZEL_SUCCESS);
  EXPECT_EQ(buffer, std::string(39, 'Q') + '\0' + '#');
}

INSTANTIATE_TEST_SUITE_P(Backends, TerminalNetCalls,
                         ::testing::Values(Backend::InProcess, Backend::Socket),
                         [](const auto& info) {
                           return info.param == Backend::InProcess ? "InProcess" : "Socket";
                         });

}  // namespace
}  // namespace tarvex
