// Where the manager starts hearing a line it cannot choose: a port opens, or
// a protocol's framing is reset, in the middle of a frame. Only whole frames
// become weights, and the channel's decimals are those of whole frames.
// A protocol's receive buffer has a bound whatever its file says.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "engine/frames/checked_protocol.h"
#include "engine/frames/frame_cutter.h"
#include "engine/frames/frame_values.h"

namespace tarvex {
namespace {

// Frames without a start character, "GS," and a gross of 9 with three
// decimals, then "kg" and CR LF: "GS,   12.345kg\r\n".
CheckedProtocol WithoutStartCharacter() {
  CheckedProtocol protocol;
  protocol.StreamStartChar = std::nullopt;
  protocol.StreamEndChar = '\n';
  protocol.MaxStreamLength = 48;
  protocol.Gross = {true, 4, 9};
  return protocol;
}

std::vector<std::string> Frames(int count) {
  std::vector<std::string> frames;
  for (int k = 0; k < count; ++k) {
    char field[16];
    std::snprintf(field, sizeof field, "%9.3f", 12.345 + 101.101 * k);
    frames.push_back(std::string("GS,") + field + "kg\r\n");
  }
  return frames;
}

struct Heard {
  std::vector<std::string> gross;  // one per frame cut
  ChannelFormat format;
};

// A fresh channel hears bytes in the reads given, as the scale-data step does:
// append, cut the newest frame, read it with the channel's automatic decimals.
Heard Hear(const CheckedProtocol& protocol, const std::vector<std::string>& reads) {
  FrameCutter cutter(protocol.StreamStartChar, protocol.StreamEndChar, protocol.MaxStreamLength);
  Heard heard;
  std::string frame;
  for (const std::string& read : reads) {
    cutter.Append(read);
    if (!cutter.CutNewest(frame)) continue;
    const StatusReading status = ParseStatusData(frame, protocol.Status);
    if (!IsReading(frame, status, protocol, false)) continue;
    heard.gross.emplace_back(ReadFrameValues(frame, status, protocol, heard.format, "", "KG").Value(ValueCode::Gross));
  }
  return heard;
}

// got is the tail of whole, and whole's last few are in it.
::testing::AssertionResult IsSuffixOf(const std::vector<std::string>& got, const std::vector<std::string>& whole) {
  if (got.size() + 2 < whole.size()) return ::testing::AssertionFailure() << got.size() << " frames heard";
  if (!std::equal(got.rbegin(), got.rend(), whole.rbegin())) {
    std::string text;
    for (const std::string& g : got) text += "[" + g + "]";
    return ::testing::AssertionFailure() << "heard " << text;
  }
  return ::testing::AssertionSuccess();
}

// Each of got is in whole, after the one before it.
::testing::AssertionResult IsInOrderIn(const std::vector<std::string>& got, const std::vector<std::string>& whole) {
  auto at = whole.begin();
  for (const std::string& g : got) {
    at = std::find(at, whole.end(), g);
    if (at == whole.end()) return ::testing::AssertionFailure() << "[" << g << "] is not a whole frame's, in order";
    ++at;
  }
  return ::testing::AssertionSuccess();
}

TEST(LineEnteredMidFrame, aRecordingEnteredAtEveryOffsetPublishesASuffixOfItsWholeFramesWithTheirDecimals) {
  const CheckedProtocol protocol = WithoutStartCharacter();
  const std::vector<std::string> frames = Frames(8);

  // What the frames say, each heard whole from a line heard from a terminator on.
  std::vector<std::string> whole;
  ChannelFormat wholeFormat;
  for (const std::string& frame : frames) {
    std::string cut = frame;
    cut[cut.find('\r')] = ' ';
    whole.emplace_back(ReadFrameValues(cut, protocol, wholeFormat, "", "KG").Value(ValueCode::Gross));
  }
  ASSERT_EQ(whole.front(), "   12.345");
  ASSERT_EQ(wholeFormat.FormatPattern, "##0.000");

  std::string recording;
  for (const std::string& frame : frames) recording += frame;
  std::mt19937 random(28);
  // Every offset inside the first two frames.
  for (size_t offset = 0; offset < frames[0].size() + frames[1].size(); ++offset) {
    SCOPED_TRACE("entered at " + std::to_string(offset));
    const std::string heard = recording.substr(offset);

    // Reads that each end with a frame.
    std::vector<std::string> byFrame;
    for (size_t from = 0; from < heard.size();) {
      const size_t end = heard.find('\n', from) + 1;
      byFrame.push_back(heard.substr(from, end - from));
      from = end;
    }
    const Heard framed = Hear(protocol, byFrame);
    EXPECT_TRUE(IsSuffixOf(framed.gross, whole));
    EXPECT_EQ(framed.format.FormatPattern, "##0.000");

    // Reads of any length, ending with the recording.
    std::vector<std::string> pieces;
    for (size_t from = 0; from < heard.size();) {
      const size_t length = std::uniform_int_distribution<size_t>(1, 12)(random);
      pieces.push_back(heard.substr(from, length));
      from += length;
    }
    const Heard split = Hear(protocol, pieces);
    // A read that completes two frames publishes the newer: some are
    // skipped, but what is published is whole frames in their order.
    EXPECT_TRUE(IsInOrderIn(split.gross, whole));
    ASSERT_FALSE(split.gross.empty());
    EXPECT_EQ(split.gross.back(), whole.back());
    EXPECT_EQ(split.format.FormatPattern, "##0.000");
  }
}

// A cleared cutter (a framing reset) is a fresh one; with a start character
// the start character finds the frame, as before.
TEST(LineEnteredMidFrame, aClearedCutterWaitsForATerminatorAndAStartCharacterNeedsNone) {
  const struct {
    const char* legend;
    std::optional<unsigned char> start;
    std::vector<std::string> reads;
    std::vector<std::optional<std::string>> frames;
  } cases[] = {
      {"the tail of a frame is not a frame", {}, {"2.345kg\r\n", "GS,  12.346kg\r\n"},
       {std::nullopt, "GS,  12.346kg \n"}},
      {"a tail and a whole frame in one read: the whole one", {}, {"345kg\r\nGS,  12.346kg\r\n"},
       {"GS,  12.346kg \n"}},
      {"a line heard from its very first byte still waits for a terminator", {}, {"GS,  12.345kg\r\n"},
       {std::nullopt}},
      {"with a start character the first frame counts", '\x02', {"2.345kg\r\n\x02GS,  12.346kg\r\n"},
       {"\x02GS,  12.346kg \n"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.legend);
    FrameCutter cutter(c.start, '\n', 48);
    for (int round = 0; round < 2; ++round) {
      for (size_t i = 0; i < c.reads.size(); ++i) {
        cutter.Append(c.reads[i]);
        std::string frame;
        const bool cut = cutter.CutNewest(frame);
        EXPECT_EQ(cut, c.frames[i].has_value()) << "round " << round << ", read " << i;
        if (cut) {
          EXPECT_EQ(frame, *c.frames[i]) << "round " << round << ", read " << i;
        }
      }
      cutter.Append("GS,  1");
      cutter.Clear();  // the second round starts from a framing reset
    }
  }
}

TEST(ProtocolLoad, aMaximumStreamLengthAbove64KiBIsTakenAs64KiBWithOneLogLine) {
  const struct {
    int32_t given;
    size_t taken;
    std::vector<std::string> log;
  } cases[] = {
      {48, 48, {}},
      {65536, 65536, {}},
      {65537, 65536, {"Protocol: 12  MaxStreamLength 65537 Is Above 65536: Taken As 65536."}},
      {2147483647, 65536, {"Protocol: 12  MaxStreamLength 2147483647 Is Above 65536: Taken As 65536."}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.given);
    ProtocolDefinition d;
    d.StreamEndChar = 10;
    d.MaxStreamLength = c.given;
    std::vector<std::string> log;
    const CheckedProtocol p = CheckProtocol(d, 12, [&](const std::string& line) { log.push_back(line); });
    EXPECT_EQ(p.MaxStreamLength, c.taken);
    EXPECT_EQ(log, c.log);
  }
}

}  // namespace
}  // namespace tarvex
