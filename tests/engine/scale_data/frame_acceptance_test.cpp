// Only whole, clean frames become weights: a frame with a damaged byte in a
// field it is read for, or a piece of a frame, is not published; the channel
// keeps its last reading and the error log counts the frames refused, one line
// per episode. And a weight log on a full disk holds whole records only.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "engine/frames/checked_protocol.h"
#include "engine/frames/frame_values.h"
#include "platform/append_file.h"
#include "tests/engine/scale_data/scale_rig.h"
#include "tests/support/pty_pair.h"

namespace tarvex {
namespace {

constexpr const char* RefusedLine = " Frames Refused: Damaged Or Incomplete Weight Fields.";

// The sample protocol's frame of a gross weight, with byte at (1-based) changed.
std::string Damaged(const sim::ScaleFrameWriter& writer, double gross, size_t at, char byte) {
  std::string frame = writer.Frame({.gross = gross});
  frame[at - 1] = byte;
  return frame;
}

std::string Noise(size_t length, unsigned seed) {
  std::mt19937 random(seed);
  std::string noise;
  for (size_t k = 0; k < length; ++k) noise += static_cast<char>(std::uniform_int_distribution<int>(0, 255)(random));
  return noise + "\x02\x95xz\x07" + "\n";
}

size_t Lines(const std::string& text) { return static_cast<size_t>(std::count(text.begin(), text.end(), '\n')); }

TEST(FrameAcceptance, onlyWholeCleanFramesArePublishedAndARefusalIsCountedOnce) {
  const ProtocolDefinition protocol = SampleProtocol(false);  // the point is in the field
  const sim::ScaleFrameWriter writer(protocol);
  // The gross field is bytes 5 to 11: "  13.57"; byte 9 is the "3".
  const std::string good = writer.Frame({.gross = 13.57});
  ASSERT_EQ(good.substr(4, 7), "  13.57");
  std::string overload = good;
  overload.replace(4, 7, "  OL   ");
  const struct {
    const char* legend;
    std::string bytes;
    bool reading;
    const char* gross;  // published after it
    int32_t portSettings = 33;  // 9600,N,8,1
  } cases[] = {
      {"a good frame", good, true, "  13.57"},
      {"a digit turned into a control character", Damaged(writer, 13.57, 9, '\x13'), false, "  12.34"},
      {"a byte received with a parity error", Damaged(writer, 13.57, 9, ParityMarks::ParityReplace), false,
       "  12.34", 35},  // 9600,E,8,1
      {"a byte above 0x7E", Damaged(writer, 13.57, 9, '\xb3'), false, "  12.34"},
      {"a short fragment", good.substr(0, 8) + "\r\n", false, "  12.34"},
      {"noise", Noise(40, 7), false, "  12.34"},
      {"a blank turned into a control character", Damaged(writer, 13.57, 5, '\x00'), false, "  12.34"},
      {"an overload text without digits reads as 0", overload, true, "   0.00"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.legend);
    testing::PtyPair pty;
    ASSERT_TRUE(pty.ok());
    ChannelSetup channel = ScaleChannel(0);
    channel.PortSettingsIndex = c.portSettings;
    ScaleRig rig(pty.path(), channel, protocol);
    rig.Feed(pty, writer.Frame({.gross = 12.34}));
    rig.Pass();
    ASSERT_EQ(rig.f.publication.PubGross[0], "  12.34");
    const int32_t lastData = rig.f.engine.LastDataTick[0];

    rig.Feed(pty, c.bytes);
    rig.Pass();
    EXPECT_EQ(rig.f.publication.PubGross[0], c.gross);
    EXPECT_EQ(rig.f.publication.NewGross[0], c.gross);
    EXPECT_EQ(rig.f.publication.StatusText[0], "Online...");
    EXPECT_EQ(Lines(rig.WeightLog()), c.reading ? 2u : 1u);
    EXPECT_EQ(rig.f.engine.LastDataTick[0] != lastData, c.reading);
    EXPECT_EQ(rig.f.Only({"log ", "error "}), Trace{});

    // The next reading ends the episode: one line, counting one frame.
    rig.Feed(pty, writer.Frame({.gross = 14.5}));
    rig.Pass();
    EXPECT_EQ(rig.f.publication.PubGross[0], "  14.50");
    EXPECT_EQ(rig.f.Only({"log "}), c.reading ? Trace{} : Trace{std::string("log 1 Channel: 1  1") + RefusedLine});
  }
}

// What a scale sends on purpose is not damage: "?" in a field without digits
// is its own text on a line that checks no parity (only a port that checks
// parity marks bytes with it), and a CR or LF first in a frame is the rest of
// a two-byte line end. Beside a digit "?" is a bit error on any line.
TEST(FrameAcceptance, aScalesOwnTextAndTheRestOfALineEndAreNotDamage) {
  CheckedProtocol protocol;
  protocol.StreamStartChar = std::nullopt;
  protocol.StreamEndChar = '\r';
  protocol.MaxStreamLength = 48;
  protocol.Gross = {true, 1, 8};
  const struct {
    const char* legend;
    std::string frame;
    bool parityMarked;
    bool reading;
  } cases[] = {
      {"a weight", "  12.345\r", false, true},
      {"an overload of question marks, no parity", "??????  \r", false, true},
      {"a question mark on a line that checks parity", " ?      \r", true, false},
      {"a digit turned into a question mark, no parity", "  1?.345\r", false, false},
      {"the LF of CR LF before the field", "\n 12.345\r", false, true},
      {"the CR of LF CR before the field", "\r 12.345\r", true, true},
      {"an LF inside the field", " \n12.345\r", false, false},
      {"a control character first in the frame", "\x13 12.345\r", false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.legend);
    const StatusReading status = ParseStatusData(c.frame, protocol.Status);
    EXPECT_EQ(IsReading(c.frame, status, protocol, c.parityMarked), c.reading);
  }
}

// An episode of refused frames is told once, when a reading comes or when the
// channel goes off-line for want of one, however many frames it held.
TEST(FrameAcceptance, anEpisodeOfRefusedFramesIsToldInOneLineWhenItEnds) {
  constexpr int32_t Timeout = 4;
  const ProtocolDefinition protocol = SampleProtocol(false);
  const sim::ScaleFrameWriter writer(protocol);
  const std::string bad = Damaged(writer, 13.57, 9, ParityMarks::ParityReplace);
  testing::PtyPair pty;
  ScaleRig rig(pty.path(), ScaleChannel(Timeout), protocol);
  rig.Feed(pty, writer.Frame({.gross = 12.34}));
  rig.Pass();

  Trace log;
  for (int pass = 1; pass <= 3; ++pass) {
    rig.Feed(pty, bad);
    rig.Pass();
    for (const std::string& line : rig.f.Only({"log "})) log.push_back(line);
  }
  rig.Feed(pty, writer.Frame({.gross = 12.5}));
  rig.Pass();
  for (const std::string& line : rig.f.Only({"log "})) log.push_back(line);
  EXPECT_EQ(log, Trace{std::string("log 1 Channel: 1  3") + RefusedLine});

  // Refused frames only: off-line after the time-out, told once then; the
  // frames refused while off-line are told when a reading comes back.
  log.clear();
  for (int pass = 1; pass <= Timeout + 5; ++pass) {
    rig.Feed(pty, bad);
    rig.Pass();
    for (const std::string& line : rig.f.Only({"log "})) log.push_back(line);
    EXPECT_EQ(rig.f.publication.StatusText[0], pass >= Timeout ? "Offline..." : "Online...") << pass;
    EXPECT_EQ(rig.f.publication.PubGross[0], "  12.50");
  }
  EXPECT_EQ(log, Trace{"log 1 Channel: 1  " + std::to_string(Timeout) + RefusedLine});
  log.clear();
  rig.Feed(pty, writer.Frame({.gross = 12.75}));
  rig.Pass();
  EXPECT_EQ(rig.f.publication.StatusText[0], "Online...");
  EXPECT_EQ(rig.f.Only({"log "}), Trace{"log 1 Channel: 1  5" + std::string(RefusedLine)});
}

// A file size limit cuts writes short exactly where a full disk would: the
// first write of a record takes what fits, the next one fails.
class FileSizeLimit {
public:
  explicit FileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &saved_);
    previous_ = ::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = saved_;
    limit.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &saved_);
    ::signal(SIGXFSZ, previous_);
  }

private:
  rlimit saved_{};
  sighandler_t previous_{};
};

TEST(WeightLog, aFullDiskLeavesNoTornRecordAndTheLostRecordsAreToldWhenSpaceReturns) {
  const ProtocolDefinition protocol = SampleProtocol(true);
  const sim::ScaleFrameWriter writer(protocol);
  testing::PtyPair pty;
  ScaleRig rig(pty.path(), ScaleChannel(0), protocol);
  rig.Feed(pty, writer.Frame({.gross = 1}));
  rig.Pass();
  const std::string before = rig.WeightLog();
  ASSERT_EQ(Lines(before), 1u);

  {
    FileSizeLimit full(before.size() + 10);
    for (int frame = 2; frame <= 4; ++frame) {
      rig.Feed(pty, writer.Frame({.gross = double(frame)}));
      rig.Pass();
      // The first failure reaches the scan error handler, the others do not;
      // the weights are published all the same.
      EXPECT_EQ(rig.f.Only({"error ", "log "}), frame == 2 ? Trace{"error 0 57"} : Trace{}) << frame;
      EXPECT_EQ(rig.f.publication.PubGross[0], "   " + std::to_string(frame) + ".00");
      EXPECT_EQ(rig.WeightLog(), before) << frame;
    }
  }
  rig.Feed(pty, writer.Frame({.gross = 5}));
  rig.Pass();
  const std::string path = rig.f.scratch.folder().place(WeightLogName);
  EXPECT_EQ(rig.f.Only({"error ", "log "}), Trace{"log 1 Channel: 1  Weight Log " + path + ": 3 Records Lost."});
  const std::string after = rig.WeightLog();
  ASSERT_EQ(Lines(after), 2u);
  EXPECT_EQ(after.substr(0, before.size()), before);
  EXPECT_TRUE(after.substr(before.size()).starts_with("Device #: 0,    5.00, 0, 0,  1, ")) << after;
}

// The file a record is cut short in may be reached through a symbolic link
// (a log folder moved to another disk): the record is taken back in the file
// the link names, the link stays, and the reason is the system's.
TEST(WeightLog, aRecordCutShortIsTakenBackInTheFileItWasWrittenTo) {
  const struct {
    const char* legend;
    bool throughLink;
  } cases[] = {{"a plain file", false}, {"a symbolic link to the file", true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.legend);
    testing::ScratchFolder scratch;
    const std::filesystem::path target = scratch.folder().path() + "/records.txt";
    const std::filesystem::path link = scratch.folder().path() + "/link.txt";
    const std::string first = "Device #: 0,    1.00, 0, 0,  1, 12/11/2026 03:00:00\r\n";
    AppendToFile(target.string(), first, "weight log");
    if (c.throughLink) std::filesystem::create_symlink(target, link);
    const std::string path = c.throughLink ? link.string() : target.string();
    {
      FileSizeLimit full(first.size() + 10);
      try {
        AppendToFile(path, first, "weight log");
        ADD_FAILURE() << "a record cut short was taken for written";
      } catch (const RunTimeError& error) {
        EXPECT_EQ(error.number(), ErrorNumber::DeviceIOError);
        EXPECT_EQ(error.description(), "Device I/O error: cannot write weight log " + path + ": " +
                                           std::strerror(EFBIG));
      }
    }
    EXPECT_EQ(std::filesystem::is_symlink(link), c.throughLink);
    AppendToFile(path, first, "weight log");
    std::ifstream in(target, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, first + first);
  }
}

}  // namespace
}  // namespace tarvex
