// A channel's state as the scan tells it: a channel the engine stops serving
// is shown off-line on the bus, a port that cannot be opened leaves the
// operator's channel file alone, a channel file naming no protocol of the
// table is refused with its place, a channel without a protocol is opened the
// same way on the first pass and after setup, and a port that is not open
// lets the pass go on.
#include <gtest/gtest.h>

#include <fstream>

#include "config/channel_file.h"
#include "engine/scale_data/terminal_scale_data.h"
#include "tests/support/commands_fixture.h"

namespace tarvex {
namespace {

constexpr int16_t Offline = 16;

ChannelSetup OnPort2(int32_t protocol = 5) {
  ChannelSetup c;
  c.ChannelProtocol = protocol;
  c.ConnectUsing = ConnectionType::PcSerialPort;
  c.ComPortIndex = 1;  // port 2, the pty
  c.PortSettingsIndex = 33;
  c.DeviceEnabled = true;
  c.DeviceDescs = "Line scale";
  c.PrimaryUnits = 1;
  c.Timeout = 50;
  return c;
}

ChannelSetup OnTerminal() {
  ChannelSetup c = OnPort2();
  c.ConnectUsing = ConnectionType::ArcNet;
  c.DeviceID = " 3 ";
  return c;
}

// Port 2 is a pseudo-terminal, port 9 a device that does not exist.
struct PtyChannelFixture : EngineFixture {
  PtyChannelFixture() { scratch.MapPorts({{2, pty.path()}, {9, "/nonexistent/ttyUSB9"}}); }
  // Channel 0 stored on port 2 and served, having published status 0 (a
  // good weight) on the bus.
  void ServeChannelZero(const ChannelSetup& record) {
    StoreChannel(0, record);
    pass.Timer1_Timer();  // the first pass opens the port
    engine.ScaleStatBits[0] = 0;
    engine.PubStatBits[0] = 0;
    handshake.UpdateActiveX(ValueCode::ScaleStat, 0);
    handshake.CallDeviceUpdateMethod(0);
  }
  Device& Bus(int32_t ch) { return *devices.At(ch); }
  PtyPair pty;
};

TEST(OutOfService, AChannelTheEngineStopsServingShowsTheOfflineBitOnceOnTheBus) {
  struct Row {
    const char* legend;
    ChannelSetup record;
    std::function<void(PtyChannelFixture&)> stop;  // what takes the channel out of service
    bool stillActive;
  };
  const std::vector<Row> rows = {
      {"the port is gone when the channel is handed back", OnPort2(),
       [](PtyChannelFixture& f) {
         f.HandBack(0);
         f.config.Channels[0].ComPortIndex = 8;  // port 9: no device
       },
       false},
      {"the operator disables the channel in its setup", OnPort2(),
       [](PtyChannelFixture& f) {
         ChannelSetup disabled = OnPort2();
         disabled.DeviceEnabled = false;
         f.StoreChannel(0, disabled);
         f.HandBack(0);
       },
       false},
      {"the operator gives the channel a connection that nothing serves", OnPort2(),
       [](PtyChannelFixture& f) {
         ChannelSetup other = OnPort2();
         other.ConnectUsing = ConnectionType::Other;
         f.StoreChannel(0, other);
         f.HandBack(0);
       },
       false},
      {"a terminal that stops answering (Network ID Error...)", OnTerminal(),
       [](PtyChannelFixture& f) {
         f.net.readResult = 1;
         ScanSurroundings services = f.Services(f.log);
         TerminalScaleData(services).ReadTerminalGross(0);
         ASSERT_EQ(f.publication.StatusText[0], "Network ID Error...");
       },
       false},
      {"a channel without a protocol of the table", OnPort2(-1), [](PtyChannelFixture&) {}, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.legend);
    PtyChannelFixture f;
    ASSERT_TRUE(f.pty.ok());
    f.ServeChannelZero(row.record);
    ASSERT_TRUE(f.engine.ChannelActive[0]);
    const uint64_t updatesBefore = f.Bus(0).UpdateSequence();
    ASSERT_EQ(f.Bus(0).CScaleStat(), 0);

    row.stop(f);
    for (int n = 0; n < 4; ++n) f.pass.Timer1_Timer();

    EXPECT_EQ(f.engine.ChannelActive[0], row.stillActive);
    EXPECT_EQ(f.Bus(0).CScaleStat() & Offline, Offline);
    // Published once, with its own update: not again on every pass.
    EXPECT_EQ(f.Bus(0).UpdateSequence(), updatesBefore + 1);
    // The next frame's status (without the bit) differs from what was
    // published, so that frame publishes it and clears the bit.
    EXPECT_EQ(f.engine.PubStatBits[0] & Offline, Offline);
  }
}

// A missing or busy device at the scan's (re)initialisation: a USB adapter
// that enumerates late, a port another program holds for a moment.
TEST(PortAtInitialisation, AMissingOrBusyDeviceDisablesTheChannelInMemoryAndKeepsItsFile) {
  struct Row {
    const char* legend;
    bool busy;  // else missing
    const char* logLine;
    const char* reason;
  };
  const Row rows[] = {
      {"missing", false, "Channel: 1  Invalid COM: Port Selected.", "No such file or directory"},
      {"busy", true, "Channel: 1  COM: Port Already In Use.", "in use by another channel or program"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.legend);
    PtyChannelFixture f;
    ASSERT_TRUE(f.pty.ok());
    ChannelSetup record = OnPort2();
    record.TxDelay = 20;
    record.DeviceDescs = "Truck scale";
    if (!row.busy) record.ComPortIndex = 8;
    f.StoreChannel(0, record);
    const std::string fileBefore = f.ChannelFileBytes(0);
    std::optional<SerialPort> holder;
    if (row.busy) {
      holder.emplace(f.scratch.folder());
      holder->SetCommPort(2);
      holder->SetPortOpen(true);
    }
    const std::string device = row.busy ? f.pty.path() : "/nonexistent/ttyUSB9";
    const std::string port = row.busy ? "port 2 " : "port 9 ";
    RealErrorHandling real(f);

    for (int n = 0; n < 3; ++n) real.pass.Timer1_Timer();
    f.HandBack(0);
    real.pass.Timer1_Timer();

    // Twice told (first pass, hand-back), each with the port and its device.
    ASSERT_EQ(real.box.shown().size(), 2u);
    for (const auto& box : real.box.shown()) {
      EXPECT_EQ(box.title, "Tarvex Device Initialization Error");
      EXPECT_NE(box.text.find(port + device), std::string::npos) << box.text;
      EXPECT_NE(box.text.find(row.reason), std::string::npos) << box.text;
      EXPECT_EQ(box.text.find("Restoring default"), std::string::npos) << box.text;
    }
    const Trace logged = f.Only({"log 1 Channel"});
    ASSERT_EQ(logged.size(), 4u);
    EXPECT_EQ(logged[0], std::string("log 1 ") + row.logLine);
    EXPECT_NE(logged[1].find(port + device + ": " + row.reason), std::string::npos) << logged[1];
    // In memory: off, failed and not served; on disk: the operator's settings.
    EXPECT_FALSE(f.config.Channels[0].DeviceEnabled);
    EXPECT_FALSE(f.engine.ChannelActive[0]);
    EXPECT_EQ(f.publication.StatusText[0], "Initialization Error...");
    EXPECT_TRUE(f.grid.IndicatorOn(0, Lamp::Error));
    EXPECT_EQ(f.ChannelFileBytes(0), fileBefore);
    EXPECT_FALSE(std::ifstream(f.cfg.ChannelFilePath(0) + ".bak").good());
    EXPECT_EQ(f.config.Channels[0].DeviceDescs, "Truck scale");

    // Once the device is back, the hand-back serves the channel as it was set up.
    holder.reset();
    if (!row.busy) f.scratch.MapPorts({{2, f.pty.path()}, {9, f.pty.path()}});
    f.HandBack(0);
    real.pass.Timer1_Timer();
    EXPECT_TRUE(f.engine.ChannelActive[0]);
    EXPECT_EQ(f.publication.StatusText[0], "Ready...");
  }
}

TEST(ChannelFileProtocol, ANumberOutsideTheTableIsRefusedWithFileFieldAndLine) {
  struct Row {
    const char* field;
    bool accepted;
  };
  const Row rows[] = {{"-1", true}, {"0", true}, {"41", true}, {"42", false}, {"57", false}, {"-2", false},
                      {"2147483647", false}};
  const std::string path = "/plant/Tarvex-SCALE3.Cfg";
  const std::string defaults = FormatChannelFile(ChannelDefaults(2, ProgramFolder("/plant")), path);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.field);
    const std::string bytes = row.field + defaults.substr(defaults.find(','));
    if (row.accepted) {
      EXPECT_EQ(ParseChannelFile(bytes, path).Setup.ChannelProtocol, std::stoi(row.field));
      continue;
    }
    try {
      ParseChannelFile(bytes, path);
      ADD_FAILURE() << "accepted";
    } catch (const RunTimeError& error) {
      EXPECT_EQ(error.number(), ErrorNumber::InvalidPropertyValue);
      EXPECT_NE(error.description().find(path + ": field 1 (ChannelProtocol), line 1: "), std::string::npos)
          << error.description();
      EXPECT_NE(error.description().find(std::string("found ") + row.field), std::string::npos)
          << error.description();
    }
  }
}

TEST(ChannelFileProtocol, TheFirstPassShowsTheDamagedFileAndDoesNotRunTheChannel) {
  PtyChannelFixture f;
  ASSERT_TRUE(f.pty.ok());
  f.StoreChannel(0, OnPort2());
  const std::string path = f.cfg.ChannelFilePath(0);
  std::string bytes = f.ChannelFileBytes(0);
  bytes.replace(0, bytes.find(','), "57");
  std::ofstream(path, std::ios::binary) << bytes;
  RealErrorHandling real(f);

  real.pass.Timer1_Timer();

  ASSERT_EQ(real.box.shown().size(), 1u);
  const std::string& text = real.box.shown()[0].text;
  EXPECT_NE(text.find(path + ": field 1 (ChannelProtocol), line 1: "), std::string::npos) << text;
  EXPECT_FALSE(f.engine.ChannelActive[0]);
  EXPECT_EQ(f.publication.StatusText[0], "Initialization Error...");
  EXPECT_TRUE(f.grid.IndicatorOn(0, Lamp::Error));
  EXPECT_EQ(f.ChannelFileBytes(0), bytes);
}

// Setup stores -1 when no protocol is chosen; the first pass opens such a
// channel, and so must its re-initialisation after setup.
TEST(NoProtocol, AChannelWithoutAProtocolIsOpenedAlikeOnTheFirstPassAndAfterSetup) {
  PtyChannelFixture f;
  ASSERT_TRUE(f.pty.ok());
  f.StoreChannel(0, OnPort2(-1));
  RealErrorHandling real(f);

  real.pass.Timer1_Timer();
  const std::string firstStatus = f.publication.StatusText[0];
  const std::string firstLamps = f.Lamps(0);
  EXPECT_TRUE(f.engine.ChannelActive[0]);
  f.HandBack(0);
  real.pass.Timer1_Timer();

  EXPECT_TRUE(real.box.shown().empty()) << real.box.shown()[0].text;
  EXPECT_TRUE(f.Only({"log 1 Channel"}).empty());
  EXPECT_TRUE(f.engine.ChannelActive[0]);
  EXPECT_EQ(f.publication.StatusText[0], firstStatus);
  EXPECT_EQ(f.Lamps(0), firstLamps);
}

// A port that is not open (8012) is no error of the pass: whatever step it
// escapes from, the channel's tail and the later channels still run.
TEST(PortNotOpen, ThePassGoesOnWithTheChannelsTailAndTheNextChannels) {
  CommandsFixture f;
  for (int32_t ch = 0; ch <= 2; ++ch) f.ActiveChannel(ch, 5, ConnectionType::PcSerialPort);
  f.data.raiseOn = 1;
  f.data.number = ErrorNumber::PortNotOpen;
  f.window.DeviceDirty[1] = true;
  f.grid.Light(1, Lamp::Error, true);

  f.Pass();

  EXPECT_EQ(f.Only({"data"}), (Trace{"data 0", "data 2"}));
  EXPECT_FALSE(f.window.DeviceDirty[1]);  // its tail flushed the Device update
  EXPECT_FALSE(f.grid.IndicatorOn(1, Lamp::Error));
  EXPECT_TRUE(f.box.shown.empty());
  EXPECT_TRUE(f.errorLog.Texts().empty());
  EXPECT_FALSE(f.engine.ScanInProgress);
}

}  // namespace
}  // namespace tarvex
