// The scale-data step of a serial channel inside the scan pass: frames from a
// scale on a pseudo-terminal are published (texts, status bits, lamps, status
// line, OPC item, DDE value, detail labels, weight log); a silent line and a
// line that sends only garbage go off-line after the channel's time-out.
#include <gtest/gtest.h>
#include <poll.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>

#include "config/channel_file.h"
#include "config/protocol_file.h"
#include "engine/scale_data/serial_scale_data.h"
#include "tests/engine/scale_data/scale_rig.h"

namespace tarvex {
namespace {

using testing::Sim;

TEST(SerialScaleData, framesOfTheScaleSimulatorArePublished) {
  const struct {
    const char* legend;
    bool decimalStatus;
    std::vector<std::string> args;
    int16_t waitForBits;  // the first frame with these bits is checked
    Shown expected;
  } cases[] = {
      {"GROSS", true, {"--script", "steady"}, 0, {"  12.34", "0", "0", " 1", "Online...", 0, "0010"}},
      {"GROSS, negative by the status sign", true, {"--script", "negative"}, 0,
       {"  -12.34", "0", "0", " 1", "Online...", 0, "0010"}},
      {"GROSS, point and sign in the field", false, {"--script", "negative"}, 0,
       {" -12.34", "0", "0", " 1", "Online...", 0, "0010"}},
      {"NET with decimal status", true,
       {"--script", "netgross", "--weight", "100", "--tare", "20", "--decimals", "-1"}, ScaleStatBit::NetMode,
       {"100.0", "   20.0", "   80.0", " 1", "Online...", ScaleStatBit::NetMode, "0110"}},
      {"NET without decimal status", false,
       {"--script", "netgross", "--weight", "100", "--tare", "20", "--decimals", "-1"}, ScaleStatBit::NetMode,
       {"100.0", "   20.0", "   80.0", " 1", "Online...", ScaleStatBit::NetMode, "0110"}},
      {"error frame", true, {"--script", "overrange", "--id", "42"}, ScaleStatBit::OutOfRange,
       {"0", "0", "0", " 42", "OUT OF RANGE", ScaleStatBit::OutOfRange, "0011"}},
      {"units other than the channel's", true, {"--script", "steady", "--units", "LB"}, ScaleStatBit::UnitsLB,
       {"  12.34", "0", "0", " 1", "Online...", ScaleStatBit::UnitsLB, "0000"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.legend);
    std::filesystem::path protocolFile =
        std::filesystem::temp_directory_path() / ("scale-data-" + std::to_string(::getpid()) + ".cfg");
    const ProtocolDefinition protocol = SampleProtocol(c.decimalStatus);
    std::ofstream(protocolFile, std::ios::binary) << FormatProtocolFile(protocol, protocolFile.string());
    std::vector<std::string> args = {"--protocol", protocolFile.string(), "--settings", "38400,N,8,1"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    Sim sim(args);
    ASSERT_FALSE(sim.device().empty()) << sim.log();
    ScaleRig rig(sim.device(), ScaleChannel(0), protocol);
    ASSERT_TRUE(rig.f.engine.ChannelActive[0]) << rig.f.publication.StatusText[0];
    const int watched = ::open(sim.device().c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(watched, 0);
    const bool seen = rig.PassUntil(watched, [&] {
      return rig.f.publication.StatusText[0] != "Ready..." && rig.f.engine.PubStatBits[0] == c.waitForBits;
    });
    ::close(watched);
    std::filesystem::remove(protocolFile);
    ASSERT_TRUE(seen) << sim.log() << Published(rig);
    EXPECT_EQ(Published(rig), c.expected);
    EXPECT_EQ(rig.f.engine.ScaleStatBits[0], c.expected.bits);
    EXPECT_EQ(rig.f.devices.At(0)->CScaleStat(), c.expected.bits);
  }
}

TEST(SerialScaleData, motionFramesLightTheMotionLamp) {
  const ProtocolDefinition protocol = SampleProtocol(true);
  const std::filesystem::path protocolFile =
      std::filesystem::temp_directory_path() / ("scale-motion-" + std::to_string(::getpid()) + ".cfg");
  std::ofstream(protocolFile, std::ios::binary) << FormatProtocolFile(protocol, protocolFile.string());
  Sim sim({"--protocol", protocolFile.string(), "--settings", "38400,N,8,1", "--script", "motion", "--weight", "50"});
  ASSERT_FALSE(sim.device().empty()) << sim.log();
  ScaleRig rig(sim.device(), ScaleChannel(0), protocol);
  const int watched = ::open(sim.device().c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
  const bool seen = rig.PassUntil(watched, [&] { return rig.f.engine.PubStatBits[0] == ScaleStatBit::Motion; });
  ::close(watched);
  std::filesystem::remove(protocolFile);
  ASSERT_TRUE(seen) << sim.log();
  EXPECT_EQ(rig.StatusLamps(), "1010");
  EXPECT_NEAR(std::stod(rig.f.publication.PubGross[0]), 50.0, 0.031);
}

TEST(SerialScaleData, everyFrameWritesOneWeightLogLine) {
  const ProtocolDefinition protocol = SampleProtocol(true);
  const std::filesystem::path protocolFile =
      std::filesystem::temp_directory_path() / ("scale-log-" + std::to_string(::getpid()) + ".cfg");
  std::ofstream(protocolFile, std::ios::binary) << FormatProtocolFile(protocol, protocolFile.string());
  Sim sim({"--protocol", protocolFile.string(), "--settings", "38400,N,8,1", "--script", "steady"});
  ASSERT_FALSE(sim.device().empty()) << sim.log();
  ScaleRig rig(sim.device(), ScaleChannel(0), protocol);
  int frames = 0;
  const int watched = ::open(sim.device().c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
  const bool seen = rig.PassUntil(watched, [&] {
    frames += rig.f.engine.LastDataTick[0] == rig.f.engine.ScanTick ? 1 : 0;
    return frames >= 5;
  });
  ::close(watched);
  std::filesystem::remove(protocolFile);
  ASSERT_TRUE(seen) << sim.log();

  const std::string line = "Device #: 0,   12.34, 0, 0,  1, " + GeneralDateTimeText(rig.wallClock.now()) + "\r\n";
  std::string expected;
  for (int k = 0; k < frames; ++k) expected += line;
  EXPECT_EQ(rig.WeightLog(), expected);
}

// A line that delivers no frame goes off-line after Timeout passes, whether it
// is silent or sends only garbage, with or without terminators.
TEST(SerialScaleData, aLineWithoutFramesGoesOfflineAfterTheTimeout) {
  constexpr int32_t Timeout = 5;
  const struct {
    const char* legend;
    std::string perPass;
  } cases[] = {
      {"silent", ""},
      {"garbage without terminator", std::string("x!?\xff\x00#", 6)},
      {"garbage with terminators", "noise 12.34\r\n"},
      {"frames cut short", std::string("  12.34\r\n")},
  };
  const ProtocolDefinition protocol = SampleProtocol(true);
  const std::string goodFrame = sim::ScaleFrameWriter(protocol).Frame({.gross = 12.34});
  for (const auto& c : cases) {
    SCOPED_TRACE(c.legend);
    testing::PtyPair pty;
    ASSERT_TRUE(pty.ok());
    ScaleRig rig(pty.path(), ScaleChannel(Timeout), protocol);
    rig.Feed(pty, goodFrame);
    rig.Pass();
    ASSERT_EQ(rig.f.publication.StatusText[0], "Online...");
    ASSERT_EQ(rig.f.publication.PubGross[0], "  12.34");
    for (int pass = 1; pass <= Timeout; ++pass) {
      SCOPED_TRACE(pass);
      if (!c.perPass.empty()) rig.Feed(pty, c.perPass);
      rig.Pass();
      const bool offline = pass == Timeout;
      EXPECT_EQ(rig.f.publication.StatusText[0], offline ? "Offline..." : "Online...");
      EXPECT_EQ(rig.f.engine.ScaleStatBits[0], offline ? ScaleStatBit::Offline : 0);
      EXPECT_EQ(rig.f.engine.PubStatBits[0], offline ? ScaleStatBit::Offline : 0);
      EXPECT_EQ(rig.f.grid.IndicatorOn(0, Lamp::Error), offline);
    }
    // The next frame brings the channel back.
    rig.Feed(pty, goodFrame);
    rig.Pass();
    EXPECT_EQ(rig.f.publication.StatusText[0], "Online...");
    EXPECT_EQ(rig.f.engine.PubStatBits[0], 0);
    EXPECT_FALSE(rig.f.grid.IndicatorOn(0, Lamp::Error));
  }
}

TEST(SerialScaleData, aChannelWithoutTimeoutNeverGoesOffline) {
  testing::PtyPair pty;
  ScaleRig rig(pty.path(), ScaleChannel(0), SampleProtocol(true));
  for (int pass = 0; pass < 50; ++pass) rig.Pass();
  EXPECT_EQ(rig.f.publication.StatusText[0], "Ready...");
  EXPECT_EQ(rig.f.engine.ScaleStatBits[0], 0);
}

// With OPC and DDE the status goes out as OPC item 3 and DDE value 3; off-line
// it is published again on every pass, and the first frame after it
// republishes every weight.
TEST(SerialScaleData, statusReachesOpcDdeAndTheDetailWindowAndOfflineIsRepublished) {
  const ProtocolDefinition protocol = SampleProtocol(true);
  const sim::ScaleFrameWriter writer(protocol);
  testing::PtyPair pty;
  ChannelSetup channel = ScaleChannel(2);
  channel.OPCEnabled = true;
  channel.DDEServerEnabled = true;
  ScaleRig rig(pty.path(), channel, protocol);
  rig.f.window.DetailOpen[0] = true;
  rig.f.startup.DebugMode = true;

  const std::string frame = writer.Frame({.gross = 7.5, .overRange = true});
  rig.Feed(pty, frame);
  rig.Pass();
  std::string shown = frame;
  shown[shown.find('\r')] = ' ';
  EXPECT_EQ(rig.f.Only({"label 22", "caption 22", "label 3", "label 9", "opc 0 3"}),
            (Trace{"label 22 " + shown + " ==> " + std::to_string(frame.size()), "caption 22 shown", "opc 0 3 1",
                   "label 3 1", "label 9 OUT OF RANGE"}));
  EXPECT_EQ(rig.f.publication.DDEValues(DDEItem::ScaleStat, 0), DDEValue(int16_t{1}));

  // The same frame again: nothing changed, nothing published, no lamp or
  // status cell touched.
  rig.Feed(pty, frame);
  rig.Pass();
  EXPECT_EQ(rig.f.Only({"opc 0 3", "label 3", "label 9", "on 0 2", "off 0 2", "on 0 3", "off 0 3", "on 0 4",
                        "off 0 4", "on 0 7", "off 0 7", "dirty 0 2", "dirty 0 3", "dirty 0 4", "dirty 0 7",
                        "dirty 0 12"}),
            Trace{});

  rig.Pass();
  EXPECT_EQ(rig.f.Only({"opc 0 3", "icon", "tray"}), Trace{});
  rig.Pass();  // 2 passes without a frame: off-line
  EXPECT_EQ(rig.f.Only({"opc 0 3", "icon", "tray"}), (Trace{"opc 0 3 17", "icon iIdle"}));
  EXPECT_EQ(rig.f.publication.StatusText[0], "Offline...");
  rig.Pass();  // and again on the next pass
  EXPECT_EQ(rig.f.Only({"opc 0 3", "icon", "tray"}), (Trace{"opc 0 3 17", "icon iIdle"}));
  rig.f.startup.DebugMode = false;
  rig.Pass();
  EXPECT_EQ(rig.f.Only({"opc 0 3", "icon", "tray"}), (Trace{"opc 0 3 17", "icon iIdle", "tray"}));

  rig.Feed(pty, frame);
  rig.Pass();
  EXPECT_EQ(rig.f.Only({"opc 0"}), (Trace{"opc 0 3 1", "opc 0 2 0", "opc 0 0 0", "opc 0 1 0"}));
  EXPECT_EQ(rig.f.publication.StatusText[0], "OUT OF RANGE");
}

// In the tray the receive indicator is lit at most once in ten passes, and
// the window and tray icons show the receive picture.
TEST(SerialScaleData, inTheTrayReceptionShowsTheReceiveIcon) {
  const ProtocolDefinition protocol = SampleProtocol(true);
  const std::string frame = sim::ScaleFrameWriter(protocol).Frame({.gross = 1});
  testing::PtyPair pty;
  ScaleRig rig(pty.path(), ScaleChannel(0), protocol);
  rig.f.window.InTray = true;
  rig.f.engine.LastIndicatorTick[0][Indicator::Receive] = rig.f.engine.ScanTick;
  Trace lit;
  for (int pass = 1; pass <= 30; ++pass) {
    rig.Feed(pty, frame);
    rig.Pass();
    for (const std::string& line : rig.f.Only({"on 0 0", "off 0 0", "icon", "tray"})) {
      lit.push_back(std::to_string(pass) + " " + line);
    }
  }
  EXPECT_EQ(lit, (Trace{"10 on 0 0", "10 icon iRcv", "10 tray", "20 off 0 0", "20 icon iIdle", "20 tray",
                        "30 on 0 0", "30 icon iRcv", "30 tray"}));
}

// Passes count forward across the wrap of ScanTick: a frame just before the
// wrap keeps the channel on-line for its time-out after it.
TEST(SerialScaleData, theTimeoutCountsAcrossTheWrapOfTheScanTick) {
  const ProtocolDefinition protocol = SampleProtocol(true);
  testing::PtyPair pty;
  ScaleRig rig(pty.path(), ScaleChannel(5), protocol);
  rig.f.engine.ScanTick = ScanTickWrap - 1;
  rig.Feed(pty, sim::ScaleFrameWriter(protocol).Frame({.gross = 1}));
  rig.Pass();
  ASSERT_EQ(rig.f.engine.LastDataTick[0], ScanTickWrap);
  for (int pass = 1; pass <= 5; ++pass) {
    rig.Pass();
    EXPECT_EQ(rig.f.publication.StatusText[0], pass < 5 ? "Online..." : "Offline...") << rig.f.engine.ScanTick;
  }
}

// A protocol field that cannot be cut is reported once, when the protocol is
// loaded, and is off; a protocol changed by the setup dialog takes effect
// when the channel is handed back.
TEST(SerialScaleData, protocolFaultsAreReportedAtLoadAndAChangedProtocolIsCheckedAgain) {
  ProtocolDefinition protocol = SampleProtocol(true);
  const std::string frame = sim::ScaleFrameWriter(protocol).Frame({.gross = 4, .id = 7});
  const int32_t idStart = protocol.IDStart;
  protocol.IDStart = 0;
  testing::PtyPair pty;
  ScaleRig rig(pty.path(), ScaleChannel(0), protocol);
  EXPECT_EQ(rig.f.Only({"log 1 Protocol"}),
            Trace{"log 1 Protocol: 5  ID Field At 0 Length " + std::to_string(protocol.IDLength) +
                  " Cannot Be Cut: Field Off."});
  rig.Feed(pty, frame);
  rig.Pass();
  EXPECT_EQ(rig.f.publication.PubID[0], "");
  EXPECT_EQ(rig.f.Only({"log 1", "error"}), Trace{});

  rig.f.config.Protocols[Protocol].IDStart = idStart;
  rig.f.HandBack(0);
  rig.Pass();
  ASSERT_TRUE(rig.f.engine.ChannelActive[0]);
  rig.Feed(pty, frame);
  rig.Pass();
  EXPECT_EQ(rig.f.publication.PubID[0], " 7");
}

// A protocol whose framing the setup dialog changed is cut by the new framing
// on every channel of it, not only on the one handed back.
TEST(SerialScaleData, aChangedTerminatorReachesEveryChannelOfTheProtocol) {
  const ProtocolDefinition protocol = SampleProtocol(true);
  testing::PtyPair first, second;
  ScaleRig rig(first.path(), ScaleChannel(0), protocol, second.path());
  ASSERT_TRUE(rig.f.engine.ChannelActive[1]);
  rig.Feed(second, sim::ScaleFrameWriter(protocol).Frame({.gross = 1}), 1);
  rig.Pass();
  ASSERT_EQ(rig.f.publication.PubGross[1], "   1.00");

  rig.f.config.Protocols[Protocol].StreamEndChar = '#';
  rig.f.HandBack(0);
  rig.Pass();
  ASSERT_TRUE(rig.f.engine.ChannelActive[0]);
  ProtocolDefinition changed = protocol;
  changed.StreamEndChar = '#';
  const sim::ScaleFrameWriter writer(changed);
  rig.Feed(first, writer.Frame({.gross = 2}), 0);
  rig.Feed(second, writer.Frame({.gross = 3}), 1);
  rig.Pass();
  EXPECT_EQ(rig.f.publication.PubGross[0], "   2.00");
  EXPECT_EQ(rig.f.publication.PubGross[1], "   3.00");
}

// The weight log's name as the channel file stores it: the default is a full
// path in the program folder; a name an operator types may be a full path, a
// "\Name" or a bare name, both of the program folder.
TEST(SerialScaleData, theWeightLogIsWrittenWhereTheChannelNamesIt) {
  const ProtocolDefinition protocol = SampleProtocol(true);
  const std::filesystem::path elsewhere =
      std::filesystem::temp_directory_path() / ("weights-" + std::to_string(::getpid()) + ".txt");
  const struct {
    const char* legend;
    std::function<std::string(const ProgramFolder&)> name;
    std::function<std::string(const ProgramFolder&)> path;
  } cases[] = {
      {"the default channel file's",
       [](const ProgramFolder& folder) { return ChannelDefaults(0, folder).Setup.AsciiLogFileName; },
       [](const ProgramFolder& folder) { return folder.path() + "/WtData-SCALE1.Txt"; }},
      {"a full path elsewhere", [&](const ProgramFolder&) { return elsewhere.string(); },
       [&](const ProgramFolder&) { return elsewhere.string(); }},
      {"a name of the program folder", [](const ProgramFolder&) { return std::string("Scale1.log"); },
       [](const ProgramFolder& folder) { return folder.path() + "/Scale1.log"; }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.legend);
    testing::PtyPair pty;
    ChannelSetup channel = ScaleChannel(0);
    ScaleRig rig(pty.path(), channel, protocol);
    rig.f.config.Channels[0].AsciiLogFileName = c.name(rig.f.scratch.folder());
    rig.Feed(pty, sim::ScaleFrameWriter(protocol).Frame({.gross = 3}));
    rig.Pass();
    EXPECT_EQ(rig.f.Only({"error "}), Trace{});
    std::ifstream in(c.path(rig.f.scratch.folder()), std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}),
              "Device #: 0,    3.00, 0, 0,  1, " + GeneralDateTimeText(rig.wallClock.now()) + "\r\n");
    std::filesystem::remove(elsewhere);
  }
}

TEST(SerialScaleData, aWeightLogThatCannotBeWrittenReachesTheScanErrorHandlerOnceAfterPublication) {
  const ProtocolDefinition protocol = SampleProtocol(true);
  testing::PtyPair pty;
  ChannelSetup channel = ScaleChannel(0);
  channel.AsciiLogFileName = "\\no-such-folder\\Weights.txt";
  ScaleRig rig(pty.path(), channel, protocol);
  const sim::ScaleFrameWriter writer(protocol);
  rig.Feed(pty, writer.Frame({.gross = 3}));
  rig.Pass();
  EXPECT_EQ(rig.f.Only({"error "}), Trace{"error 0 75"});
  EXPECT_EQ(rig.f.publication.PubGross[0], "   3.00");

  // Reported once, not on every frame; the values are still published.
  for (int frame = 4; frame <= 6; ++frame) {
    rig.Feed(pty, writer.Frame({.gross = double(frame)}));
    rig.Pass();
    EXPECT_EQ(rig.f.Only({"error "}), Trace{});
  }
  EXPECT_EQ(rig.f.publication.PubGross[0], "   6.00");

  // Once the log can be written, its lines go on; a later failure is reported
  // again.
  const std::filesystem::path folder = rig.f.scratch.folder().join("no-such-folder");
  std::filesystem::create_directory(folder);
  rig.Feed(pty, writer.Frame({.gross = 7}));
  rig.Pass();
  EXPECT_EQ(rig.f.Only({"error "}), Trace{});
  EXPECT_TRUE(std::filesystem::exists(folder / "Weights.txt"));
  std::filesystem::remove_all(folder);
  rig.Feed(pty, writer.Frame({.gross = 8}));
  rig.Pass();
  EXPECT_EQ(rig.f.Only({"error "}), Trace{"error 0 75"});
}

// Random splits of one recorded stream publish the same values as whole
// frames read one per pass.
TEST(SerialScaleData, theValuesDoNotDependOnHowTheLineSplitsTheBytes) {
  const ProtocolDefinition protocol = SampleProtocol(true);
  const sim::ScaleFrameWriter writer(protocol);
  std::vector<std::string> frames;
  for (int k = 0; k < 12; ++k) {
    frames.push_back(writer.Frame({.gross = 10.0 + k, .tare = 2.5, .netMode = k % 3 == 1, .motion = k % 4 == 2}));
  }
  const auto run = [&](const std::vector<std::string>& pieces) {
    testing::PtyPair pty;
    ScaleRig rig(pty.path(), ScaleChannel(0), protocol);
    std::vector<Shown> seen;
    for (const std::string& piece : pieces) {
      rig.Feed(pty, piece);
      rig.Pass();
      if (rig.f.engine.LastDataTick[0] == rig.f.engine.ScanTick) seen.push_back(Published(rig));
    }
    return seen;
  };
  const std::vector<Shown> whole = run(frames);
  ASSERT_EQ(whole.size(), frames.size());
  std::string stream;
  for (const std::string& frame : frames) stream += frame;
  std::mt19937 random(16);
  for (int run_ = 0; run_ < 5; ++run_) {
    // Pieces end anywhere, but never two frame ends in one piece, so each
    // frame is the newest of its pass.
    std::vector<std::string> pieces;
    size_t start = 0;
    for (size_t end = 0; end < stream.size(); ++end) {
      const bool frameEnd = stream[end] == '\n';
      if (frameEnd || std::uniform_int_distribution<int>(0, 9)(random) == 0) {
        pieces.push_back(stream.substr(start, end + 1 - start));
        start = end + 1;
      }
    }
    SCOPED_TRACE(run_);
    EXPECT_EQ(run(pieces), whole);
  }
}

}  // namespace
}  // namespace tarvex
