// The scan error handler behind the pass's boundary: every class of error
// number, what the operator, the logs and the device get, the in-tray
// variant, the port fallback with its kept channel file, and a handler whose
// own steps fail.
#include <gtest/gtest.h>

#include "tests/support/commands_fixture.h"

namespace tarvex {
namespace {

constexpr int32_t Ch = 2;  // shown as channel 3
const std::string Contact = "\r\nPlease Contact Velmar-Orinda Technical Services...";
const std::string SerialReply = "\"ERROR\"\n\"!\"\n";

struct ErrorCase {
  int32_t number;
  std::string statusDuring;  // empty: the status line is left alone
  std::string logLine;
  std::string boxTitle;
  std::string boxText;
  bool replies;  // a database error answers the device
  std::string spoken;
};

std::string Critical(int32_t n) {
  return "Channel: 3  Critical Error: " + std::to_string(n) + "  Bad C:\\db";
}
ErrorCase CriticalCase(int32_t n) {
  const std::string number = std::to_string(n);
  return {n,
          "",
          Critical(n),
          "Tarvex Scan System Error",
          "Critical Error: " + number + "  Bad C:\\db" + Contact,
          false,
          "Attention!, A Critical Tarvex error has occured, possibly on Channel 3,  The error is number, " + number +
              " , Bad C:\\db , Please contact Velmar Orinda Technical Support with this information."};
}
const std::string SpokenDescription = "Bad C colon,  Backslash, db";
const std::string CorrectNow =
    ".  Please correct this problem now, or contact Velmar Orinda Technical Support for additional assistance.";
ErrorCase DatabaseCase(int32_t n, const std::string& status, const std::string& label, const std::string& middle,
                       const std::string& closing) {
  const std::string line = "Channel: 3" + label + std::to_string(n) + "  Bad C:\\db";
  return {n,    status, line, "Tarvex ZelODBC Error", line + Contact, true,
          "Attention!, A Tarvex error has occured on Channel 3" + middle + SpokenDescription + closing};
}
ErrorCase Sql(int32_t n) {
  return DatabaseCase(n, "SQL ERROR...", "  JET Expression Error: ", ",  This is a S Q L Error, ",
                      ".  Please correct this problem now in your zel basic program,  or contact Velmar Orinda "
                      "Technical Support for additional assistance.");
}
ErrorCase Db(int32_t n) {
  return DatabaseCase(n, "DB ERROR...", "  JET Database Error: ", ",  This is a Database Error, ", CorrectNow);
}
ErrorCase Rdo(int32_t n) {
  return DatabaseCase(n, "RDO ERROR...", "  RDO Error: ", ",  This is a Database Error, ", CorrectNow);
}

class ErrorClass : public ::testing::TestWithParam<ErrorCase> {};

// Channel Ch raises the error in its data step; channels 0 and 1 are served
// before it.
void RaiseOn(CommandsFixture& f, int32_t connection, const ErrorCase& c) {
  for (int32_t ch = 0; ch <= Ch; ++ch) f.ActiveChannel(ch, 0, connection);
  f.startup.MaxChannel = 3;
  f.ActiveChannel(3, 0, connection);  // after the failing channel
  f.config.Channels[Ch].InteractiveDBErrors = true;
  f.startup.ChannelLogEnabled[Ch] = true;
  f.startup.SpeechEnabled = true;
  f.engine.ArcPathLit01[Ch] = "/zNODE3/lit01";
  f.engine.TxBuffer[Ch] = "\"waiting reply\"";
  f.data.raiseOn = Ch;
  f.data.number = c.number;
  f.data.description = "Bad C:\\db";
}

TEST_P(ErrorClass, OnASerialChannel) {
  const ErrorCase& c = GetParam();
  CommandsFixture f;
  RaiseOn(f, ConnectionType::PcSerialPort, c);
  f.publication.StatusText[Ch] = "Online...";

  f.Pass();

  EXPECT_FALSE(f.engine.ScanInProgress);
  // The pass ended at the failing channel.
  EXPECT_EQ(f.Only({"data"}), (Trace{"data 0", "data 1"}));
  EXPECT_EQ(f.errorLog.Texts(LogKind::Error), std::vector<std::string>{c.logLine});
  ASSERT_EQ(f.box.shown.size(), 1u);
  EXPECT_EQ(f.box.shown[0].title, c.boxTitle);
  EXPECT_EQ(f.box.shown[0].text, c.boxText);
  EXPECT_EQ(f.box.shown[0].style, MsgBoxStyle::Critical);
  EXPECT_EQ(f.voice.sentences, std::vector<std::string>{c.spoken});
  EXPECT_EQ(f.Lamps(Ch), "00000000");
  EXPECT_EQ(f.Only({"mark all"}), Trace{"mark all cells dirty"});
  if (c.replies) {
    // Behind the reply still waiting for the transmit timer.
    EXPECT_EQ(f.engine.TxBuffer[Ch], "\"waiting reply\"" + SerialReply);
    EXPECT_EQ(f.errorLog.Texts(LogKind::Transmit), std::vector<std::string>{SerialReply});
    EXPECT_EQ(f.publication.StatusText[Ch], "Ready...");
    EXPECT_NE(std::find(f.trace.begin(), f.trace.end(), "draw 2 12"), f.trace.end());
  } else {
    EXPECT_EQ(f.engine.TxBuffer[Ch], "\"waiting reply\"");
    EXPECT_TRUE(f.errorLog.Texts(LogKind::Transmit).empty());
    EXPECT_EQ(f.publication.StatusText[Ch], "Online...");
  }
  EXPECT_TRUE(f.terminal.writes.empty());

  // The next pass starts again from channel 0.
  f.data.raiseOn = -1;
  f.trace.clear();
  f.Pass();
  EXPECT_EQ(f.Only({"data"}), (Trace{"data 0", "data 1", "data 2", "data 3"}));
}

TEST_P(ErrorClass, OnATerminalChannel) {
  const ErrorCase& c = GetParam();
  CommandsFixture f;
  RaiseOn(f, ConnectionType::ArcNet, c);

  f.Pass();

  EXPECT_EQ(f.errorLog.Texts(LogKind::Error), std::vector<std::string>{c.logLine});
  EXPECT_EQ(f.engine.TxBuffer[Ch], "\"waiting reply\"");
  if (c.replies) {
    ASSERT_EQ(f.terminal.writes.size(), 1u);
    EXPECT_EQ(f.terminal.writes[0].path, "/zNODE3/lit01");
    EXPECT_EQ(f.terminal.writes[0].length, 40);
    EXPECT_EQ(f.terminal.writes[0].record, "^ERROR" + std::string(34, ' '));
    EXPECT_EQ(f.errorLog.Texts(LogKind::Transmit), std::vector<std::string>{"!ERROR"});
    EXPECT_TRUE(f.Only({"beep"}).empty());
  } else {
    EXPECT_TRUE(f.terminal.writes.empty());
  }
}

INSTANTIATE_TEST_SUITE_P(Numbers, ErrorClass,
                         ::testing::Values(CriticalCase(13), CriticalCase(2399), Sql(2400), Sql(2450), Sql(2499),
                                         CriticalCase(2500), CriticalCase(2999), Db(3000), Db(3999),
                                         CriticalCase(4000), CriticalCase(39999), Rdo(40000), Rdo(40999),
                                         CriticalCase(41000)),
                         [](const ::testing::TestParamInfo<ErrorCase>& info) {
                           return std::to_string(info.param.number);
                         });

TEST(ScanErrorHandling, ADatabaseErrorsEffectsComeInTheirOrder) {
  CommandsFixture f;
  RaiseOn(f, ConnectionType::PcSerialPort, Sql(2450));
  f.grid.Light(Ch, Lamp::Receive, true);
  f.Pass();
  EXPECT_EQ(f.Only({"on 2 ", "off 2 ", "dirty 2 ", "draw 2 ", "icon", "tray", "log", "mark"}),
            (Trace{"on 2 7",         "dirty 2 7",  "off 2 0",   "dirty 2 0",   "off 2 1",
                   "dirty 2 1",      "on 2 7",     "dirty 2 7", "draw 2 7",    "dirty 2 12",
                   "draw 2 12",      "icon iXmit", "tray",      "on 2 1",      "dirty 2 1",
                   "draw 2 1",       "log 3 " + SerialReply,    "off 2 1",     "dirty 2 1",
                   "log 1 " + Sql(2450).logLine,  "mark all cells dirty",     "off 2 7",
                   "dirty 2 7",      "dirty 2 12"}));
}

TEST(ScanErrorHandling, TimerTicksWhileItsBoxIsOpenFindThePassStillRunning) {
  CommandsFixture f;
  RaiseOn(f, ConnectionType::PcSerialPort, Db(3022));
  const int32_t tick = f.engine.ScanTick + 1;
  bool guardSet = false;
  f.box.whileShown = [&] {
    guardSet = f.engine.ScanInProgress;
    f.Pass();
    // And one more at the turn of the event loop after the box.
    f.pacing.pending = [&] { f.Pass(); };
  };

  f.Pass();

  EXPECT_TRUE(guardSet);
  EXPECT_FALSE(f.pacing.pending);
  EXPECT_EQ(f.engine.ScanTick, tick);
  EXPECT_EQ(f.Only({"data"}), (Trace{"data 0", "data 1"}));
  EXPECT_FALSE(f.engine.ScanInProgress);
}

TEST(ScanErrorHandling, InDebugModeTheTrayIconIsLeftAlone) {
  CommandsFixture f;
  RaiseOn(f, ConnectionType::PcSerialPort, Db(3022));
  f.startup.DebugMode = true;
  f.Pass();
  EXPECT_EQ(f.Only({"icon", "tray"}), Trace{"icon iXmit"});
}

TEST(ScanErrorHandling, AFailedTerminalReplyBeepsAndLightsNothing) {
  CommandsFixture f;
  RaiseOn(f, ConnectionType::ArcNet, Db(3022));
  f.terminal.writeResult = 7;
  f.Pass();
  EXPECT_EQ(f.engine.ZelApiResult, 7);
  EXPECT_EQ(f.Only({"beep"}), Trace{"beep"});
  EXPECT_EQ(f.errorLog.Texts(LogKind::Transmit), std::vector<std::string>{"!ERROR"});
}

TEST(ScanErrorHandling, InTheTrayADatabaseErrorIsAnsweredAndLoggedWithoutInterrupting) {
  CommandsFixture f;
  RaiseOn(f, ConnectionType::PcSerialPort, Sql(2450));
  f.window.InTray = true;
  f.Pass();
  EXPECT_EQ(f.errorLog.Texts(LogKind::Error), std::vector<std::string>{Sql(2450).logLine});
  EXPECT_EQ(f.engine.TxBuffer[Ch], "\"waiting reply\"" + SerialReply);
  EXPECT_TRUE(f.box.shown.empty());
  EXPECT_TRUE(f.voice.sentences.empty());
  EXPECT_TRUE(f.Only({"mark all"}).empty());
  EXPECT_EQ(f.publication.StatusText[Ch], "Ready...");
}

TEST(ScanErrorHandling, InTheTrayACriticalErrorStillShowsItsBox) {
  CommandsFixture f;
  RaiseOn(f, ConnectionType::PcSerialPort, CriticalCase(13));
  f.window.InTray = true;
  f.Pass();
  ASSERT_EQ(f.box.shown.size(), 1u);
  EXPECT_EQ(f.box.shown[0].title, "Tarvex Scan System Error");
  EXPECT_EQ(f.voice.sentences.size(), 1u);
}

TEST(ScanErrorHandling, APortNotOpenOnlyTurnsTheErrorLampOffAndThePassGoesOn) {
  CommandsFixture f;
  RaiseOn(f, ConnectionType::PcSerialPort, CriticalCase(8012));
  f.grid.Light(Ch, Lamp::Error, true);
  f.Pass();
  EXPECT_FALSE(f.grid.IndicatorOn(Ch, Lamp::Error));
  EXPECT_TRUE(f.errorLog.Texts().empty());
  EXPECT_TRUE(f.box.shown.empty());
  EXPECT_EQ(f.Only({"data"}), (Trace{"data 0", "data 1", "data 3"}));
}

TEST(ScanErrorHandling, FailingLogSpeechAndBoxStillEndThePassCleanly) {
  CommandsFixture f;
  RaiseOn(f, ConnectionType::PcSerialPort, Db(3022));
  f.errorLog.failing = true;
  f.voice.failing = true;
  f.box.failing = true;
  f.grid.Light(Ch, Lamp::Receive, true);

  f.Pass();

  EXPECT_FALSE(f.engine.ScanInProgress);
  // Every step after the failing ones still ran.
  EXPECT_EQ(f.engine.TxBuffer[Ch], "\"waiting reply\"" + SerialReply);
  EXPECT_EQ(f.publication.StatusText[Ch], "Ready...");
  EXPECT_EQ(f.Lamps(Ch), "00000000");
  EXPECT_EQ(f.Only({"mark all"}), Trace{"mark all cells dirty"});

  // With the log back, a failing step is recorded beside the error.
  f.errorLog.failing = false;
  f.Pass();
  EXPECT_EQ(f.errorLog.Texts(LogKind::Error),
            (std::vector<std::string>{Db(3022).logLine,
                                      "Channel: 3  Error handling (speech) failed: 429  ActiveX component can't "
                                      "create object",
                                      "Channel: 3  Error handling (message box) failed: 7  Out of memory"}));
}

TEST(ScanErrorHandling, APortErrorDisablesTheChannelWithoutWritingItsFile) {
  CommandsFixture f;
  RaiseOn(f, ConnectionType::PcSerialPort, CriticalCase(8005));
  f.config.Channels[Ch].DeviceEnabled = true;
  f.grid.Light(Ch, Lamp::Enabled, true);
  int writes = 0;
  f.cfg.SetFileWriteCall([&](int, const void*, size_t) -> ssize_t {
    ++writes;
    errno = ENOSPC;
    return -1;
  });

  f.Pass();

  EXPECT_FALSE(f.engine.ScanInProgress);
  EXPECT_FALSE(f.config.Channels[Ch].DeviceEnabled);
  EXPECT_EQ(f.Lamps(Ch), "00000000");
  EXPECT_EQ(f.Only({"mark all"}), Trace{"mark all cells dirty"});
  EXPECT_EQ(writes, 0);
  EXPECT_EQ(f.errorLog.Texts(LogKind::Error),
            (std::vector<std::string>{"Channel: 3  COM: Port Already In Use.", "Channel 3: Bad C:\\db"}));
}

struct PortCase {
  int32_t number;
  std::string logLine;  // then the detail line with the error's description
  std::string spoken;
  std::string boxText;
  bool portReset;
};

class PortError : public ::testing::TestWithParam<PortCase> {};

TEST_P(PortError, DisablesTheChannelInMemoryAndLeavesItsFileAsTheOperatorWroteIt) {
  const PortCase& c = GetParam();
  CommandsFixture f;
  ChannelSetup operators;
  operators.ChannelProtocol = 7;
  operators.ComPortIndex = 4;
  operators.DeviceEnabled = true;
  operators.DeviceDescs = "Truck scale";
  operators.TxDelay = 20;
  f.StoreChannel(Ch, operators);
  const std::string oldFile = f.ChannelFileBytes(Ch);
  f.cfg.CfgProc(CfgOp::ReadChannel, Ch);
  RaiseOn(f, ConnectionType::PcSerialPort, CriticalCase(c.number));
  f.config.Channels[Ch].DeviceEnabled = true;
  f.ports[Ch].SetCommPort(5);
  f.ports[Ch].SetSettings("4800,e,7,1");
  f.ports[Ch].SetHandshaking(1);
  f.grid.Light(Ch, Lamp::Motion, true);
  f.grid.Light(Ch, Lamp::Enabled, true);

  f.Pass();

  EXPECT_FALSE(f.engine.ScanInProgress);
  EXPECT_EQ(f.errorLog.Texts(LogKind::Error), (std::vector<std::string>{c.logLine, "Channel 3: Bad C:\\db"}));
  EXPECT_EQ(f.voice.sentences, std::vector<std::string>{c.spoken});
  ASSERT_EQ(f.box.shown.size(), 1u);
  EXPECT_EQ(f.box.shown[0].title, "Tarvex Device Initialization Error");
  EXPECT_EQ(f.box.shown[0].text, c.boxText);
  EXPECT_EQ(f.Lamps(Ch), "00000000");
  EXPECT_FALSE(f.config.Channels[Ch].DeviceEnabled);
  EXPECT_EQ(f.config.Channels[Ch].DeviceDescs, "Truck scale");

  // The operator's channel file is untouched, and nothing is left beside it.
  EXPECT_EQ(f.ChannelFileBytes(Ch), oldFile);
  EXPECT_FALSE(std::ifstream(f.cfg.ChannelFilePath(Ch) + ".bak").good());

  if (c.portReset) {
    EXPECT_EQ(f.ports[Ch].CommPort(), 1);
    EXPECT_EQ(f.ports[Ch].Settings(), "9600,n,8,1");
    EXPECT_EQ(f.ports[Ch].Handshaking(), 0);
  } else {
    EXPECT_EQ(f.ports[Ch].CommPort(), 5);
    EXPECT_EQ(f.ports[Ch].Handshaking(), 1);
  }
}

const std::string Restoring = "I am restoring default com port settings and disabling channel 3now.Please contact "
                              "Velmar Orinda Technical Support if you need additional assistance.";
INSTANTIATE_TEST_SUITE_P(
    Numbers, PortError,
    ::testing::Values(
        PortCase{8002, "Channel: 3  Invalid COM: Port Selected.",
                 "Attention!, A Tarvex error has occured on Channel 3,  You have selected an invalid COM port. " +
                     Restoring,
                 "The COM: port you have selected is invalid.\r\nBad C:\\db\r\nDisabling Device Now...", true},
        PortCase{8005, "Channel: 3  COM: Port Already In Use.",
                 "Attention!, A Tarvex error has occured on Channel 3,  You have selected a COM port that is already "
                 "is use. " +
                     Restoring,
                 "The COM: port you have selected is already in use...\r\nBad C:\\db\r\nDisabling Device Now...",
                 false}),
    [](const ::testing::TestParamInfo<PortCase>& info) { return std::to_string(info.param.number); });

}  // namespace
}  // namespace tarvex
