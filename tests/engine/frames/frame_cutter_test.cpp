// The receive buffer: frames cut at the terminator, the newest first, never a
// fragment.
#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

#include "engine/frames/checked_protocol.h"
#include "engine/frames/frame_cutter.h"
#include "engine/frames/frame_values.h"

namespace tarvex {
namespace {

constexpr unsigned char STX = 2;

struct CutCase {
  const char* legend;
  std::optional<unsigned char> start;
  unsigned char terminator;
  size_t max;
  std::vector<std::string> reads;                   // one pass each: append, then cut
  std::vector<std::optional<std::string>> frames;   // what each pass cuts
  std::string bufferAfter;
};

std::string S(const char* bytes, size_t n) { return std::string(bytes, n); }

TEST(FrameCutter, cutTable) {
  const CutCase cases[] = {
      {"two frames in one read: the newest, all consumed", {}, '\n', 48, {"A1\nB2\n"}, {"B2\n"}, ""},
      {"two frames and a partial: the partial stays", {}, '\n', 48, {"A1\nB2\nC"}, {"B2\n"}, "C"},
      {"one terminator, buffer starting with the start character", STX, '\n', 48,
       {"\x02W1\n"}, {"\x02W1\n"}, ""},
      {"one terminator, garbage before the start character is dropped", STX, '\n', 48,
       {"xx\x02W1\n\x02W"}, {"\x02W1\n"}, "\x02W"},
      {"a stretch without the start character is garbage", STX, '\n', 48, {"garbage\n"}, {std::nullopt}, ""},
      {"the newest stretch is garbage: the frame before it is taken", STX, '\n', 48,
       {"\x02" "A\nzz\n"}, {"\x02" "A\n"}, ""},
      {"CR LF with LF as terminator: the CR becomes a blank", {}, '\n', 48,
       {"\nW 12.5\r\n"}, {"W 12.5 \n"}, ""},
      {"only the first CR becomes a blank", {}, '\n', 48, {"\na\rb\rc\n"}, {"a b\rc\n"}, ""},
      {"noise without terminator keeps the newest bytes", {}, '\n', 8,
       {"0123456789abc"}, {std::nullopt}, "56789abc"},
      {"a frame split over reads is cut when its terminator comes", STX, '\n', 48,
       {"\x02 12", "3\n\x02 4", "56\n"}, {std::nullopt, "\x02 123\n", "\x02 456\n"}, ""},
      {"without start character, a stretch whose start fell off the cap is not a frame", {}, '\n', 8,
       {"12345678901\n"}, {std::nullopt}, ""},
      {"without start character, a cap that drops up to a terminator keeps a frame", {}, '\n', 3,
       {"x\nAB\n"}, {"AB\n"}, ""},
      {"after a fragment, the next frame is whole", {}, '\n', 8,
       {"12345678901\n", "AB", "C\n"}, {std::nullopt, std::nullopt, "ABC\n"}, ""},
      {"a lone terminator after a frame is a frame of its own", {}, '\n', 48, {"AB\n\n"}, {"\n"}, ""},
      {"NUL and 0xFF pass", STX, '\n', 48,
       {S("\x02\x00\xFF" "5\n", 5)}, {S("\x02\x00\xFF" "5\n", 5)}, ""},
      {"a terminator other than LF", STX, '\r', 48, {"\x02" "A\r\n\x02" "B\r\n"}, {"\x02" "B "}, "\n"},
  };
  for (const CutCase& c : cases) {
    FrameCutter cutter(c.start, c.terminator, c.max);
    for (size_t i = 0; i < c.reads.size(); ++i) {
      cutter.Append(c.reads[i]);
      std::string frame = "untouched";
      const bool cut = cutter.CutNewest(frame);
      EXPECT_EQ(cut, c.frames[i].has_value()) << c.legend << ", read " << i;
      EXPECT_EQ(frame, c.frames[i].value_or("untouched")) << c.legend << ", read " << i;
    }
    EXPECT_EQ(cutter.Buffer(), c.bufferAfter) << c.legend;
  }
}

// A protocol may allow a buffer of up to 2^31 - 1 bytes; the memory comes as
// the bytes do, not when the channel starts.
TEST(FrameCutter, aHugeMaximumStreamLengthTakesNoMemoryUpFront) {
  FrameCutter cutter(std::nullopt, '\n', 2147483647);
  EXPECT_LT(cutter.Buffer().capacity(), size_t{1} << 20);
  cutter.Append("\nW 12.5\r\n");
  std::string frame;
  ASSERT_TRUE(cutter.CutNewest(frame));
  EXPECT_EQ(frame, "W 12.5 \n");
}

// A recorded stream: frames of one layout with changing weights, with garbage
// between them when the protocol has a start character.
struct Recording {
  std::string bytes;
  std::vector<size_t> frameEnds;     // offset after each frame's terminator
};

Recording Record(bool withStart, size_t frames, std::mt19937& random) {
  Recording r;
  // Without a start character the line is heard from a terminator on.
  if (!withStart) r.bytes += '\n';
  std::uniform_int_distribution<int> weight(-99999, 999999), garbage(0, 8), byte(0, 255);
  for (size_t i = 0; i < frames; ++i) {
    if (withStart) {
      for (int g = garbage(random); g > 0; --g) {
        char b = static_cast<char>(byte(random));
        if (b == '\n' || b == '\x02') b = '?';
        r.bytes += b;
      }
      r.bytes += '\x02';
    }
    char field[16];
    std::snprintf(field, sizeof field, "%7d", weight(random));
    r.bytes += "G";
    r.bytes += field;
    r.bytes += " kg\r\n";
    r.frameEnds.push_back(r.bytes.size());
  }
  return r;
}

// The gross each read publishes, "" for a read that cuts no frame.
std::vector<std::string> Publish(const CheckedProtocol& protocol, const std::string& bytes,
                                 const std::vector<size_t>& splits) {
  FrameCutter cutter(protocol.StreamStartChar, protocol.StreamEndChar, protocol.MaxStreamLength);
  ChannelFormat format;
  std::vector<std::string> published;
  std::string frame;
  size_t from = 0;
  for (size_t to : splits) {
    cutter.Append(std::string_view(bytes).substr(from, to - from));
    from = to;
    if (cutter.CutNewest(frame)) {
      published.emplace_back(ReadFrameValues(frame, protocol, format, "", "KG").Value(ValueCode::Gross));
    } else {
      published.emplace_back();
    }
  }
  return published;
}

TEST(FrameCutter, publishesTheSameValuesHoweverTheReadsSplitTheStream) {
  std::mt19937 random(20261210);
  for (bool withStart : {false, true}) {
    CheckedProtocol protocol;
    protocol.StreamStartChar = withStart ? std::optional<unsigned char>(STX) : std::nullopt;
    protocol.Gross = {true, withStart ? 3 : 2, 7};
    const Recording rec = Record(withStart, 40, random);

    // Whole-frame reads publish every frame.
    const std::vector<std::string> whole = Publish(protocol, rec.bytes, rec.frameEnds);
    for (const std::string& w : whole) ASSERT_FALSE(w.empty());

    std::uniform_int_distribution<size_t> step(1, 28);
    for (int run = 0; run < 5000; ++run) {
      std::vector<size_t> splits;
      for (size_t at = step(random); at < rec.bytes.size(); at += step(random)) splits.push_back(at);
      splits.push_back(rec.bytes.size());
      const std::vector<std::string> got = Publish(protocol, rec.bytes, splits);

      // Each read publishes the newest frame it completed, or nothing.
      size_t next = 0;
      for (size_t i = 0; i < splits.size(); ++i) {
        std::string expected;
        while (next < rec.frameEnds.size() && rec.frameEnds[next] <= splits[i]) expected = whole[next++];
        ASSERT_EQ(got[i], expected) << "start " << withStart << ", run " << run << ", read " << i;
      }
    }
  }
}

}  // namespace
}  // namespace tarvex
