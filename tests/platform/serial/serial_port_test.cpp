// The serial port layer on pseudo-terminal pairs: settings, exclusive use,
// byte transparency, hang-up and the errors of every refused operation.
#include "platform/serial/serial_port.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <cerrno>
#include <termios.h>
#include <unistd.h>

#include <functional>
#include <optional>
#include <string>

#include "platform/run_time_error.h"
#include "tests/support/pty_pair.h"
#include "tests/support/run_time_error_of.h"

namespace tarvex {
namespace {

using testing::PtyPair;
using testing::ScratchFolder;
using testing::WaitUntil;
using test::ErrorOf;

// What the port receives until `count` bytes came or two seconds passed.
std::string InputOf(SerialPort& port, size_t count) {
  std::string received;
  WaitUntil([&] {
    received += port.Input();
    return received.size() >= count;
  });
  return received;
}

// ---------------------------------------------------------------- settings

TEST(SerialSettingsText, everyEntryOfTheSettingsTableIsAccepted) {
  for (const char* baud : {"1200", "2400", "4800", "9600", "19200", "38400"}) {
    for (const char* frame : {"N,7,1", "O,7,1", "E,7,1", "N,7,2", "O,7,2", "E,7,2", "N,8,1",
                              "O,8,1", "E,8,1"}) {
      const std::string text = std::string(baud) + "," + frame;
      EXPECT_EQ(ErrorOf([&] { ParseSettingsText(text); }), 0) << text;
    }
  }
}

TEST(SerialSettingsText, isReadIntoBaudParityDataAndStopBits) {
  struct Row {
    const char* text;
    LineSettings expected;
  };
  const Row rows[] = {
      {"9600,N,8,1", {9600, 'N', 8, 1}},
      {"9600,n,8,1", {9600, 'N', 8, 1}},
      {"1200,e,7,2", {1200, 'E', 7, 2}},
      {"38400,O,7,1", {38400, 'O', 7, 1}},
      {"115200,M,5,1", {115200, 'M', 5, 1}},
      {"300,S,6,2", {300, 'S', 6, 2}},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(ParseSettingsText(row.text), row.expected) << row.text;
  }
}

TEST(SerialSettingsText, unusableTextsRaise380) {
  for (const char* text : {"", "9600", "9600,N,8", "9600,N,8,1,", "9600,N,8,1,1", " 9600,N,8,1",
                           "9600,N,8,1 ", "9601,N,8,1", "0,N,8,1", "-9600,N,8,1", "9600,X,8,1",
                           "9600,NN,8,1", "9600,,8,1", "9600,N,4,1", "9600,N,9,1", "9600,N,8,0",
                           "9600,N,8,3", "9600,N,8,1.5", "99999999999,N,8,1"}) {
    EXPECT_EQ(ErrorOf([&] { ParseSettingsText(text); }), ErrorNumber::InvalidPropertyValue)
        << '"' << text << '"';
  }
}

TEST(SerialPort, refusedSettingsLeaveThePreviousSettingsInPlace) {
  ScratchFolder scratch;
  SerialPort port(scratch.folder());
  port.SetSettings("1200,E,7,1");
  EXPECT_EQ(ErrorOf([&] { port.SetSettings("1200,E,7"); }), ErrorNumber::InvalidPropertyValue);
  EXPECT_EQ(port.Settings(), "1200,E,7,1");
  EXPECT_EQ(ErrorOf([&] { port.SetHandshaking(2); }), ErrorNumber::InvalidPropertyValue);
  EXPECT_EQ(ErrorOf([&] { port.SetHandshaking(-1); }), ErrorNumber::InvalidPropertyValue);
  EXPECT_EQ(port.Handshaking(), 0);
}

// ------------------------------------------------------------ the port map

TEST(PortMap, namesTheDeviceOfAPortNumber) {
  struct Row {
    const char* legend;
    std::optional<std::string> file;  // nullopt: no map file
    int port;
    std::string expected;
  };
  const Row rows[] = {
      {"no file, first port", std::nullopt, 1, "/dev/ttyS0"},
      {"no file, port 12", std::nullopt, 12, "/dev/ttyS11"},
      {"mapped port", "3,\"/dev/ttyUSB0\"\r\n", 3, "/dev/ttyUSB0"},
      {"unmapped port beside a map", "3,\"/dev/ttyUSB0\"\r\n", 1, "/dev/ttyS0"},
      {"second line, LF ends, blank lines", "1,\"/dev/ttyACM0\"\n\n2,\"/dev/ttyUSB1\"\n", 2,
       "/dev/ttyUSB1"},
      {"first line for a port counts", "4,\"/dev/a\"\r\n4,\"/dev/b\"\r\n", 4, "/dev/a"},
      {"blanks around fields", " 5 , \"/dev/serial/by-id/usb-x, port 0\" \r\n", 5,
       "/dev/serial/by-id/usb-x, port 0"},
      {"no last line end", "6,\"/dev/ttyUSB2\"", 6, "/dev/ttyUSB2"},
  };
  for (const Row& row : rows) {
    ScratchFolder scratch;
    if (row.file) scratch.WriteFile(PortMap::FileName, *row.file);
    EXPECT_EQ(PortMap(scratch.folder()).DeviceFor(row.port), row.expected) << row.legend;
  }
}

TEST(PortMap, aMalformedLineRaises13NamingFileAndLine) {
  const char* files[] = {
      "3,/dev/ttyUSB0\r\n",           // path without quotes
      "x,\"/dev/ttyUSB0\"\r\n",       // no number
      "3\r\n",                        // no path
      "3,\"/dev/ttyUSB0\r\n",         // unclosed quote
      "3,\"\"\r\n",                   // empty path
      "1,\"/dev/a\"\r\n2,\"/dev/b\",7\r\n",  // extra field (line 2)
  };
  for (const char* content : files) {
    ScratchFolder scratch;
    scratch.WriteFile(PortMap::FileName, content);
    std::string description;
    EXPECT_EQ(ErrorOf([&] { PortMap(scratch.folder()).DeviceFor(1); }, &description),
              ErrorNumber::TypeMismatch)
        << content;
    EXPECT_NE(description.find("TarvexPorts.Cfg line "), std::string::npos) << description;
  }
}

// ---------------------------------------------------- opening on a pty pair

class SerialPortOnPty : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(pty.ok());
    scratch.MapPorts({{2, pty.path()}});
    port.SetCommPort(2);
  }

  PtyPair pty;
  ScratchFolder scratch;
  SerialPort port{scratch.folder()};
};

TEST_F(SerialPortOnPty, openingAppliesTheSettingsInRawNonBlockingMode) {
  struct Row {
    const char* settings;
    int handshaking;
    speed_t speed;
    tcflag_t size;
    tcflag_t parity;  // PARENB, PARODD, CMSPAR bits requested
    bool twoStopBits;
  };
  const Row rows[] = {
      {"9600,N,8,1", 0, B9600, CS8, 0, false},
      {"9600,n,8,1", 1, B9600, CS8, 0, false},
      {"19200,E,7,1", 1, B19200, CS7, PARENB, false},
      {"1200,O,7,2", 0, B1200, CS7, PARENB | PARODD, true},
      {"38400,O,8,1", 1, B38400, CS8, PARENB | PARODD, false},
      {"115200,S,8,2", 0, B115200, CS8, PARENB | CMSPAR, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.settings) + " handshaking " + std::to_string(row.handshaking));
    port.SetSettings(row.settings);
    port.SetHandshaking(row.handshaking);
    port.SetPortOpen(true);
    ASSERT_TRUE(port.PortOpen());

    // What the device itself holds.
    const termios device = pty.DeviceAttributes();
    EXPECT_EQ(cfgetospeed(&device), row.speed);
    EXPECT_EQ(cfgetispeed(&device), row.speed);
    const tcflag_t flow = device.c_iflag & (IXON | IXOFF | IXANY);
    EXPECT_EQ(flow, row.handshaking == 1 ? tcflag_t(IXON | IXOFF) : tcflag_t(0));
    EXPECT_EQ(device.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
    EXPECT_EQ(device.c_iflag & (ICRNL | INLCR | IGNCR | ISTRIP), 0u);
    // With parity, received bytes are checked and damaged ones marked.
    EXPECT_EQ(device.c_iflag & (INPCK | PARMRK | IGNPAR), row.parity != 0 ? tcflag_t(INPCK | PARMRK) : 0u);
    EXPECT_EQ(device.c_oflag & OPOST, 0u);
    EXPECT_EQ(device.c_cc[VMIN], 0);
    EXPECT_EQ(device.c_cc[VTIME], 0);

    // A pseudo-terminal keeps neither parity nor character size: what was
    // requested is read from the port.
    const std::optional<termios> requested = port.RequestedAttributes();
    ASSERT_TRUE(requested.has_value());
    EXPECT_EQ(requested->c_cflag & CSIZE, row.size);
    EXPECT_EQ(requested->c_cflag & (PARENB | PARODD | CMSPAR), row.parity);
    EXPECT_EQ((requested->c_cflag & CSTOPB) != 0, row.twoStopBits);
    EXPECT_NE(requested->c_cflag & CLOCAL, 0u);
    EXPECT_NE(requested->c_cflag & CREAD, 0u);
    EXPECT_EQ(cfgetospeed(&*requested), row.speed);

    port.SetPortOpen(false);
    EXPECT_FALSE(port.PortOpen());
  }
}

TEST_F(SerialPortOnPty, settingsAndHandshakingOfAnOpenPortChangeAtOnce) {
  port.SetPortOpen(true);
  port.SetSettings("2400,E,7,1");
  port.SetHandshaking(1);
  termios device = pty.DeviceAttributes();
  EXPECT_EQ(cfgetospeed(&device), speed_t(B2400));
  EXPECT_EQ(device.c_iflag & (IXON | IXOFF), tcflag_t(IXON | IXOFF));
  EXPECT_EQ(port.RequestedAttributes()->c_cflag & (CSIZE | PARENB), tcflag_t(CS7 | PARENB));

  port.SetHandshaking(0);
  device = pty.DeviceAttributes();
  EXPECT_EQ(device.c_iflag & (IXON | IXOFF), 0u);
}

TEST_F(SerialPortOnPty, everyByteValueArrivesWholeAndInOrder) {
  std::string allBytes;
  for (int round = 0; round < 8; ++round) {
    for (int value = 0; value < 256; ++value) allBytes += static_cast<char>(value);
  }
  port.SetPortOpen(true);

  // From the device to the port.
  ASSERT_TRUE(pty.Send(allBytes));
  EXPECT_EQ(InputOf(port, allBytes.size()), allBytes);
  EXPECT_EQ(port.Input(), "");

  // From the port to the device.
  port.Output(allBytes);
  EXPECT_EQ(pty.Receive(allBytes.size()), allBytes);
}

TEST_F(SerialPortOnPty, xonXoffUsesDc1AndDc3AndLetsEveryOtherByteThrough) {
  // DC3 (XOFF) and DC1 (XON) from the device steer the flow and are not data;
  // 0x00 is data whatever the handshaking.
  struct Row {
    int handshaking;
    std::string received;
  };
  const Row rows[] = {
      {0, std::string("\x00\x13\x11" "B", 4)},
      {1, std::string("\x00" "B", 2)},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE("handshaking " + std::to_string(row.handshaking));
    port.SetHandshaking(row.handshaking);
    port.SetPortOpen(true);
    if (row.handshaking == 1) {
      const termios device = pty.DeviceAttributes();
      EXPECT_EQ(device.c_cc[VSTART], 0x11);
      EXPECT_EQ(device.c_cc[VSTOP], 0x13);
    }
    ASSERT_TRUE(pty.Send(std::string("\x00\x13\x11" "B", 4)));
    std::string received;
    WaitUntil([&] {
      received += port.Input();
      return received.find('B') != std::string::npos;
    });
    EXPECT_EQ(received, row.received);
    port.SetPortOpen(false);
  }
}

TEST_F(SerialPortOnPty, theWaitingCountIsWhatTheNextInputReturns) {
  port.SetPortOpen(true);
  EXPECT_EQ(port.InBufferCount(), 0);
  EXPECT_EQ(port.Input(), "");

  const std::string frame("\x02" "  12.50kg\x00\xff\r\n", 14);
  ASSERT_TRUE(pty.Send(frame));
  EXPECT_TRUE(WaitUntil([&] { return port.InBufferCount() == static_cast<int32_t>(frame.size()); }));
  EXPECT_EQ(port.Input(), frame);
  EXPECT_EQ(port.InBufferCount(), 0);
}

TEST_F(SerialPortOnPty, whatArrivedBeforeTheOpenIsDiscarded) {
  // (The pair starts in line mode, so the line end makes it readable.)
  ASSERT_TRUE(pty.Send("stale\n"));
  // Let it reach the device's buffer before the port opens.
  EXPECT_TRUE(WaitUntil([&] {
    pollfd entry{pty.deviceSide(), POLLIN, 0};
    return ::poll(&entry, 1, 0) > 0;
  }));
  port.SetPortOpen(true);
  ASSERT_TRUE(pty.Send("fresh"));
  EXPECT_EQ(InputOf(port, 5), "fresh");
}

// ------------------------------------------------------------- exclusive use

// Runs `attempt` in a child process, optionally as an unprivileged user, and
// returns its result (-1 when the child did not finish normally).
int InChildProcess(bool unprivileged, const std::function<int()>& attempt) {
  const pid_t child = ::fork();
  if (child == 0) {
    if (unprivileged && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(255);
    ::_exit(attempt() & 0xff);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The child's answer to opening port `number` through the layer: 0 opened,
// 1 refused with 8005, 2 any other error.
int OpenThroughLayer(const ProgramFolder& folder, int number) {
  try {
    SerialPort port(folder);
    port.SetCommPort(number);
    port.SetPortOpen(true);
    return 0;
  } catch (const RunTimeError& error) {
    return error.number() == ErrorNumber::PortAlreadyOpen ? 1 : 2;
  }
}

// The child's answer to a plain open of the device, as a program that knows
// nothing of the lock would do it: 0 opened, 1 refused as busy, 2 otherwise.
int OpenPlainly(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  if (fd >= 0) return 0;
  return errno == EBUSY ? 1 : 2;
}

TEST_F(SerialPortOnPty, aSecondOpenerOfTheDeviceGets8005) {
  // A second number mapped to the same device: two channels set to one port.
  scratch.MapPorts({{2, pty.path()}, {5, pty.path()}});
  // An unprivileged program must be able to reach the map and the device.
  ::chmod(scratch.folder().path().c_str(), 0755);
  ::chmod(pty.path().c_str(), 0666);
  port.SetPortOpen(true);

  SerialPort secondChannel(scratch.folder());
  secondChannel.SetCommPort(5);
  std::string description;
  EXPECT_EQ(ErrorOf([&] { secondChannel.SetPortOpen(true); }, &description),
            ErrorNumber::PortAlreadyOpen);
  EXPECT_NE(description.find(pty.path()), std::string::npos) << description;
  EXPECT_FALSE(secondChannel.PortOpen());
  EXPECT_TRUE(port.PortOpen());

  // Another manager, whether privileged or not.
  EXPECT_EQ(InChildProcess(false, [&] { return OpenThroughLayer(scratch.folder(), 2); }), 1);
  if (::geteuid() == 0) {
    EXPECT_EQ(InChildProcess(true, [&] { return OpenThroughLayer(scratch.folder(), 2); }), 1);
    // An unprivileged program that does not ask for the lock is refused by
    // the terminal itself.
    EXPECT_EQ(InChildProcess(true, [&] { return OpenPlainly(pty.path()); }), 1);
  }

  // The refused openers did not disturb the holder.
  ASSERT_TRUE(pty.Send("ok"));
  EXPECT_EQ(InputOf(port, 2), "ok");

  // Once closed, the device is free for anyone, unprivileged programs too.
  port.SetPortOpen(false);
  secondChannel.SetPortOpen(true);
  EXPECT_TRUE(secondChannel.PortOpen());
  secondChannel.SetPortOpen(false);
  if (::geteuid() == 0) {
    EXPECT_EQ(InChildProcess(true, [&] { return OpenPlainly(pty.path()); }), 0);
    EXPECT_EQ(InChildProcess(true, [&] { return OpenThroughLayer(scratch.folder(), 2); }), 0);
  }
}

// A device that is there but refuses this user (no dialout membership) is
// not an invalid port: the port just stays closed, and no error is raised.
TEST_F(SerialPortOnPty, aDeviceThatRefusesTheUserReadsBackNotOpen) {
  ::chmod(scratch.folder().path().c_str(), 0755);
  ::chmod(pty.path().c_str(), 0600);
  // 0 closed without an error, 1 opened, 2 raised.
  const auto attempt = [&] {
    try {
      SerialPort refused(scratch.folder());
      refused.SetCommPort(2);
      refused.SetPortOpen(true);
      return refused.PortOpen() ? 1 : 0;
    } catch (const RunTimeError&) {
      return 2;
    }
  };
  const bool asRoot = ::geteuid() == 0;
  if (!asRoot) ::chmod(pty.path().c_str(), 0000);
  EXPECT_EQ(InChildProcess(asRoot, attempt), 0);
  ::chmod(pty.path().c_str(), 0600);
}

// ------------------------------------------------------------------ failures

TEST(SerialPort, aPortWithoutAUsableDeviceGets8002) {
  struct Row {
    const char* legend;
    int port;
    std::string mapFile;  // empty: no map file
    std::string deviceInText;
  };
  const Row rows[] = {
      {"default device that does not exist", 200, "", "/dev/ttyS199"},
      {"mapped to a missing path", 3, "3,\"/nonexistent/ttyUSB9\"\r\n", "/nonexistent/ttyUSB9"},
      {"mapped to a file that is no terminal", 3, "3,\"/dev/null\"\r\n", "/dev/null"},
      {"mapped to a directory", 3, "3,\"/tmp\"\r\n", "/tmp"},
  };
  for (const Row& row : rows) {
    ScratchFolder scratch;
    if (!row.mapFile.empty()) scratch.WriteFile(PortMap::FileName, row.mapFile);
    SerialPort port(scratch.folder());
    port.SetCommPort(row.port);
    std::string description;
    EXPECT_EQ(ErrorOf([&] { port.SetPortOpen(true); }, &description),
              ErrorNumber::InvalidPortNumber)
        << row.legend;
    EXPECT_NE(description.find(row.deviceInText), std::string::npos) << row.legend << ": " << description;
    EXPECT_FALSE(port.PortOpen()) << row.legend;
  }
}

TEST(SerialPort, operationsThatNeedAnOpenPortRaise8012OnAClosedOne) {
  ScratchFolder scratch;
  SerialPort port(scratch.folder());
  struct Row {
    const char* legend;
    std::function<void()> operation;
  };
  const Row rows[] = {
      {"close", [&] { port.SetPortOpen(false); }},
      {"output", [&] { port.Output("x"); }},
      {"count", [&] { port.InBufferCount(); }},
      {"input", [&] { port.Input(); }},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(ErrorOf(row.operation), ErrorNumber::PortNotOpen) << row.legend;
  }
}

TEST_F(SerialPortOnPty, anOpenPortRefusesASecondOpenAndANewNumberWith8005) {
  port.SetPortOpen(true);
  EXPECT_EQ(ErrorOf([&] { port.SetPortOpen(true); }), ErrorNumber::PortAlreadyOpen);
  EXPECT_EQ(ErrorOf([&] { port.SetCommPort(3); }), ErrorNumber::PortAlreadyOpen);
  EXPECT_EQ(port.CommPort(), 2);
  EXPECT_TRUE(port.PortOpen());
  port.SetPortOpen(false);
  EXPECT_EQ(ErrorOf([&] { port.SetCommPort(0); }), ErrorNumber::InvalidPortNumber);
  EXPECT_EQ(port.CommPort(), 2);
}

TEST(SerialPortArray, servesChannels0To31) {
  ScratchFolder scratch;
  SerialPortArray ports(scratch.folder());
  ports[31].SetCommPort(7);
  EXPECT_EQ(ports[31].CommPort(), 7);
  EXPECT_EQ(ports[0].CommPort(), 1);
  EXPECT_EQ(ErrorOf([&] { ports[32]; }), ErrorNumber::SubscriptOutOfRange);
  EXPECT_EQ(ErrorOf([&] { ports[-1]; }), ErrorNumber::SubscriptOutOfRange);
}

// ------------------------------------------------------------------ hang-up

double CpuSeconds() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

TEST(SerialPortHangUp, isReportedOnceAsAnErrorThenThePortIsClosedAndIdle) {
  struct Row {
    const char* legend;
    std::function<void(SerialPort&)> firstUse;
  };
  const Row rows[] = {
      {"input", [](SerialPort& port) { port.Input(); }},
      {"count", [](SerialPort& port) { port.InBufferCount(); }},
      {"output", [](SerialPort& port) { port.Output("Z\r\n"); }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.legend);
    PtyPair pty;
    ASSERT_TRUE(pty.ok());
    ScratchFolder scratch;
    scratch.MapPorts({{1, pty.path()}});
    SerialPort port(scratch.folder());
    port.SetPortOpen(true);

    pty.CloseOtherSide();
    std::string description;
    EXPECT_EQ(ErrorOf([&] { row.firstUse(port); }, &description), ErrorNumber::DeviceIOError);
    EXPECT_NE(description.find("hung up"), std::string::npos) << description;
    EXPECT_FALSE(port.PortOpen());

    // A scan keeps asking; each ask is a quick "not open", not a busy loop.
    const double cpuBefore = CpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    int asks = 0;
    while (std::chrono::steady_clock::now() - start < std::chrono::milliseconds(300)) {
      EXPECT_EQ(ErrorOf([&] { port.InBufferCount(); }), ErrorNumber::PortNotOpen);
      ++asks;
      ::poll(nullptr, 0, 10);
    }
    const double cpuUsed = CpuSeconds() - cpuBefore;
    EXPECT_GT(asks, 5);
    EXPECT_LT(cpuUsed, 0.1) << "CPU seconds spent in 0.3 s of polling";
  }
}

}  // namespace
}  // namespace tarvex
