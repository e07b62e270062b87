// The manager's socket client when the simulator is missing, dies, restarts,
// hangs or talks nonsense: every call ends within its bound with a code, and
// nothing is written outside the caller's buffer.
#include "platform/terminal_net/socket_terminal_net.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/resource.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <thread>

#include "platform/terminal_net/result_codes.h"
#include "platform/terminal_net/wire_protocol.h"
#include "tests/support/terminal_sim_process.h"

namespace tarvex {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// Far beyond the client's bound, so only a hang fails it.
constexpr auto kNoHang = std::chrono::seconds(3);

// A listening socket the test answers by hand (or not at all).
class HandPeer {
public:
  explicit HandPeer(const std::string& path) {
    listener_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.data(), path.size());
    EXPECT_EQ(::bind(listener_, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    EXPECT_EQ(::listen(listener_, 4), 0);
  }
  ~HandPeer() {
    if (answering_.joinable()) answering_.join();
    if (connection_ >= 0) ::close(connection_);
    ::close(listener_);
  }
  // Answers each of the next requests with the given reply bodies, raw.
  void Answer(std::vector<std::string> replies) {
    answering_ = std::thread([this, replies = std::move(replies)] {
      connection_ = ::accept(listener_, nullptr, nullptr);
      for (const std::string& reply : replies) {
        std::string pending;
        bool tooLong = false;
        while (!wire::TakeFrame(pending, tooLong)) {
          char chunk[1024];
          const ssize_t n = ::recv(connection_, chunk, sizeof chunk, 0);
          if (n <= 0) return;
          pending.append(chunk, static_cast<size_t>(n));
        }
        ::send(connection_, reply.data(), reply.size(), MSG_NOSIGNAL);
      }
    });
  }

private:
  int listener_ = -1;
  int connection_ = -1;
  std::thread answering_;
};

std::string Reply(int16_t result) {
  std::string body;
  wire::PutI16(body, result);
  return wire::Frame(body);
}

std::string ReadReply(int16_t result, std::string_view bytes) {
  std::string body;
  wire::PutI16(body, result);
  wire::PutI16(body, result);
  wire::PutText(body, bytes);
  return wire::Frame(body);
}

TEST(SocketTerminalNet, registrationWithoutASimulatorIsRefused) {
  testing::SocketFolder folder;
  SocketTerminalNet net(folder.Path() + "/absent.sock");
  EXPECT_EQ(net.ZelRegisterProcess(125), WSAECONNREFUSED);
  std::string buffer(12, ' ');
  int16_t status = 0;
  EXPECT_EQ(net.ZelRead("/z3/wt101", 12, buffer, status), ZEL_INVALID_PROCESS);
}

TEST(SocketTerminalNet, noDescriptorLeftIsTooManyOpenFiles) {
  testing::SocketFolder folder;
  SocketTerminalNet net(folder.Path() + "/absent.sock");
  rlimit limit{};
  ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &limit), 0);
  const rlimit low{64, limit.rlim_max};
  ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &low), 0);
  std::vector<int> taken;
  for (int fd; (fd = ::dup(0)) >= 0;) taken.push_back(fd);
  const int16_t result = net.ZelRegisterProcess(125);
  for (int fd : taken) ::close(fd);
  ::setrlimit(RLIMIT_NOFILE, &limit);
  EXPECT_EQ(result, WSAEMFILE);
}

TEST(SocketTerminalNet, socketPathComesFromTheEnvironment) {
  ::setenv("TARVEX_TERMINAL_NET", "/somewhere/net.sock", 1);
  EXPECT_EQ(SocketTerminalNet::DefaultSocketPath(), "/somewhere/net.sock");
  ::unsetenv("TARVEX_TERMINAL_NET");
  ::setenv("XDG_RUNTIME_DIR", "/run/user/1000", 1);
  EXPECT_EQ(SocketTerminalNet::DefaultSocketPath(), "/run/user/1000/tarvex-terminal-net.sock");
}

TEST(SocketTerminalNet, aSimulatorKilledMidRunGivesCodesAndARestartCanBeRegisteredAgain) {
  testing::SocketFolder folder;
  const std::string path = folder.Path() + "/net.sock";
  SocketTerminalNet net(path);
  std::string buffer(12, ' ');
  int16_t status = 0;
  {
    testing::TerminalSimProcess sim(path, {"3"});
    ASSERT_TRUE(sim.Listening());
    ASSERT_EQ(net.ZelRegisterProcess(125), ZEL_SUCCESS);
    ASSERT_EQ(net.ZelRead("/z3/wt101", 12, buffer, status), ZEL_SUCCESS);
    sim.Kill();
  }
  const auto before = Clock::now();
  EXPECT_EQ(net.ZelRead("/z3/wt101", 12, buffer, status), WSAECONNRESET);
  EXPECT_EQ(net.ZelRead("/z3/wt101", 12, buffer, status), ZEL_INVALID_PROCESS);
  EXPECT_EQ(net.ZelRegisterProcess(125), WSAECONNREFUSED);
  EXPECT_LT(Clock::now() - before, kNoHang);

  testing::TerminalSimProcess restarted(path, {"3"});
  ASSERT_TRUE(restarted.Listening()) << "the socket left behind is taken over";
  EXPECT_EQ(net.ZelRegisterProcess(125), ZEL_SUCCESS);
  EXPECT_EQ(net.ZelRead("/z3/wt101", 12, buffer, status), ZEL_SUCCESS);
}

TEST(SocketTerminalNet, aRegistrationLostUnnoticedIsMadeAgainOnTheRestartedSimulator) {
  testing::SocketFolder folder;
  const std::string path = folder.Path() + "/net.sock";
  SocketTerminalNet net(path);
  {
    testing::TerminalSimProcess sim(path, {"3"});
    ASSERT_TRUE(sim.Listening());
    ASSERT_EQ(net.ZelRegisterProcess(125), ZEL_SUCCESS);
  }
  testing::TerminalSimProcess restarted(path, {"3"});
  ASSERT_TRUE(restarted.Listening());
  EXPECT_EQ(net.ZelRegisterProcess(125), ZEL_SUCCESS);
  EXPECT_EQ(restarted.Command("registered"), std::vector<std::string>{"ok registered"});
}

TEST(SocketTerminalNet, aPathTooLongForOneFrameIsAnInvalidFieldAndKeepsTheRegistration) {
  testing::SocketFolder folder;
  const std::string path = folder.Path() + "/net.sock";
  testing::TerminalSimProcess sim(path, {"3"});
  ASSERT_TRUE(sim.Listening());
  SocketTerminalNet net(path);
  ASSERT_EQ(net.ZelRegisterProcess(125), ZEL_SUCCESS);

  const std::string longPath = "/z" + std::string(wire::kMaxFrameBody, '3') + "/lit01";
  std::string buffer(40, ' ');
  int16_t status = 0;
  EXPECT_EQ(net.ZelRead(longPath, 40, buffer, status), ZEL_INVALID_FIELD);
  EXPECT_EQ(net.ZelWrite(longPath, 40, buffer), ZEL_INVALID_FIELD);
  EXPECT_EQ(buffer, std::string(40, ' '));
  EXPECT_EQ(net.ZelRead("/z3/lit01", 40, buffer, status), ZEL_SUCCESS);
  EXPECT_EQ(sim.Command("registered"), std::vector<std::string>{"ok registered"});
}

TEST(SocketTerminalNet, aSimulatorThatDoesNotAnswerGivesTimedOutWithinTheBound) {
  testing::SocketFolder folder;
  const std::string path = folder.Path() + "/silent.sock";
  HandPeer silent(path);  // listens, never accepts or answers
  SocketTerminalNet net(path, milliseconds(100));
  const auto before = Clock::now();
  EXPECT_EQ(net.ZelRegisterProcess(125), WSAETIMEDOUT);
  EXPECT_LT(Clock::now() - before, kNoHang);
}

TEST(SocketTerminalNet, garbageFromThePeerIsACodeAndNeverReachesPastTheBuffer) {
  struct GarbageCase {
    const char* legend;
    std::string readReply;
  };
  const GarbageCase cases[] = {
      {"more bytes than the length", ReadReply(0, std::string(100, 'G'))},
      {"a frame beyond the limit", std::string("\xFF\xFF\xFF\xFF", 4) + "junk"},
      {"a body cut short", wire::Frame(std::string("\0", 1))},
      {"a text longer than its body", wire::Frame(std::string("\0\0\0\0\xFF\0\0\0x", 9))},
      {"a body with bytes left over", wire::Frame(ReadReply(0, "1").substr(4) + "extra")},
      {"two answers for one call", ReadReply(0, "1") + Reply(0)},
  };
  for (const GarbageCase& c : cases) {
    SCOPED_TRACE(c.legend);
    testing::SocketFolder folder;
    const std::string path = folder.Path() + "/garbage.sock";
    HandPeer peer(path);
    peer.Answer({Reply(0), c.readReply});
    SocketTerminalNet net(path);
    ASSERT_EQ(net.ZelRegisterProcess(125), ZEL_SUCCESS);
    std::string buffer(20, '#');
    int16_t status = 0;
    EXPECT_EQ(net.ZelRead("/z3/wt101", 12, std::span(buffer).first(12), status), ZEL_BAD_CONNECT);
    EXPECT_EQ(buffer, std::string(20, '#'));
    EXPECT_EQ(net.ZelRead("/z3/wt101", 12, std::span(buffer).first(12), status),
              ZEL_INVALID_PROCESS)
        << "the connection is dropped";
  }
}

// Connects to path and sends bytes; returns true when the peer then closed
// the connection (within the bound).
bool SendAndSeeClosed(const std::string& path, const std::string& bytes) {
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, path.data(), path.size());
  if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    ::close(fd);
    return false;
  }
  ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
  pollfd p{fd, POLLIN, 0};
  char byte;
  const bool closed = ::poll(&p, 1, 3000) == 1 && ::recv(fd, &byte, 1, 0) == 0;
  ::close(fd);
  return closed;
}

TEST(TerminalSimServer, aClientSendingGarbageIsCutOffAndOthersAreServed) {
  testing::SocketFolder folder;
  const std::string path = folder.Path() + "/net.sock";
  testing::TerminalSimProcess sim(path, {"3"});
  ASSERT_TRUE(sim.Listening());
  const std::string garbage[] = {
      std::string("\xFF\xFF\xFF\x7F", 4),               // frame beyond the limit
      wire::Frame("Z"),                                    // unknown call
      wire::Frame(std::string("r\x0C\0", 3)),             // read cut short
      wire::Frame(std::string("w\x05\0\xFF\xFF\0\0/z3", 10)),  // text past its body
  };
  for (const std::string& bytes : garbage) EXPECT_TRUE(SendAndSeeClosed(path, bytes));

  SocketTerminalNet net(path);
  ASSERT_EQ(net.ZelRegisterProcess(125), ZEL_SUCCESS);
  EXPECT_EQ(net.ZelWrite("/z3/lit01", 2, std::string("OK")), ZEL_SUCCESS);
  EXPECT_EQ(sim.Command("get /z3/lit01"),
            (std::vector<std::string>{"field /z3/lit01 [OK]", "ok"}));
}

TEST(TerminalSimServer, aSecondSimulatorOnTheSocketStopsWithoutTouchingTheFirst) {
  testing::SocketFolder folder;
  const std::string path = folder.Path() + "/net.sock";
  testing::TerminalSimProcess first(path, {"3"});
  ASSERT_TRUE(first.Listening());

  const std::string command =
      std::string(TARVEX_BUILD_DIR "/bin/terminal-sim --socket ") + path + " </dev/null";
  FILE* second = ::popen(command.c_str(), "r");
  ASSERT_NE(second, nullptr);
  std::string output;
  char chunk[256];
  while (std::fgets(chunk, sizeof chunk, second)) output += chunk;
  EXPECT_NE(::pclose(second), 0);
  EXPECT_EQ(output, "error another simulator serves " + path + "\n");

  EXPECT_EQ(first.Command("log"), std::vector<std::string>{"ok"}) << "no call reached it";
  SocketTerminalNet net(path);
  EXPECT_EQ(net.ZelRegisterProcess(125), ZEL_SUCCESS);
}

TEST(TerminalSimServer, aClientThatTakesNoRepliesDoesNotHoldUpTheManager) {
  testing::SocketFolder folder;
  const std::string path = folder.Path() + "/net.sock";
  testing::TerminalSimProcess sim(path, {"3"});
  ASSERT_TRUE(sim.Listening());

  // Requests without end and never a reply read: once its replies fill the
  // socket, the simulator takes no more; the flood stops there (or when it
  // is cut off).
  const int greedy = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, path.data(), path.size());
  ASSERT_EQ(::connect(greedy, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
  std::string requests;
  for (int i = 0; i < 1000; ++i) requests += wire::Frame("C");
  const auto floodEnd = Clock::now() + kNoHang;
  while (Clock::now() < floodEnd) {
    if (::send(greedy, requests.data(), requests.size(), MSG_NOSIGNAL) >= 0) continue;
    if (errno != EAGAIN) break;
    pollfd p{greedy, POLLOUT, 0};
    if (::poll(&p, 1, 100) == 0) break;
  }

  SocketTerminalNet net(path, milliseconds(500));
  EXPECT_EQ(net.ZelRegisterProcess(125), ZEL_SUCCESS);
  ::close(greedy);
}

}  // namespace
}  // namespace tarvex
