// Output to a device that does not keep up: the caller never waits, the bytes
// arrive whole and in order once the device reads, a device that reads
// nothing for 2 seconds is reported once, and a hang-up leaves no work behind.
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <string_view>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include "platform/run_time_error.h"
#include "platform/serial/serial_port.h"
#include "tests/support/pty_pair.h"
#include "tests/support/run_time_error_of.h"

namespace tarvex {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using testing::PtyPair;
using testing::ScratchFolder;
using test::ErrorOf;

QCoreApplication& Application() {
  static int argc = 1;
  static char name[] = "serial_output_test";
  static char* argv[] = {name, nullptr};
  static QCoreApplication application(argc, argv);
  return application;
}

double CpuSeconds() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Bytes 0 to 255 over and over, so a lost or repeated stretch shows.
std::string Pattern(size_t size, int offset = 0) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i + static_cast<size_t>(offset)) % 251);
  return bytes;
}

// More than a pseudo-terminal holds, so most of it has to wait in the queue.
constexpr size_t MoreThanTheDeviceHolds = 256 * 1024;

class SerialOutputOnPty : public ::testing::Test {
protected:
  void SetUp() override {
    Application();
    ASSERT_TRUE(pty.ok());
    scratch.MapPorts({{1, pty.path()}});
    port.SetPortOpen(true);
  }

  // Reads the far end while the event loop turns, until `count` bytes came,
  // the bytes end with `last`, or five seconds passed. No call on the port:
  // the event loop alone drains it.
  std::string ReadWhileTheLoopRuns(size_t count, std::string_view last = {}) {
    std::string received;
    const auto deadline = Clock::now() + 5s;
    while (received.size() < count && Clock::now() < deadline &&
           (last.empty() || !std::string_view(received).ends_with(last))) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
      received += pty.Receive(1);  // takes what is there, up to a chunk
    }
    return received;
  }

  PtyPair pty;
  ScratchFolder scratch;
  SerialPort port{scratch.folder()};
};

TEST_F(SerialOutputOnPty, outputToADeviceNobodyReadsReturnsAtOnceAndIsReportedOnceAfterTwoSeconds) {
  const auto start = Clock::now();
  Clock::duration slowest{};
  for (int i = 0; i < 16; ++i) {
    const auto before = Clock::now();
    port.Output(Pattern(MoreThanTheDeviceHolds / 16, i));
    slowest = std::max(slowest, Clock::now() - before);
  }
  EXPECT_LT(slowest, 100ms);

  // The scan keeps asking for input; the stall surfaces at one of its calls.
  std::string description;
  int error = 0;
  const auto deadline = start + 5s;
  while (error == 0 && Clock::now() < deadline) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    error = ErrorOf([&] { port.InBufferCount(); }, &description);
  }
  const auto reportedAfter = Clock::now() - start;
  EXPECT_EQ(error, ErrorNumber::DeviceIOError);
  EXPECT_NE(description.find("output not accepted within 2 seconds"), std::string::npos) << description;
  EXPECT_GE(reportedAfter, 2s);
  EXPECT_LT(reportedAfter, 3s);

  // Once: the queue is gone, the port stays open and serves on.
  EXPECT_TRUE(port.PortOpen());
  for (int i = 0; i < 3; ++i) EXPECT_EQ(ErrorOf([&] { port.InBufferCount(); }), 0);
  ASSERT_TRUE(pty.Send("in"));
  ASSERT_TRUE(testing::WaitUntil([&] { return port.InBufferCount() == 2; }));
}

TEST_F(SerialOutputOnPty, queuedBytesArriveWholeAndInOrderWhenTheDeviceReads) {
  const std::string first = Pattern(MoreThanTheDeviceHolds, 0);
  const std::string second = Pattern(1000, 7);
  port.Output(first);
  port.Output(second);
  EXPECT_EQ(ReadWhileTheLoopRuns(first.size() + second.size()), first + second);
  EXPECT_EQ(ErrorOf([&] { port.Output("after"); }), 0);
  EXPECT_EQ(ReadWhileTheLoopRuns(5), "after");
}

TEST_F(SerialOutputOnPty, outputBeyondTheQueueLimitIsRefusedWholeAndTheQueueKept) {
  const std::string waiting = Pattern(SerialPort::OutputQueueLimit);
  port.Output(waiting);
  std::string description;
  EXPECT_EQ(ErrorOf([&] { port.Output(Pattern(SerialPort::OutputQueueLimit, 3)); }, &description),
            ErrorNumber::DeviceIOError);
  EXPECT_NE(description.find("output queue full"), std::string::npos) << description;
  port.Output("end");
  EXPECT_EQ(ReadWhileTheLoopRuns(waiting.size() + 3), waiting + "end");
}

TEST_F(SerialOutputOnPty, aHangUpWhileOutputWaitsIsReportedOnceAndLeavesNoWork) {
  port.Output(Pattern(MoreThanTheDeviceHolds));
  pty.CloseOtherSide();

  // The event loop finds the hang-up and closes the port by itself.
  const auto deadline = Clock::now() + 2s;
  while (port.PortOpen() && Clock::now() < deadline) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  EXPECT_FALSE(port.PortOpen());

  std::string description;
  EXPECT_EQ(ErrorOf([&] { port.InBufferCount(); }, &description), ErrorNumber::DeviceIOError);
  EXPECT_NE(description.find("hung up"), std::string::npos) << description;
  EXPECT_EQ(ErrorOf([&] { port.InBufferCount(); }), ErrorNumber::PortNotOpen);

  // Idle afterwards: the event loop has nothing of the port left to do.
  const double cpuBefore = CpuSeconds();
  QEventLoop loop;
  QTimer::singleShot(300ms, &loop, &QEventLoop::quit);
  loop.exec();
  EXPECT_LT(CpuSeconds() - cpuBefore, 0.05) << "CPU seconds spent in 0.3 s of an idle event loop";
}

TEST_F(SerialOutputOnPty, reopeningThePortDiscardsWhatWaitedAndAKeptReport) {
  port.Output(Pattern(MoreThanTheDeviceHolds));
  port.SetPortOpen(false);
  port.SetPortOpen(true);
  EXPECT_EQ(ErrorOf([&] { port.Output("fresh"); }), 0);
  // What the device held before the close may still come; the queue may not.
  const std::string received = ReadWhileTheLoopRuns(MoreThanTheDeviceHolds, "fresh");
  EXPECT_LT(received.size(), MoreThanTheDeviceHolds);
  EXPECT_TRUE(std::string_view(received).ends_with("fresh"));
}

}  // namespace
}  // namespace tarvex
