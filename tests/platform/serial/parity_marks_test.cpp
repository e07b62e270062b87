// Bit errors on a line with parity: the port asks the driver to check parity
// and mark damaged bytes, and hands a damaged byte over as "?", a good byte as
// itself. A pseudo-terminal keeps the request but cannot damage a byte, so the
// marks themselves are tested on the bytes the driver sends.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/serial/parity_marks.h"
#include "platform/serial/serial_port.h"
#include "tests/support/pty_pair.h"

namespace tarvex {
namespace {

TEST(ParityMarks, damagedBytesBecomeTheReplacementAndGoodBytesStayThemselvesAcrossReads) {
  const struct {
    const char* legend;
    std::vector<std::string> reads;
    std::vector<std::string> decoded;
  } cases[] = {
      {"unmarked bytes pass", {"\x02G  12.34\r\n"}, {"\x02G  12.34\r\n"}},
      {"a byte with a parity or framing error", {std::string("  1\xff\x00" "3.34", 9)}, {"  1?.34"}},
      {"a break", {std::string("12\xff\x00\x00" "5", 6)}, {"12?5"}},
      {"a good 0xFF, doubled by the driver", {"A\xff\xff" "B"}, {"A\xff" "B"}},
      {"a mark cut by the end of a read", {"1\xff", std::string("\x00", 1), "3.5\n"}, {"1", "", "?.5\n"}},
      {"a doubled 0xFF cut by the end of a read", {"\xff", "\xff" "A"}, {"", "\xff" "A"}},
      {"two marks in a row", {std::string("\xff\x00" "1\xff\x00" "2", 6)}, {"??"}},
      {"0xFF before a byte the driver never sends after it", {"\xff" "A"}, {"\xff" "A"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.legend);
    ParityMarks marks;
    for (size_t i = 0; i < c.reads.size(); ++i) EXPECT_EQ(marks.Decode(c.reads[i]), c.decoded[i]) << "read " << i;
  }
  // A sequence left open when the port closes does not reach the next line.
  ParityMarks marks;
  EXPECT_EQ(marks.Decode(std::string("1\xff\x00", 3)), "1");
  marks.Reset();
  EXPECT_EQ(marks.Decode("3\n"), "3\n");
}

class ParityOnPty : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(pty.ok());
    scratch.MapPorts({{2, pty.path()}});
    port.SetCommPort(2);
  }
  // What the port hands over of the bytes sent, within two seconds.
  std::string Through(const std::string& bytes) {
    EXPECT_TRUE(pty.Send(bytes));
    std::string received;
    testing::WaitUntil([&] {
      received += port.Input();
      return received.size() >= 4;
    });
    return received;
  }

  testing::PtyPair pty;
  testing::ScratchFolder scratch;
  SerialPort port{scratch.folder()};
};

TEST_F(ParityOnPty, aLineWithParityIsCheckedAndMarkedAndItsBytesStayBytes) {
  const struct {
    const char* settings;
    bool checked;
  } cases[] = {{"9600,N,8,1", false}, {"9600,E,7,1", true}, {"4800,O,8,1", true},
               {"9600,M,7,2", true}, {"9600,S,8,1", true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.settings);
    port.SetSettings(c.settings);
    port.SetPortOpen(true);
    ASSERT_TRUE(port.PortOpen());
    const tcflag_t marking = pty.DeviceAttributes().c_iflag & (INPCK | PARMRK | IGNPAR | ISTRIP);
    EXPECT_EQ(marking, c.checked ? tcflag_t(INPCK | PARMRK) : tcflag_t(0));
    EXPECT_EQ(port.RequestedAttributes()->c_iflag & (INPCK | PARMRK), marking);
    // A break is neither dropped (a frame one byte short reads its fields
    // shifted) nor a signal and a flush: it reaches the data, marked with
    // parity, as a NUL without.
    EXPECT_EQ(pty.DeviceAttributes().c_iflag & (IGNBRK | BRKINT), 0u);
    // A good 0xFF comes through as one byte, whether or not the driver marks.
    EXPECT_EQ(Through("\xff" "12\n"), "\xff" "12\n");
    port.SetPortOpen(false);
  }
}

}  // namespace
}  // namespace tarvex
