// Arbitrary bytes on the line and arbitrary cells in the protocol: every frame
// is interpreted without a fault and without a read outside its buffers (the
// sanitized build of this test checks the latter).
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "engine/frames/frame_cutter.h"
#include "engine/frames/frame_values.h"
#include "tests/engine/frames/protocol_builder.h"

namespace tarvex {
namespace {

using testing::RowText;

std::string Pick(std::mt19937& random, std::initializer_list<const char*> choices) {
  std::uniform_int_distribution<size_t> at(0, choices.size() - 1);
  return *(choices.begin() + at(random));
}

TEST(HostileInput, anyTableAndAnyBytesAreInterpretedWithoutFault) {
  std::mt19937 random(1210);
  std::uniform_int_distribution<int> byte(0, 255), count(0, 20), number(-3, 60);
  for (int protocol = 0; protocol < 300; ++protocol) {
    ProtocolDefinition d;
    d.StreamStartChar = std::stoi(Pick(random, {"0", "2", "300", "-1"}));
    d.StreamEndChar = byte(random) % 3 == 0 ? 0 : byte(random);
    d.MaxStreamLength = number(random);
    d.GrossEnabled = d.TareEnabled = d.NetEnabled = d.IDEnabled = true;
    d.GrossStart = number(random); d.GrossLength = number(random);
    d.TareStart = number(random);  d.TareLength = number(random);
    d.NetStart = number(random);   d.NetLength = number(random);
    d.IDStart = number(random);    d.IDLength = number(random);
    std::vector<RowText> rows;
    for (int r = count(random); r > 0; --r) {
      rows.push_back({Pick(random, {"Motion", "Stable", "Net Mode", "Gross Mode", "LB", "KG", "Out Of Range",
                                    "Decimal Place XXXX.XX", "Decimal Place XXXX00", "Polarity Sign Negative -"}),
                      Pick(random, {"1 / MOTION", "2 / MODE", "3 / UNITS", "0 / ERROR", "(WEIGHT)", "status2"}),
                      Pick(random, {"0", "1", "3", "7b2", "9b", "b", "40", "1e9", "-2", "2.5", "&H3"}),
                      Pick(random, {"0", "1", "2", "3", "1b3", "1b9", "2b", "1b", "-1", "99"}),
                      Pick(random, {"0", "4", "255", "256", "ab", "abc", "", "-1"}),
                      Pick(random, {"X", "X", " "})});
    }
    d = testing::WithStatusRows(d, rows);
    const CheckedProtocol checked = CheckProtocol(d, protocol, [](const std::string&) {});
    FrameCutter cutter(checked.StreamStartChar, checked.StreamEndChar, checked.MaxStreamLength);
    ChannelFormat format;
    std::string frame;
    for (int read = 0; read < 50; ++read) {
      std::string piece;
      for (int k = count(random) * 3; k > 0; --k) piece += static_cast<char>(byte(random));
      if (read % 3 == 0) piece += static_cast<char>(checked.StreamEndChar);
      cutter.Append(piece);
      ASSERT_LE(cutter.Buffer().size(), checked.MaxStreamLength);
      if (!cutter.CutNewest(frame)) continue;
      ASSERT_LE(frame.size(), checked.MaxStreamLength);
      // The terminator ends the frame (a CR terminator may have become the blank).
      if (checked.StreamEndChar != '\r') {
        ASSERT_EQ(static_cast<unsigned char>(frame.back()), checked.StreamEndChar);
      }
      const FrameValues v = ReadFrameValues(frame, checked, format, "", "KG");
      ASSERT_EQ(v.values[static_cast<size_t>(v.valueCount - 1)].code, ValueCode::IDField);
    }
  }
}

}  // namespace
}  // namespace tarvex
