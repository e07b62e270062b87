// Operations 3, 7, 8 and 9 of the configuration procedure on real serial
// ports (pseudo-terminal pairs), with the port error handler of operation 7.
#include "config/serial_port_operations.h"

#include <gtest/gtest.h>
#include <termios.h>

#include <QDateTime>
#include <string>
#include <utility>
#include <vector>

#include "config/cfg_proc.h"
#include "config/channel_file.h"
#include "core/fixed_tables.h"
#include "tests/support/config_fixture.h"
#include "tests/support/pty_pair.h"

namespace tarvex {
namespace {

using testing::PtyPair;
using testing::ScratchFolder;

using test::RecordingLog;

const std::string Closing = "Please contact Velmar Orinda Technical Support if you need additional assistance.";

class PortOperationsTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(pty.ok());
    InitCommSettings(startup.Tables);
    // Port 4 (ComPortIndex 3) is the pseudo-terminal.
    scratch.MapPorts({{4, pty.path()}});
  }

  // Channel `ch` set to port 4 with the given settings entry.
  ChannelSetup& SetChannel(int ch, int settingsIndex, bool xonXoff, bool enabled) {
    ChannelSetup& setup = config.Channels[ch];
    setup.ComPortIndex = 3;
    setup.PortSettingsIndex = settingsIndex;
    setup.XonXoff = xonXoff;
    setup.DeviceEnabled = enabled;
    return setup;
  }

  PtyPair pty;
  ScratchFolder scratch;
  FixedClock clock{QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7))};
  RecordingLog log{scratch.folder(), clock};
  RecordingMessageBox boxes;
  RecordingSpeech speech;
  StartupState startup;
  ConfigState config;
  SerialPortArray ports{scratch.folder()};
  SerialPortOperations operations{config, startup, ports, log, boxes, speech};
};

TEST_F(PortOperationsTest, openingAnEnabledChannelAppliesItsSettingsAndOpensThePort) {
  struct Row {
    int settingsIndex;
    bool xonXoff;
    const char* text;
    speed_t speed;
    tcflag_t requestedFrame;  // CSIZE, PARENB, PARODD and CSTOPB bits
  };
  const Row rows[] = {
      {33, false, "9600,N,8,1", B9600, CS8},
      {33, true, "9600,N,8,1", B9600, CS8},
      {0, true, "1200,N,7,1", B1200, CS7},
      {20, false, "4800,E,7,1", B4800, CS7 | PARENB},
      {49, true, "38400,O,7,2", B38400, CS7 | PARENB | PARODD | CSTOPB},
      {53, true, "38400,E,8,1", B38400, CS8 | PARENB},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text + std::string(row.xonXoff ? " XON/XOFF" : ""));
    SetChannel(2, row.settingsIndex, row.xonXoff, true);
    operations.OpenPort(2);

    SerialPort& port = ports[2];
    ASSERT_TRUE(port.PortOpen());
    EXPECT_EQ(port.Settings(), row.text);
    EXPECT_EQ(port.CommPort(), 4);
    EXPECT_EQ(port.Handshaking(), row.xonXoff ? 1 : 0);

    const termios device = pty.DeviceAttributes();
    EXPECT_EQ(cfgetospeed(&device), row.speed);
    EXPECT_EQ(device.c_iflag & (IXON | IXOFF), row.xonXoff ? tcflag_t(IXON | IXOFF) : tcflag_t(0));
    EXPECT_EQ(port.RequestedAttributes()->c_cflag & (CSIZE | PARENB | PARODD | CSTOPB),
              row.requestedFrame);

    const ChannelPortSettings& applied = operations.PortSettings(2);
    EXPECT_EQ(applied.CommPortNumber, 4);
    EXPECT_EQ(applied.CommSettingsText, row.text);
    EXPECT_EQ(applied.Handshaking, row.xonXoff ? -1 : 0);
    EXPECT_TRUE(config.Channels[2].DeviceEnabled);
  }
  EXPECT_TRUE(log.lines.empty());
  EXPECT_TRUE(boxes.shown().empty());
  EXPECT_TRUE(speech.sentences().empty());
}

TEST_F(PortOperationsTest, anOpenPortIsClosedReconfiguredAndOpenedAgainAfterSavingItsSettings) {
  SetChannel(0, 33, false, true);
  operations.OpenPort(0);
  ASSERT_TRUE(ports[0].PortOpen());

  SetChannel(0, 10, true, true);  // "2400,O,7,1"
  operations.OpenPort(0);
  EXPECT_TRUE(ports[0].PortOpen());
  const termios attributes = pty.DeviceAttributes();
  EXPECT_EQ(cfgetospeed(&attributes), speed_t(B2400));
  EXPECT_EQ(ports[0].Settings(), "2400,O,7,1");

  const ChannelPortSettings& saved = operations.PortSettings(0);
  EXPECT_EQ(saved.SavedCommSettings, "9600,N,8,1");
  EXPECT_EQ(saved.SavedCommPort, 4);
  EXPECT_EQ(saved.SavedHandshaking, 0);
  EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(PortOperationsTest, aDisabledChannelGetsItsSettingsButNoOpenAndNoPortError) {
  // Port 7 has no device at all: opening it would fail.
  ChannelSetup& setup = SetChannel(1, 24, true, false);
  setup.ComPortIndex = 6;
  operations.OpenPort(1);
  EXPECT_FALSE(ports[1].PortOpen());
  EXPECT_EQ(ports[1].CommPort(), 7);
  EXPECT_EQ(ports[1].Settings(), "4800,N,8,1");
  EXPECT_EQ(ports[1].Handshaking(), 1);

  // An open port of a channel that was disabled meanwhile is closed.
  SetChannel(1, 33, false, true);
  operations.OpenPort(1);
  ASSERT_TRUE(ports[1].PortOpen());
  SetChannel(1, 33, false, false);
  operations.OpenPort(1);
  EXPECT_FALSE(ports[1].PortOpen());
  EXPECT_TRUE(log.lines.empty());
  EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(PortOperationsTest, saveAndRestoreMoveThePortsSettingsWithoutOpeningOrClosingIt) {
  SerialPort& port = ports[5];
  port.SetSettings("19200,E,7,2");
  port.SetCommPort(11);
  port.SetHandshaking(1);
  operations.SavePortSettings(5);

  port.SetSettings("1200,N,8,1");
  port.SetCommPort(2);
  port.SetHandshaking(0);
  operations.RestorePortSettings(5);
  EXPECT_EQ(port.Settings(), "19200,E,7,2");
  EXPECT_EQ(port.CommPort(), 11);
  EXPECT_EQ(port.Handshaking(), 1);
  EXPECT_FALSE(port.PortOpen());

  // On an open port the saved settings are taken as they are and the port
  // stays open.
  port.SetCommPort(4);
  port.SetPortOpen(true);
  operations.SavePortSettings(5);
  port.SetSettings("2400,N,8,1");
  operations.RestorePortSettings(5);
  EXPECT_TRUE(port.PortOpen());
  EXPECT_EQ(port.Settings(), "19200,E,7,2");
}

// How the port of the channel under test is made unusable.
enum class Fault { MissingDevice, PortInUse };

struct PortErrorRow {
  const char* legend;
  Fault fault;
  bool speechOn;
  const char* logLine;
  const char* boxText;
  std::vector<std::string> spoken;
};

TEST_F(PortOperationsTest, aPortThatIsInvalidOrInUseRestoresTheSettingsAndDisablesTheChannel) {
  const std::string invalidSentence =
      "Attention!, A Tarvex error has occured on Channel 2,  You have selected an invalid COM port. "
      "I am restoring default com port settings and disabling channel 2now." + Closing;
  const std::string inUseSentence =
      "Attention!, A Tarvex error has occured on Channel 2,  You have selected a COM port that is "
      "already is use. I am restoring default com port settings and disabling channel 2now." +
      Closing;
  const PortErrorRow rows[] = {
      {"missing device, speech on", Fault::MissingDevice, true, "Invalid COM: Port Selected.",
       "The COM: port you have selected is invalid.\r\nDisabling Device Now...", {invalidSentence}},
      {"missing device, speech off", Fault::MissingDevice, false, "Invalid COM: Port Selected.",
       "The COM: port you have selected is invalid.\r\nDisabling Device Now...", {}},
      {"port in use, speech on", Fault::PortInUse, true, "COM: Port Already In Use.",
       "The COM: port you have selected is already in use...\r\nDisabling Device Now...",
       {inUseSentence}},
      {"port in use, speech off", Fault::PortInUse, false, "COM: Port Already In Use.",
       "The COM: port you have selected is already in use...\r\nDisabling Device Now...", {}},
  };
  for (const PortErrorRow& row : rows) {
    SCOPED_TRACE(row.legend);
    ScratchFolder folder;
    RecordingLog rowLog{folder.folder(), clock};
    RecordingMessageBox rowBoxes;
    RecordingSpeech rowSpeech;
    SerialPortArray rowPorts{folder.folder()};
    ConfigState rowConfig;
    startup.SpeechEnabled = row.speechOn;
    SerialPortOperations rowOperations{rowConfig, startup, rowPorts, rowLog, rowBoxes, rowSpeech};

    SerialPort holder(folder.folder());  // another channel or program
    if (row.fault == Fault::MissingDevice) {
      folder.MapPorts({{4, "/nonexistent/ttyUSB7"}});
    } else {
      folder.MapPorts({{4, pty.path()}, {9, pty.path()}});
      holder.SetCommPort(9);
      holder.SetPortOpen(true);
    }

    // What the port held before the OK: these must come back.
    rowPorts[1].SetSettings("2400,O,7,1");
    rowPorts[1].SetCommPort(12);
    rowPorts[1].SetHandshaking(1);

    ChannelSetup& setup = rowConfig.Channels[1];
    setup.ComPortIndex = 3;
    setup.PortSettingsIndex = 33;
    setup.XonXoff = false;
    setup.DeviceEnabled = true;
    rowOperations.OpenPort(1);

    // The fixed line, then the port, its device and the reason.
    ASSERT_EQ(rowLog.lines.size(), 2u);
    EXPECT_EQ(rowLog.lines[0].kind, LogKind::Error);
    EXPECT_EQ(rowLog.lines[0].text, row.logLine);
    EXPECT_EQ(rowLog.lines[1].kind, LogKind::Error);
    EXPECT_EQ(rowLog.lines[1].text.rfind("Channel 2: ", 0), 0u) << rowLog.lines[1].text;
    EXPECT_EQ(rowSpeech.sentences(), row.spoken);
    ASSERT_EQ(rowBoxes.shown().size(), 1u);
    EXPECT_EQ(rowBoxes.shown()[0].text, row.boxText);
    EXPECT_EQ(rowBoxes.shown()[0].title, "Tarvex Setup Error");
    EXPECT_EQ(rowBoxes.shown()[0].style, MsgBoxStyle::OkOnly | MsgBoxStyle::Critical);

    EXPECT_FALSE(rowPorts[1].PortOpen());
    EXPECT_EQ(rowPorts[1].Settings(), "2400,O,7,1");
    EXPECT_EQ(rowPorts[1].CommPort(), 12);
    EXPECT_EQ(rowPorts[1].Handshaking(), 1);
    EXPECT_FALSE(rowConfig.Channels[1].DeviceEnabled);
    // The channel's own settings are not touched.
    EXPECT_EQ(rowConfig.Channels[1].ComPortIndex, 3);
    EXPECT_EQ(rowConfig.Channels[1].PortSettingsIndex, 33);
    if (row.fault == Fault::PortInUse) {
      EXPECT_TRUE(holder.PortOpen());
    }
  }
}

TEST_F(PortOperationsTest, anUnusableSettingsEntryTakesTheCriticalErrorPath) {
  startup.SpeechEnabled = true;
  for (const int settingsIndex : {54, 65, 66, -1}) {
    SCOPED_TRACE(settingsIndex);
    log.lines.clear();
    boxes.clear();
    SetChannel(3, settingsIndex, false, true);
    operations.OpenPort(3);

    ASSERT_EQ(log.lines.size(), 1u);
    const std::string& line = log.lines[0].text;
    EXPECT_EQ(log.lines[0].kind, LogKind::Error);
    EXPECT_EQ(line.rfind("Critical Error: 380  Invalid property value", 0), 0u) << line;
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text, line + "\r\nPlease Contact Velmar-Orinda Technical Services...");
    EXPECT_EQ(boxes.shown()[0].title, "Tarvex Setup Error");
    EXPECT_EQ(boxes.shown()[0].style, MsgBoxStyle::OkOnly | MsgBoxStyle::Critical);

    // Nothing spoken, nothing restored, the channel stays enabled and closed.
    EXPECT_TRUE(speech.sentences().empty());
    EXPECT_TRUE(config.Channels[3].DeviceEnabled);
    EXPECT_FALSE(ports[3].PortOpen());
    EXPECT_EQ(ports[3].Settings(), "9600,N,8,1");
  }
}

TEST_F(PortOperationsTest, aChannelWithoutASerialPortTakesTheCriticalErrorPath) {
  // Channel 32 has settings but no port of its own.
  SetChannel(32, 33, false, true);
  operations.OpenPort(32);
  ASSERT_EQ(log.lines.size(), 1u);
  EXPECT_EQ(log.lines[0].text.rfind("Critical Error: 9  Subscript out of range", 0), 0u)
      << log.lines[0].text;
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_TRUE(config.Channels[32].DeviceEnabled);
}

TEST_F(PortOperationsTest, anErrorInsideTheHandlerReachesTheCaller) {
  // The error log cannot be written: the handler's own failure is not handled.
  class FailingLog final : public LogWriter {
  public:
    using LogWriter::LogWriter;
    void WriteLog(int, std::string_view) override {
      throw RunTimeError(ErrorNumber::PathFileAccessError);
    }
  } failingLog{scratch.folder(), clock};
  SerialPortOperations failing{config, startup, ports, failingLog, boxes, speech};
  ChannelSetup& setup = SetChannel(0, 33, false, true);
  setup.ComPortIndex = 7;  // port 8: no device
  try {
    failing.OpenPort(0);
    ADD_FAILURE() << "no error reached the caller";
  } catch (const RunTimeError& error) {
    EXPECT_EQ(error.number(), ErrorNumber::PathFileAccessError);
  }
  EXPECT_TRUE(boxes.shown().empty());
  EXPECT_TRUE(config.Channels[0].DeviceEnabled);
}

TEST_F(PortOperationsTest, writingAChannelRecordsWhetherItsPortCouldBeOpened) {
  ConfigProcedure procedure(config, startup, scratch.folder(), log);
  procedure.SetPortOperations(&operations);
  SerialPort otherProgram(scratch.folder());
  scratch.MapPorts({{4, pty.path()}, {5, "/nonexistent/ttyACM0"}, {9, pty.path()}});

  struct Row {
    const char* legend;
    int32_t comPortIndex;
    int32_t settingsIndex;
    bool holdDevice;
    bool enabledInFile;
    bool portOpen;
  };
  const Row rows[] = {
      {"usable port", 3, 33, false, true, true},
      {"missing device", 4, 33, false, false, false},
      {"port in use", 3, 33, true, false, false},
      {"unusable settings: critical error", 3, 60, false, true, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.legend);
    if (row.holdDevice) {
      otherProgram.SetCommPort(9);
      otherProgram.SetPortOpen(true);
    }
    config.Channels[0] = ChannelDefaults(0, scratch.folder()).Setup;
    SetChannel(0, row.settingsIndex, false, true).ComPortIndex = row.comPortIndex;

    procedure.CfgProc(CfgOp::WriteChannel, 0);

    const std::string path = procedure.ChannelFilePath(0);
    EXPECT_EQ(ParseChannelFile(test::ReadBytes(path), path).Setup.DeviceEnabled, row.enabledInFile);
    EXPECT_EQ(config.Channels[0].DeviceEnabled, row.enabledInFile);
    EXPECT_EQ(ports[0].PortOpen(), row.portOpen);
    if (ports[0].PortOpen()) ports[0].SetPortOpen(false);
    if (otherProgram.PortOpen()) otherProgram.SetPortOpen(false);
  }
  EXPECT_EQ(boxes.shown().size(), 3u);
}

}  // namespace
}  // namespace tarvex
