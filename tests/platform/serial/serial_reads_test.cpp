// How the scan reads a port: a count, then an input only when bytes wait.
// Each of them is one system call when all goes well, so what they must keep
// is shown here: every byte arrives once and in order however the line
// delivers it around the count and the read, whatever the amount waiting
// (one read or many), and a hang-up between two passes is reported once by
// the next pass.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>

#include "platform/run_time_error.h"
#include "platform/serial/serial_port.h"
#include "tests/support/pty_pair.h"
#include "tests/support/run_time_error_of.h"

namespace tarvex {
namespace {

using test::ErrorOf;
using testing::PtyPair;
using testing::ScratchFolder;

// What a scan pass reads from the port.
std::string PassReads(SerialPort& port) {
  if (port.InBufferCount() <= 0) return {};
  return port.Input();
}

// A stream in which every position is told apart from its neighbours, so a
// byte lost, repeated or moved shows.
std::string Stream(size_t size) {
  std::string bytes;
  for (size_t i = 0; i < size; ++i) bytes += static_cast<char>((i * 7 + i / 251) & 0xFF);
  return bytes;
}

// A port open on the device side of a fresh pseudo-terminal pair.
struct PortOnPty {
  PortOnPty() {
    if (!pty.ok()) return;
    scratch.MapPorts({{1, pty.path()}});
    port.SetPortOpen(true);
  }

  PtyPair pty;
  ScratchFolder scratch;
  SerialPort port{scratch.folder()};
};

class SerialReads : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_TRUE(line.port.PortOpen()); }

  PortOnPty line;
  PtyPair& pty = line.pty;
  SerialPort& port = line.port;
};

TEST_F(SerialReads, bytesWrittenAroundTheCountAndTheReadArriveOnceAndInOrder) {
  // Sizes on both sides of one read's worth (4096) and of the terminal's own
  // buffer, written in pieces between and after the passes' counts.
  struct Row {
    size_t size;
    size_t piece;
  };
  const Row rows[] = {{1, 1}, {34, 5}, {4095, 4095}, {4096, 4096}, {4097, 1000}, {12289, 3000}, {40000, 7000}};
  // With parity the driver doubles every good 0xFF (the stream holds all 256
  // values); each pair must come out as one byte however the reads divide
  // the stream.
  for (const char* settings : {"9600,N,8,1", "9600,E,8,1"}) {
    port.SetSettings(settings);
    for (const Row& row : rows) {
      SCOPED_TRACE(std::string(settings) + ": size " + std::to_string(row.size) + ", pieces of " +
                   std::to_string(row.piece));
      const std::string sent = Stream(row.size);
      std::string received;
      size_t written = 0;
      const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
      while (received.size() < sent.size() && std::chrono::steady_clock::now() < deadline) {
        if (written < sent.size()) {
          written += pty.SendSome(std::string_view(sent).substr(written, row.piece));
        }
        if (port.InBufferCount() > 0) {
          // More bytes reach the line after the count, before the read.
          if (written < sent.size()) written += pty.SendSome(std::string_view(sent).substr(written, row.piece));
          received += port.Input();
        } else {
          ::poll(nullptr, 0, 1);
        }
      }
      ASSERT_EQ(written, sent.size());
      EXPECT_EQ(received.size(), sent.size());
      EXPECT_TRUE(received == sent) << "the bytes differ from the first at "
                                    << std::mismatch(received.begin(), received.end(), sent.begin()).first -
                                           received.begin();
      EXPECT_EQ(port.InBufferCount(), 0);
      EXPECT_EQ(port.Input(), "");
      EXPECT_TRUE(port.PortOpen());
    }
  }
}

TEST(SerialReadsHangUp, aHangUpBetweenPassesIsReportedOnceByTheNextPass) {
  // The far end goes after a frame was read, or with a frame still waiting
  // (which the hang-up takes with it), or before the port was ever read.
  struct Row {
    const char* legend;
    std::string readFirst;
    std::string leftWaiting;
  };
  const Row rows[] = {
      {"after a frame was read", "\x02  12.50kg\r\n", ""},
      {"with a frame waiting", "\x02  12.50kg\r\n", "\x02  12.60kg\r\n"},
      {"before any read", "", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.legend);
    PortOnPty line;
    ASSERT_TRUE(line.port.PortOpen());
    PtyPair& pty = line.pty;
    SerialPort& port = line.port;

    if (!row.readFirst.empty()) {
      ASSERT_TRUE(pty.Send(row.readFirst));
      std::string received;
      testing::WaitUntil([&] {
        received += PassReads(port);
        return received.size() >= row.readFirst.size();
      });
      EXPECT_EQ(received, row.readFirst);
    }
    if (!row.leftWaiting.empty()) {
      ASSERT_TRUE(pty.Send(row.leftWaiting));
      testing::WaitUntil([&] { return port.InBufferCount() > 0; });
    }
    pty.CloseOtherSide();

    std::string description;
    EXPECT_EQ(ErrorOf([&] { PassReads(port); }, &description), ErrorNumber::DeviceIOError);
    EXPECT_NE(description.find("hung up"), std::string::npos) << description;
    EXPECT_FALSE(port.PortOpen());
    for (int pass = 0; pass < 3; ++pass) {
      EXPECT_EQ(ErrorOf([&] { PassReads(port); }), ErrorNumber::PortNotOpen) << "pass " << pass;
    }
  }
}

}  // namespace
}  // namespace tarvex
