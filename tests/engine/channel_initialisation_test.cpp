// Channel initialisation on the first pass and when the setup dialog hands a
// channel back: what each kind of channel shows, whether it is served, what is
// spoken, and that the operator's channel file is left alone.
#include <gtest/gtest.h>
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>

#include <cctype>
#include <limits>
#include <optional>

#include "config/serial_port_operations.h"
#include "platform/ansi_text.h"
#include "tests/support/commands_fixture.h"

#include "tests/support/engine_fixture.h"

namespace tarvex {
namespace {

// Takes away root's power to open any file for the scope: a device whose
// permissions refuse its owner then refuses this process too, as it refuses an
// operator who is not in the dialout group. Does nothing when the test runs
// without that power anyway.
class WithoutFileOverride {
public:
  explicit WithoutFileOverride(bool wanted) {
    if (!wanted || ::syscall(SYS_capget, &header_, saved_) != 0) return;
    __user_cap_data_struct reduced[2] = {saved_[0], saved_[1]};
    reduced[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
    active_ = ::syscall(SYS_capset, &header_, reduced) == 0;
  }
  ~WithoutFileOverride() {
    if (active_) ::syscall(SYS_capset, &header_, saved_);
  }

private:
  __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct saved_[2]{};
  bool active_ = false;
};

ChannelSetup Channel(int32_t connectUsing, int32_t protocol = 5) {
  ChannelSetup c;
  c.ChannelProtocol = protocol;
  c.ConnectUsing = connectUsing;
  c.ComPortIndex = 1;  // port 2
  c.PortSettingsIndex = 33;
  c.DeviceEnabled = true;
  c.DeviceDescs = "Line scale";
  c.PrimaryUnits = 1;
  c.RefreshInterval = 30;
  c.TxDelay = 12;
  c.Timeout = 50;
  return c;
}

// Connection "Other" with OPC: tags in slots 0 and 2, slot 1 blank.
ChannelSetup OtherWithOPC() {
  ChannelSetup c = Channel(2);
  c.OPCEnabled = true;
  c.OPCServerName = "Velmar.OPC";
  c.OPCNodeName = "plant";
  c.OPCTags[0] = "W.Gross";
  c.OPCTags[1] = "   ";
  c.OPCTags[2] = "W.Net";
  return c;
}

struct Outcome {
  std::string status;
  std::string lamps;  // lamps 0 to 7
  bool deviceEnabled;
  bool active;
  std::vector<std::string> spoken;  // what this stage added
  // With the recording handler: "error <ch> <number>" per error. With the
  // scan's own handler: the error-log lines of channels ("{device}" stands for
  // the path of the channel's port).
  Trace errors;
  std::string boxTitle = {};  // the scan's own handler: the box this stage showed
};

// The rig of one row: the device behind port 2 and how the row prepares it.
struct Rig {
  PtyPair pty;
  std::optional<SerialPort> holder;  // another opener of the device
  bool unprivileged = false;
};

struct Row {
  const char* legend;
  int32_t ch;  // the channel the outcomes describe
  std::map<int32_t, ChannelSetup> channels;
  std::function<void(EngineFixture&, Rig&)> arrange;
  Outcome first;
  Outcome reinit;
  bool realHandling = false;  // the scan's own error handler, not the recording one
};

const std::string Ready = "Ready...";
const std::string Failed = "Initialization Error...";

TEST(ChannelInitialisation, EachKindOfChannelAfterTheFirstPassAndAfterTheHandBack) {
  ChannelSetup disabled = Channel(0);
  disabled.DeviceEnabled = false;
  ChannelSetup missingPort = Channel(0);
  missingPort.ComPortIndex = 8;  // port 9: mapped to a missing device
  ChannelSetup terminal = Channel(1);
  terminal.DeviceID = " 3 ";
  const ChannelSetup other = OtherWithOPC();
  ChannelSetup noNextPort = Channel(0);
  noNextPort.ComPortIndex = std::numeric_limits<int32_t>::max();
  const Trace missingLog = {"log 1 Channel: 1  Invalid COM: Port Selected.",
                            "log 1 Channel 1: Invalid port number (port 9 {device}: No such file or directory)"};
  const Trace busyLog = {"log 1 Channel: 1  COM: Port Already In Use.",
                         "log 1 Channel 1: Port already open (port 2 {device}: in use by another channel or program)"};
  // No box: the device is there, only this user may not use it.
  const Trace refusedLog = {"log 1 Channel 1: Port not opened (port 2 {device}: Permission denied)"};
  const std::string overflow = "Overflow (port index of channel 0)";
  const std::string criticalSpeech =
      "Attention!, A Critical Tarvex error has occured, possibly on Channel 1,  The error is number, 6 , " + overflow +
      " , Please contact Velmar Orinda Technical Support with this information.";
  const Trace criticalLog = {"log 1 Channel: 1  Critical Error: 6  " + overflow};

  const std::vector<Row> rows = {
      {"disabled", 0, {{0, disabled}}, nullptr,
       {"Device Disabled...", "00000000", false, false, {}, {}},
       {"Device Disabled...", "00000000", false, false, {}, {}}},
      {"serial port opens", 0, {{0, Channel(0)}}, nullptr,
       {Ready, "00000100", true, true, {}, {}},
       {Ready, "00000100", true, true, {}, {}}},
      {"serial device refuses the user: not open, disabled in memory only", 0, {{0, Channel(0)}},
       [](EngineFixture&, Rig& rig) {
         ::chmod(rig.pty.path().c_str(), 0000);
         rig.unprivileged = true;
       },
       {Failed, "00000001", false, false, {ChannelInitialisation::PortMessage(0)}, refusedLog},
       {Failed, "00000001", false, false, {ChannelInitialisation::PortMessage(0)}, refusedLog},
       true},
      {"invalid port (8002) goes once to the handler", 0, {{0, missingPort}}, nullptr,
       {Failed, "00000101", true, false, {}, {"error 0 8002"}},
       {Failed, "00000101", true, false, {}, {"error 0 8002"}}},
      {"port in use (8005) goes once to the handler", 0, {{0, Channel(0)}},
       [](EngineFixture& f, Rig& rig) {
         rig.holder.emplace(f.scratch.folder());
         rig.holder->SetCommPort(2);
         rig.holder->SetPortOpen(true);
       },
       {Failed, "00000101", true, false, {}, {"error 0 8005"}},
       {Failed, "00000101", true, false, {}, {"error 0 8005"}}},
      // The device may come back (an adapter that enumerates late, a port held
      // for a moment): the channel is only disabled in memory, its file keeps
      // the operator's settings, so the hand-back tries the same port again.
      {"missing device (8002), told by the scan's handler: disabled in memory, the file kept", 0,
       {{0, missingPort}}, nullptr,
       {Failed, "00000001", false, false, {PortErrorSpeech(0, false)}, missingLog,
        "Tarvex Device Initialization Error"},
       {Failed, "00000001", false, false, {PortErrorSpeech(0, false)}, missingLog,
        "Tarvex Device Initialization Error"},
       true},
      {"busy device (8005), told by the scan's handler: disabled in memory, the file kept", 0, {{0, Channel(0)}},
       [](EngineFixture& f, Rig& rig) {
         rig.holder.emplace(f.scratch.folder());
         rig.holder->SetCommPort(2);
         rig.holder->SetPortOpen(true);
       },
       {Failed, "00000001", false, false, {PortErrorSpeech(0, true)}, busyLog, "Tarvex Device Initialization Error"},
       {Failed, "00000001", false, false, {PortErrorSpeech(0, true)}, busyLog, "Tarvex Device Initialization Error"},
       true},
      {"critical error, told by the scan's handler: the error lamp stays lit", 0, {{0, noNextPort}}, nullptr,
       {Failed, "00000101", true, false, {criticalSpeech}, criticalLog, "Tarvex Scan System Error"},
       {Failed, "00000101", true, false, {criticalSpeech}, criticalLog, "Tarvex Scan System Error"},
       true},
      {"terminal registers", 0, {{0, terminal}}, nullptr,
       {Ready, "00000100", true, true, {}, {}},
       {Ready, "00000100", true, true, {}, {}}},
      {"terminal registration fails: marked failed, not disabled", 0, {{0, terminal}},
       [](EngineFixture& f, Rig&) { f.net.registerResult = 3; },
       {Failed, "00000101", true, false, {ChannelInitialisation::NetworkMessage(0)}, {}},
       {Failed, "00000101", true, false, {ChannelInitialisation::NetworkMessage(0)}, {}}},
      {"a second terminal channel finds the registration open", 1, {{0, terminal}, {1, terminal}}, nullptr,
       {Ready, "00000100", true, true, {}, {}},
       {Ready, "00000100", true, true, {}, {}}},
      {"connection Other with OPC shows the group and stays inactive", 0, {{0, other}}, nullptr,
       {"OPC: Group OK : 4 : ", "00000100", true, false, {}, {}},
       {"OPC: Group OK : 4 : ", "00000100", true, false, {}, {}}},
  };

  for (const Row& row : rows) {
    SCOPED_TRACE(row.legend);
    EngineFixture f;
    f.startup.SpeechEnabled = true;
    Rig rig;
    ASSERT_TRUE(rig.pty.ok());
    f.scratch.MapPorts({{2, rig.pty.path()}, {9, "/nonexistent/ttyUSB9"}});
    for (int32_t ch = 0; ch <= f.startup.MaxChannel; ++ch) {
      const auto given = row.channels.find(ch);
      f.StoreChannel(ch, given != row.channels.end() ? given->second : disabled);
    }
    const std::string fileBefore = f.ChannelFileBytes(row.ch);
    if (row.arrange) row.arrange(f, rig);

    RealErrorHandling real(f);
    ScanPass& pass = row.realHandling ? real.pass : f.pass;
    const std::string device = row.channels.at(row.ch).ComPortIndex == 8 ? "/nonexistent/ttyUSB9" : rig.pty.path();
    const auto check = [&](const Outcome& want, size_t spokenBefore) {
      EXPECT_EQ(f.publication.StatusText[row.ch], want.status);
      EXPECT_EQ(f.Lamps(row.ch), want.lamps);
      EXPECT_EQ(f.config.Channels[row.ch].DeviceEnabled, want.deviceEnabled);
      EXPECT_EQ(f.engine.ChannelActive[row.ch], want.active);
      EXPECT_EQ(f.engine.ReinitChannel, -1);
      const auto& spoken = f.speech.sentences();
      EXPECT_EQ(std::vector<std::string>(spoken.begin() + static_cast<long>(spokenBefore), spoken.end()),
                want.spoken);
      EXPECT_EQ(f.ChannelFileBytes(row.ch), fileBefore);
      EXPECT_FALSE(std::ifstream(f.cfg.ChannelFilePath(row.ch) + ".bak").good());
      if (!row.realHandling) {
        EXPECT_EQ(f.Only({"error "}), want.errors) << (f.errors.descriptions.empty() ? "" : f.errors.descriptions[0]);
        return;
      }
      Trace wantLog;
      for (std::string line : want.errors) {
        if (const size_t at = line.find("{device}"); at != std::string::npos) line.replace(at, 8, device);
        wantLog.push_back(line);
      }
      EXPECT_EQ(f.Only({"log 1 Channel"}), wantLog);
      if (want.boxTitle.empty()) {
        EXPECT_TRUE(real.box.shown().empty());
        return;
      }
      ASSERT_EQ(real.box.shown().size(), 1u);
      EXPECT_EQ(real.box.shown()[0].title, want.boxTitle);
      // A port's box names the port and the device behind it.
      if (want.boxTitle == "Tarvex Device Initialization Error") {
        EXPECT_NE(real.box.shown()[0].text.find(device), std::string::npos) << real.box.shown()[0].text;
      }
      real.box.clear();
    };

    {
      WithoutFileOverride scope(rig.unprivileged);
      pass.Timer1_Timer();
    }
    {
      SCOPED_TRACE("first pass");
      EXPECT_TRUE(f.engine.DevicesInitialized);
      check(row.first, 0);
    }

    const size_t spokenBefore = f.speech.sentences().size();
    f.HandBack(row.ch);
    f.trace.clear();
    {
      WithoutFileOverride scope(rig.unprivileged);
      pass.Timer1_Timer();
    }
    {
      SCOPED_TRACE("after the hand-back");
      check(row.reinit, spokenBefore);
      EXPECT_EQ(f.Only({"pointer"}), Trace{"pointer 0"});
    }
  }
}

// Port 2 is a pseudo-terminal, port 9 a device that does not exist.
class ChannelOnAPty : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(pty.ok());
    f.scratch.MapPorts({{2, pty.path()}, {9, "/nonexistent/ttyUSB9"}});
  }

  EngineFixture f;
  PtyPair pty;
};

TEST_F(ChannelOnAPty, TheFirstPassLoadsEveryProtocolAndServesNoChannel) {
  f.StoreChannel(0, Channel(0));
  f.pass.Timer1_Timer();

  EXPECT_EQ(f.engine.ScanTick, 1);
  EXPECT_TRUE(f.engine.ChannelActive[0]);
  // Protocols 0 to 41 were read (all missing here: one error-log line each).
  const Trace protocolLines = f.Only({"log 1 "});
  ASSERT_EQ(protocolLines.size(), 42u);
  EXPECT_NE(protocolLines.front().find("STD Format File Not Found."), std::string::npos);
  EXPECT_EQ(f.Only({"log 5", "commands", "serial", "terminal", "pointer", "sleep"}),
            (Trace{"log 5 Initializing Devices...", "pointer 0"}));
  // Channels 1 to 7 had no file: they got the defaults, disabled.
  for (int32_t ch = 1; ch <= 7; ++ch) EXPECT_EQ(f.publication.StatusText[ch], "Device Disabled...");
  // Channel 8 is beyond MaxChannel: untouched.
  EXPECT_EQ(f.publication.StatusText[8], "");
  EXPECT_EQ(f.Lamps(8), "00000000");

  // The next pass serves it.
  f.trace.clear();
  f.pass.Timer1_Timer();
  EXPECT_EQ(f.Only({"commands", "serial", "terminal"}), (Trace{"commands 0", "serial data 0"}));
}

TEST_F(ChannelOnAPty, APersistentErrorOnOneChannelIsReportedOnceAndTheOthersAreServed) {
  ChannelSetup broken = Channel(0);
  broken.ComPortIndex = 8;
  f.StoreChannel(0, broken);
  f.StoreChannel(1, Channel(0));

  for (int pass = 0; pass < 3; ++pass) f.pass.Timer1_Timer();

  EXPECT_EQ(f.Only({"error "}), Trace{"error 0 8002"});
  EXPECT_EQ(f.Only({"serial data"}), (Trace{"serial data 1", "serial data 1"}));
  EXPECT_EQ(f.publication.StatusText[0], Failed);
  EXPECT_FALSE(f.engine.ChannelActive[0]);
  EXPECT_FALSE(f.engine.ScanInProgress);
}

TEST_F(ChannelOnAPty, APortIndexWithNoNextNumberOverflowsAndTheNextChannelStillOpens) {
  ChannelSetup damaged = Channel(0);
  damaged.ComPortIndex = std::numeric_limits<int32_t>::max();
  ChannelSetup onPort2 = Channel(0);
  f.StoreChannel(0, damaged);
  f.StoreChannel(1, onPort2);
  f.pass.Timer1_Timer();

  EXPECT_EQ(f.Only({"error "}), Trace{"error 0 6"});
  EXPECT_EQ(f.publication.StatusText[0], Failed);
  EXPECT_FALSE(f.engine.ChannelActive[0]);
  EXPECT_TRUE(f.engine.ChannelActive[1]);
}

TEST_F(ChannelOnAPty, ALogThatCannotBeWrittenDoesNotKeepTheChannelsFromBeingServed) {
  // The activity and OPC logs refuse every record (a full disk, a read-only
  // file); the rest of the program folder is fine.
  class RefusingLog final : public LogWriter {
  public:
    explicit RefusingLog(const ProgramFolder& folder) : LogWriter(folder, clock_) {}
    void WriteLog(int kind, std::string_view) override {
      throw RunTimeError(75, "Path/File access error (" + FileName(kind) + ")");
    }

  private:
    FixedClock clock_{QDateTime()};
  };
  f.StoreChannel(0, Channel(0));
  RefusingLog refusing(f.scratch.folder());
  ScanPass pass(f.Services(refusing));

  for (int n = 0; n < 3; ++n) pass.Timer1_Timer();

  EXPECT_TRUE(f.engine.DevicesInitialized);
  EXPECT_EQ(f.Only({"error "}), Trace{"error 0 75"});
  EXPECT_EQ(f.Only({"serial data"}), (Trace{"serial data 0", "serial data 0"}));
}

TEST_F(ChannelOnAPty, ProtocolZeroLightsTheDatabaseLampAndUnitsAreCapitals) {
  ChannelSetup database = Channel(0, 0);
  database.PrimaryUnits = 2;
  f.StoreChannel(0, database);
  f.pass.Timer1_Timer();
  EXPECT_EQ(f.Lamps(0), "00000110");
  std::string units = TrimBlanks(f.startup.Tables.WeightUnits(2));
  for (char& c : units) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  EXPECT_EQ(f.engine.PrimaryUnitsText[0], units);
  EXPECT_EQ(f.engine.PubStatBits[0], -32765);
  EXPECT_EQ(f.publication.PubGross[0], "-999999");
  EXPECT_TRUE(f.publication.OPCDirty[0]);
}

// The trace from the channel's first OPC call on: its OPC calls, OPC log lines
// and status line marks.
Trace OPCSteps(const EngineFixture& f) {
  Trace seen = f.Only({"OPC(0)", "log 6", "dirty 0 12"});
  while (!seen.empty() && seen.front().rfind("OPC(0)", 0) != 0) seen.erase(seen.begin());
  return seen;
}

TEST(ChannelInitialisation, OPCStepsAreLoggedWithTheFirstPassAndTheReinitialisationWording) {
  EngineFixture f;
  const ChannelSetup other = OtherWithOPC();
  f.StoreChannel(0, other);
  f.config.Channels[0].OPCTags[7] = "W.Eighth";  // the eighth slot, never stored in the file
  f.cfg.CfgProc(CfgOp::ReadChannel, 0);
  f.pass.Timer1_Timer();

  const Trace firstPass = {
      "OPC(0) server Velmar.OPC",
      "OPC(0) node plant",
      "OPC(0) rate 50",
      "OPC(0) connect",
      "log 6 Device:0; Connecting... Status: Connected h:0",
      "dirty 0 12",
      "OPC(0) item 0 W.Gross",
      "OPC(0) item 2 W.Net",
      "OPC(0) item 7 W.Eighth",
      "OPC(0) create group",
      "log 6 Device:0; Creating Group/Tags... Status: Group OK h:4",
      "dirty 0 12",
  };
  EXPECT_EQ(OPCSteps(f), firstPass);

  f.HandBack(0);
  f.config.Channels[0].OPCTags[7] = "W.Eighth";
  f.trace.clear();
  f.pass.Timer1_Timer();
  const Trace reinit = {
      "OPC(0) server Velmar.OPC",
      "OPC(0) node plant",
      "OPC(0) rate 50",
      "OPC(0) connect",
      "dirty 0 12",
      "log 6 Device:0; Connecting... Status: Connected  h:0",
      "OPC(0) item 0 W.Gross",
      "OPC(0) item 2 W.Net",
      "OPC(0) item 7 W.Eighth",
      "OPC(0) create group",
      "log 6 Device:0; Creating Group/Tags... Status: Group OK  h:4",
      "dirty 0 12",
  };
  EXPECT_EQ(OPCSteps(f), reinit);
}

TEST(ChannelInitialisation, EveryTerminalChannelPublishesItsDescriptionOnTheFirstPass) {
  EngineFixture f;
  ChannelSetup first = Channel(1);
  first.DeviceDescs = "North";
  ChannelSetup second = Channel(1);
  second.DeviceDescs = "South";
  f.StoreChannel(0, first);
  f.StoreChannel(1, second);
  f.pass.Timer1_Timer();
  EXPECT_EQ(f.net.registrations, 1);
  EXPECT_EQ(f.devices.At(0)->CDeviceDesc(), "North");
  EXPECT_EQ(f.devices.At(1)->CDeviceDesc(), "South");
  EXPECT_TRUE(f.window.DeviceDirty[1]);
  EXPECT_EQ(f.engine.ArcPathWt101[1], "/z/wt101");
}

TEST(ChannelInitialisation, AFailedRegistrationIsRetriedByTheNextTerminalChannelAndAfterSetupAtThePassStartEverySecond) {
  EngineFixture f;
  f.StoreChannel(0, Channel(1));
  f.StoreChannel(1, Channel(1));
  f.net.registerResult = 3;
  f.pass.Timer1_Timer();
  EXPECT_EQ(f.net.registrations, 2);
  EXPECT_FALSE(f.engine.ZelApiReopen);

  // Set up again: the re-initialisation's failure asks for re-registration,
  // which a later pass makes at its start, once, a second after the failure.
  f.HandBack(1);
  f.pass.Timer1_Timer();
  EXPECT_TRUE(f.engine.ZelApiReopen);
  // Channel 1's own attempt only: no inactive channel tries again.
  EXPECT_EQ(f.net.registrations, 2 + 1);
  f.net.registerResult = 0;
  f.clock.milliseconds += 999;
  f.pass.Timer1_Timer();
  EXPECT_EQ(f.net.registrations, 2 + 1);
  f.clock.milliseconds += 1;
  f.trace.clear();
  f.pass.Timer1_Timer();
  EXPECT_EQ(f.Only({"register"}), Trace{"register 125 -> 0"});
  EXPECT_TRUE(f.engine.ZelApiOpen);
  EXPECT_FALSE(f.engine.ZelApiReopen);
  // The handed-back channel was consumed by the failed re-initialisation; it
  // is not re-initialised again until the dialog hands it back.
  EXPECT_FALSE(f.engine.ChannelActive[1]);
  f.HandBack(1);
  f.pass.Timer1_Timer();
  EXPECT_TRUE(f.engine.ChannelActive[1]);
}

TEST_F(ChannelOnAPty, AReopenedSerialChannelStartsWithEmptyBuffersAndNoStaleBytes) {
  f.StoreChannel(0, Channel(0));
  f.pass.Timer1_Timer();
  ASSERT_TRUE(f.engine.ChannelActive[0]);

  f.engine.RxBuffer[0] = "12.5 kg\r";
  f.engine.TxBuffer[0] = "\"OK\"\n";
  f.HandBack(0);
  ASSERT_TRUE(pty.Send("stale"));
  ASSERT_TRUE(testing::WaitUntil([&] {
    pollfd entry{pty.deviceSide(), POLLIN, 0};
    return ::poll(&entry, 1, 0) > 0;
  }));
  f.pass.Timer1_Timer();

  ASSERT_TRUE(f.engine.ChannelActive[0]);
  EXPECT_EQ(f.engine.RxBuffer[0], "");
  EXPECT_EQ(f.engine.TxBuffer[0], "");
  EXPECT_EQ(f.ports[0].InBufferCount(), 0);
  EXPECT_EQ(f.publication.StatusText[0], Ready);
}

TEST(ChannelInitialisation, TheSpokenMessagesNameTheChannelFromOne) {
  EXPECT_EQ(ChannelInitialisation::PortMessage(11),
            "Attention!, A Tarvex error has occured trying to initialize Channel 12's  COM port. Channel  12 will not "
            "be enabled. Please check for other channels that may be set to the same com port. Please un check the "
            "ENABLED check box in the upper right hand area of Channel 12's setup screen to eliminate this message. "
            "Please contact Velmar Orinda Technical Support if you need additional assistance.");
  EXPECT_EQ(ChannelInitialisation::NetworkMessage(0),
            "Attention!, A Tarvex error has occured trying to initialize Channel 1's  ARC NET port. The ARC NET "
            "interface may not be functional.Try exiting and then restarting Tarvex. If this error still occurs, try "
            "rebooting the computer. Please contact Velmar Orinda Technical Support if you need additional "
            "assistance.");
}

TEST(ChannelInitialisation, AnInactiveChannelHasItsWeightCellsBlankedEveryPass) {
  EngineFixture f;
  f.pass.Timer1_Timer();
  f.publication.NewGross[3] = "12.5";
  f.trace.clear();
  f.pass.Timer1_Timer();
  EXPECT_EQ(f.publication.NewGross[3], "");
  EXPECT_EQ(f.Only({"dirty 3 "}), (Trace{"dirty 3 9", "dirty 3 10", "dirty 3 11"}));
}

}  // namespace
}  // namespace tarvex
