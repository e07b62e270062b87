// tools/scale-sim on a pseudo-terminal: its frames, read from the device and
// cut and interpreted as the manager does, publish the scale's readings.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "config/protocol_file.h"
#include "engine/frames/frame_cutter.h"
#include "engine/frames/frame_values.h"
#include "tools/scale_sim/scale_frames.h"
#include "tests/support/scale_sim_process.h"

extern char** environ;

namespace tarvex {
namespace {

using testing::Sim;

using Clock = std::chrono::steady_clock;
constexpr auto Patience = std::chrono::seconds(10);

class Device {
public:
  explicit Device(const std::string& path) : fd_(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK)) {
    termios raw{};
    ::tcgetattr(fd_, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(fd_, TCSANOW, &raw);
  }
  ~Device() { if (fd_ >= 0) ::close(fd_); }
  bool ok() const { return fd_ >= 0; }
  void Write(std::string_view bytes) { ASSERT_EQ(::write(fd_, bytes.data(), bytes.size()), ssize_t(bytes.size())); }
  // What arrived within 100 ms.
  std::string Read() {
    pollfd p{fd_, POLLIN, 0};
    std::string piece;
    if (::poll(&p, 1, 100) > 0) {
      char buffer[512];
      const ssize_t n = ::read(fd_, buffer, sizeof buffer);
      if (n > 0) piece.assign(buffer, static_cast<size_t>(n));
    }
    return piece;
  }

private:
  int fd_;
};

struct Published {
  std::string gross, tare, net, id, statusText;
  int16_t bits = 0;
  bool motionLamp = false;
  auto operator<=>(const Published&) const = default;
};

class ScaleSimTest : public ::testing::Test {
protected:
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() / ("scale-sim-test-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder_);
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  // The sample protocol as a file; without its decimal and sign rows when asked.
  std::string ProtocolFile(bool decimalStatus) {
    ProtocolDefinition d = sim::DemoProtocol();
    if (!decimalStatus) {
      for (auto& row : d.StatusData) {
        if (row[1].text() == "(WEIGHT)") row[5] = DataCell::Text(" ");
      }
    }
    const std::string path = (folder_ / (decimalStatus ? "with-decimals.cfg" : "without-decimals.cfg")).string();
    std::ofstream(path, std::ios::binary) << FormatProtocolFile(d, path);
    return path;
  }

  // Cuts frames from the device as the manager would, until count frames were
  // interpreted or the patience ran out.
  std::vector<Published> Receive(const std::string& protocolFile, Device& device, size_t count) {
    std::ifstream file(protocolFile, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    ProtocolDefinition d;
    ResetDataFields(d);
    ParseProtocolFile(bytes, protocolFile, d);
    const CheckedProtocol protocol = CheckProtocol(d, 10, {});
    FrameCutter cutter(protocol.StreamStartChar, protocol.StreamEndChar, protocol.MaxStreamLength);
    ChannelFormat format;
    std::vector<Published> out;
    std::string frame;
    for (const auto until = Clock::now() + Patience; out.size() < count && Clock::now() < until;) {
      cutter.Append(device.Read());
      if (!cutter.CutNewest(frame)) continue;
      const FrameValues v = ReadFrameValues(frame, protocol, format, "", "KG");
      out.push_back({std::string(v.Value(ValueCode::Gross)), std::string(v.Value(ValueCode::Tare)),
                     std::string(v.Value(ValueCode::Net)), std::string(v.Value(ValueCode::IDField)),
                     std::string(v.statusText), v.status.ScaleStatBits, v.motionLamp});
    }
    return out;
  }

  std::filesystem::path folder_;
};

TEST_F(ScaleSimTest, readingsArePublishedFromThePseudoTerminal) {
  const struct {
    const char* legend;
    bool decimalStatus;
    std::vector<std::string> args;
    Published expected;
  } cases[] = {
      {"steady gross", true, {"--script", "steady"}, {"  12.34", "0", "0", " 1", "Online...", 0, false}},
      {"steady gross, point in the field", false, {"--script", "steady"}, {"  12.34", "0", "0", " 1", "Online...", 0, false}},
      {"negative, sign in the status", true, {"--script", "negative"}, {"  -12.34", "0", "0", " 1", "Online...", 0, false}},
      {"negative, sign in the field", false, {"--script", "negative"}, {" -12.34", "0", "0", " 1", "Online...", 0, false}},
      {"motion", true, {"--script", "motion", "--weight", "50"}, {}},
      {"over range", true, {"--script", "overrange", "--id", "42"}, {"0", "0", "0", " 42", "OUT OF RANGE", 1, false}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.legend);
    const std::string protocol = ProtocolFile(c.decimalStatus);
    std::vector<std::string> args = {"--protocol", protocol, "--settings", "38400,N,8,1"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    Sim sim(args);
    ASSERT_FALSE(sim.device().empty()) << sim.log();
    Device device(sim.device());
    ASSERT_TRUE(device.ok());
    const std::vector<Published> got = Receive(protocol, device, 10);
    ASSERT_EQ(got.size(), 10u) << sim.log();
    if (std::string(c.legend) == "motion") {
      for (const Published& p : got) {
        EXPECT_TRUE(p.motionLamp);
        EXPECT_EQ(p.bits, ScaleStatBit::Motion);
        EXPECT_NEAR(std::stod(p.gross), 50.0, 0.031) << p.gross;
        EXPECT_EQ(p.gross.size(), 7u) << p.gross;
      }
      continue;
    }
    for (const Published& p : got) EXPECT_EQ(p, c.expected) << p.gross << "|" << p.tare << "|" << p.net << "|" << p.statusText;
  }
}

TEST_F(ScaleSimTest, netFramesPublishTareNetAndTheirSumWithAndWithoutDecimalStatus) {
  for (bool decimalStatus : {true, false}) {
    SCOPED_TRACE(decimalStatus ? "decimal status" : "point in the field");
    const std::string protocol = ProtocolFile(decimalStatus);
    Sim sim({"--protocol", protocol, "--settings", "38400,N,8,1", "--script", "netgross", "--weight", "100", "--tare",
             "20", "--decimals", "-1"});
    ASSERT_FALSE(sim.device().empty()) << sim.log();
    Device device(sim.device());
    std::set<Published> seen;
    for (const Published& p : Receive(protocol, device, 60)) seen.insert(p);
    const std::set<Published> expected = {
        {"  100.0", "0", "0", " 1", "Online...", 0, false},
        {"100.0", "   20.0", "   80.0", " 1", "Online...", ScaleStatBit::NetMode, false},
    };
    EXPECT_EQ(seen, expected);
  }
}

TEST_F(ScaleSimTest, noisyLinesNeverPublishAWrongValue) {
  const std::string protocol = ProtocolFile(true);
  Sim sim({"--protocol", protocol, "--settings", "38400,N,8,1", "--noise", "garbage,drop,split", "--noise-rate",
           "0.3", "--seed", "7"});
  ASSERT_FALSE(sim.device().empty()) << sim.log();
  Device device(sim.device());
  const std::vector<Published> got = Receive(protocol, device, 40);
  ASSERT_EQ(got.size(), 40u);
  for (const Published& p : got) EXPECT_EQ(p.gross, "  12.34");
}

TEST_F(ScaleSimTest, commandsAreLoggedAndAPrintCommandSendsOneFrame) {
  const std::string protocol = ProtocolFile(true);
  Sim sim({"--protocol", protocol, "--settings", "38400,N,8,1", "--frames", "0"});
  ASSERT_FALSE(sim.device().empty()) << sim.log();
  Device device(sim.device());
  device.Write("P\r\n");
  const std::vector<Published> got = Receive(protocol, device, 1);
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].gross, "  12.34");
  EXPECT_NE(sim.log().find("command \"P\""), std::string::npos) << sim.log();
}

// Run from a script with its input closed, the simulator waits for the line's
// pace without spinning on the ended input.
TEST(ScaleSim, anEndedStandardInputIsNotPolledAgain) {
  std::string program = std::string(TARVEX_BUILD_DIR) + "/bin/scale-sim";
  std::vector<std::string> args = {program, "--demo", "--stdout", "--frames", "3", "--settings", "300,N,8,1"};
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  ASSERT_EQ(posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ), 0);
  posix_spawn_file_actions_destroy(&actions);
  int status = 0;
  rusage usage{};
  ASSERT_EQ(::wait4(pid, &status, 0, &usage), pid);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  // Three frames of 36 characters at 30 characters a second: over two seconds
  // on the wire, of which a waiting simulator spends almost none on the CPU.
  const double cpu = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                     static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
  EXPECT_LT(cpu, 0.5);
}

}  // namespace
}  // namespace tarvex
