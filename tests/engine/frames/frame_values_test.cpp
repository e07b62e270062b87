// What a cut frame publishes: values in their order, lamps, status text.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/frames/frame_values.h"
#include "tests/engine/frames/protocol_builder.h"

namespace tarvex {
namespace {

using testing::RowText;
using testing::WithStatusRows;

// Frames of the form: STX, mode ("G"/"N"), motion ("M"/" "), error ("E"/" "),
// gross 7, tare 7, net 7, ID 4, CR LF. Decimal and sign in bits of the mode
// byte are left to the rows of each test.
ProtocolDefinition Layout(std::vector<RowText> extraRows = {}) {
  ProtocolDefinition d;
  d.StreamStartChar = 2;
  d.StreamEndChar = 10;
  d.MaxStreamLength = 64;
  d.GrossEnabled = d.TareEnabled = d.NetEnabled = d.IDEnabled = true;
  d.GrossStart = 5;  d.GrossLength = 7;
  d.TareStart = 12;  d.TareLength = 7;
  d.NetStart = 19;   d.NetLength = 7;
  d.IDStart = 26;    d.IDLength = 4;
  std::vector<RowText> rows = {
      {"Gross Mode", "2 / MODE", "2", "1", "71", "X"},
      {"Net Mode", "2 / MODE", "2", "1", "78", "X"},
      {"Motion", "1 / MOTION", "3", "1", "77", "X"},
      {"Out Of Range", "0 / ERROR", "4", "1", "69", "X"},
      {"KG", "3 / UNITS", "30", "2", "kg", "X"},
      {"LB", "3 / UNITS", "30", "2", "lb", "X"},
  };
  rows.insert(rows.end(), extraRows.begin(), extraRows.end());
  return WithStatusRows(d, rows);
}

std::string Frame(const char* status, const char* gross, const char* tare, const char* net, const char* id,
                  const char* units = "kg") {
  return std::string("\x02") + status + gross + tare + net + id + units + " \n";
}

}  // namespace

void PrintTo(const FrameValue& v, std::ostream* os) { *os << "{" << v.code << ", \"" << v.text << "\"}"; }

namespace {

std::vector<FrameValue> Values(const FrameValues& v) {
  return {v.values.begin(), v.values.begin() + v.valueCount};
}

TEST(ReadFrameValues, grossFrameCutsGrossAndPublishesZeroTareAndNet) {
  const CheckedProtocol p = CheckProtocol(Layout(), 11, {});
  ChannelFormat format;
  const FrameValues v = ReadFrameValues(Frame("G  ", "  12.50", "   2.00", "  10.50", "0042"), p, format, "", "KG");
  EXPECT_EQ(Values(v), (std::vector<FrameValue>{{1, "  12.50"}, {2, "0"}, {3, "0"}, {9, " 42"}}));
  EXPECT_EQ(v.statusText, "Online...");
  EXPECT_FALSE(v.errorLamp);
  EXPECT_FALSE(v.netLamp);
  EXPECT_FALSE(v.motionLamp);
  EXPECT_EQ(v.unitsLamp, true);
  EXPECT_EQ(v.status.ScaleStatBits, 0);
}

TEST(ReadFrameValues, netFrameWithoutReportedDecimalsComputesGrossInTheChannelsPattern) {
  const CheckedProtocol p = CheckProtocol(Layout(), 11, {});
  ChannelFormat format;
  const FrameValues v = ReadFrameValues(Frame("NM ", "  99.99", "   2.00", "  10.50", "-007"), p, format, "", "LB");
  EXPECT_EQ(Values(v), (std::vector<FrameValue>{{2, "   2.00"}, {3, "  10.50"}, {1, "12.50"}, {9, "-7"}}));
  EXPECT_TRUE(v.netLamp);
  EXPECT_TRUE(v.motionLamp);
  EXPECT_EQ(v.unitsLamp, false);
  EXPECT_EQ(v.status.ScaleStatBits, ScaleStatBit::NetMode | ScaleStatBit::Motion);
}

TEST(ReadFrameValues, netFrameWithReportedDecimalsUsesTheDecimalPattern) {
  // Decimal code -1 and the sign from bits of the motion byte.
  const CheckedProtocol p = CheckProtocol(
      Layout({{"Decimal Place XXXXX.X", "(WEIGHT)", "3b0", "1b1", "1", "X"},
              {"Polarity Sign Negative -", "(WEIGHT)", "3b1", "1b1", "2", "X"}}),
      11, {});
  ChannelFormat format;
  const FrameValues v = ReadFrameValues(Frame("N\x03 ", "   9999", "    200", "   1050", " abc"), p, format, "", "KG");
  EXPECT_EQ(Values(v), (std::vector<FrameValue>{{2, "   20.0"}, {3, "  -105.0"}, {1, "-85.0"}, {9, " 0"}}));
  EXPECT_TRUE(format.DecimalsFromStatus);
  EXPECT_EQ(format.WeightDecimals, -1);
}

TEST(ReadFrameValues, netFrameWithoutGrossFieldPublishesEmptyGross) {
  ProtocolDefinition d = Layout();
  d.GrossEnabled = false;
  const CheckedProtocol p = CheckProtocol(d, 11, {});
  ChannelFormat format;
  const FrameValues v = ReadFrameValues(Frame("N  ", "  99.99", "   2.00", "  10.50", "0001"), p, format, "", "KG");
  EXPECT_EQ(v.Value(ValueCode::Gross), "");
}

TEST(ReadFrameValues, errorFramesPublishZerosAndKeepTheTareInNetMode) {
  const CheckedProtocol p = CheckProtocol(Layout(), 11, {});
  ChannelFormat format;
  const FrameValues gross = ReadFrameValues(Frame("G E", "  99.99", "   2.00", "  10.50", "0001"), p, format, "", "KG");
  EXPECT_EQ(Values(gross), (std::vector<FrameValue>{{3, "0"}, {1, "0"}, {2, "0"}, {9, " 1"}}));
  EXPECT_EQ(gross.statusText, "OUT OF RANGE");
  EXPECT_TRUE(gross.errorLamp);
  EXPECT_FALSE(gross.netLamp);
  EXPECT_EQ(gross.status.ScaleStatBits, ScaleStatBit::OutOfRange);

  const FrameValues net = ReadFrameValues(Frame("N E", "  99.99", "   2.00", "  10.50", "0001"), p, format, "", "KG");
  EXPECT_EQ(Values(net), (std::vector<FrameValue>{{3, "0"}, {1, "0"}, {9, " 1"}}));
  EXPECT_TRUE(net.netLamp);
}

TEST(ReadFrameValues, fieldsTheFrameDoesNotHoldAreNotRead) {
  const CheckedProtocol p = CheckProtocol(Layout(), 11, {});
  ChannelFormat format;
  // The ID field ends on the terminator: FrameLength 29 < 26 + 4.
  const std::string frame = std::string("\x02G  ") + "  12.50" + "   2.00" + "  10.50" + "004\n";
  ASSERT_EQ(frame.size(), 29u);
  const FrameValues v = ReadFrameValues(frame, p, format, "", "KG");
  EXPECT_EQ(v.Value(ValueCode::IDField), "");
  EXPECT_EQ(v.Value(ValueCode::Gross), "  12.50");
  EXPECT_FALSE(v.unitsLamp.has_value());
  const FrameValues shortFrame = ReadFrameValues("\x02G  12\n", p, format, "", "KG");
  EXPECT_EQ(shortFrame.Value(ValueCode::Gross), "0");
}

TEST(ReadFrameValues, aReportedMinusWithoutDecimalRowsMakesTheGrossNegative) {
  const CheckedProtocol p = CheckProtocol(Layout({{"Polarity Sign Negative -", "(WEIGHT)", "3b1", "1b1", "2", "X"}}),
                                          11, {});
  ChannelFormat format;
  const FrameValues v = ReadFrameValues(Frame("G\x02 ", "  12.50", "   0.00", "  12.50", "0001"), p, format, "", "KG");
  EXPECT_EQ(v.Value(ValueCode::Gross), "  -12.50");
}

TEST(CheckProtocol, fieldsAndCharactersThatCannotBeUsedAreReportedOnceAtLoad) {
  ProtocolDefinition d = Layout();
  d.TareStart = 0;
  d.IDLength = 0;
  d.NetEnabled = false;
  d.NetStart = -4;  // off: not reported
  d.StreamEndChar = 300;
  d.MaxStreamLength = -1;
  d.CmdStartChar = 2;
  d.CmdEndChar = 1310;
  std::vector<std::string> faults;
  const CheckedProtocol p = CheckProtocol(d, 14, [&](const std::string& line) { faults.push_back(line); });
  ASSERT_EQ(faults.size(), 4u);
  for (const std::string& f : faults) EXPECT_TRUE(f.starts_with("Protocol: 14  ")) << f;
  EXPECT_FALSE(p.Tare.enabled);
  EXPECT_FALSE(p.ID.enabled);
  EXPECT_TRUE(p.Gross.enabled);
  EXPECT_EQ(p.StreamEndChar, '\n');
  EXPECT_EQ(p.MaxStreamLength, 48u);
  EXPECT_EQ(p.CmdPrefix, "\x02");
  EXPECT_EQ(p.CmdTerminator, "\r\n");
}

TEST(WeightLogLine, joinsThePublishedTextsAndEndsInCrLf) {
  EXPECT_EQ(WeightLogLine(0, "  12.50", "0", "0", " 42", "12/10/2026 1:05:09 PM"),
            "Device #: 0,   12.50, 0, 0,  42, 12/10/2026 1:05:09 PM\r\n");
}

}  // namespace
}  // namespace tarvex
