// What the scan's error handler says and does, by error number.
#include "engine/errors/scan_error_table.h"

#include <gtest/gtest.h>

#include <string>

#include "config/serial_port_operations.h"

namespace tarvex {
namespace {

TEST(ScanErrorClass, isFoundByTheNumbersRange) {
  struct Row {
    int32_t number;
    ScanErrorClass expected;
  };
  const Row rows[] = {
      {13, ScanErrorClass::Critical},        {2399, ScanErrorClass::Critical},
      {2400, ScanErrorClass::Expression},    {2450, ScanErrorClass::Expression},
      {2499, ScanErrorClass::Expression},    {2500, ScanErrorClass::Critical},
      {2999, ScanErrorClass::Critical},      {3000, ScanErrorClass::Database},
      {3999, ScanErrorClass::Database},      {4000, ScanErrorClass::Critical},
      {8002, ScanErrorClass::InvalidPort},   {8005, ScanErrorClass::PortInUse},
      {8012, ScanErrorClass::PortNotOpen},   {39999, ScanErrorClass::Critical},
      {40000, ScanErrorClass::RemoteData},   {40999, ScanErrorClass::RemoteData},
      {41000, ScanErrorClass::Critical},     {57, ScanErrorClass::Critical},
  };
  for (const Row& row : rows) EXPECT_EQ(ClassifyScanError(row.number), row.expected) << row.number;
}

// Channel index 2 (shown as 3), serial, log on, interactive, window shown,
// speech on.
ScanErrorSituation Interactive() {
  ScanErrorSituation situation;
  situation.Channel = 2;
  situation.ConnectUsing = 0;
  situation.ChannelLogEnabled = true;
  situation.InteractiveDBErrors = true;
  situation.InTray = false;
  situation.SpeechEnabled = true;
  return situation;
}

const std::string Contact = "\r\nPlease Contact Velmar-Orinda Technical Services...";
const std::string SerialReply = "\"ERROR\"\n\"!\"\n";

TEST(ScanErrorReport, databaseErrorsAnswerTheDeviceAndTellTheOperator) {
  struct Row {
    int32_t number;
    const char* status;
    const char* label;
    std::string spokenMiddle;
    std::string spokenClosing;
  };
  const std::string correctNow =
      ".  Please correct this problem now, or contact Velmar Orinda Technical Support for additional assistance.";
  const Row rows[] = {
      {2450, "SQL ERROR...", "  JET Expression Error: ", ",  This is a S Q L Error, ",
       ".  Please correct this problem now in your zel basic program,  or contact Velmar Orinda Technical Support "
       "for additional assistance."},
      {3022, "DB ERROR...", "  JET Database Error: ", ",  This is a Database Error, ", correctNow},
      {40001, "RDO ERROR...", "  RDO Error: ", ",  This is a Database Error, ", correctNow},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.number);
    const ScanErrorReport report = DescribeScanError(row.number, "Bad name: x", Interactive());
    const std::string line = "Channel: 3" + std::string(row.label) + std::to_string(row.number) + "  Bad name: x";
    EXPECT_EQ(report.StatusText, row.status);
    EXPECT_EQ(report.FinalStatusText, "Ready...");
    EXPECT_EQ(report.LogLine, line);
    EXPECT_EQ(report.Reply.Via, ScanErrorReply::Route::Serial);
    EXPECT_EQ(report.Reply.Bytes, SerialReply);
    EXPECT_EQ(report.Reply.Bytes.size(), 12u);
    EXPECT_EQ(report.Reply.LogText, SerialReply);
    EXPECT_EQ(report.Spoken, "Attention!, A Tarvex error has occured on Channel 3" + row.spokenMiddle +
                                 "Bad name colon,  x" + row.spokenClosing);
    EXPECT_EQ(report.BoxTitle, "Tarvex ZelODBC Error");
    EXPECT_EQ(report.BoxText, line + Contact);
    EXPECT_TRUE(report.MarkAllCellsDirty);
    EXPECT_EQ(report.Fallback, PortFallback::None);
  }
}

TEST(ScanErrorReport, aDatabaseErrorInTheTrayOrNotInteractiveIsOnlyLoggedAndAnswered) {
  ScanErrorSituation inTray = Interactive();
  inTray.InTray = true;
  ScanErrorSituation quiet = Interactive();
  quiet.InteractiveDBErrors = false;
  for (const ScanErrorSituation& situation : {inTray, quiet}) {
    const ScanErrorReport report = DescribeScanError(2450, "x", situation);
    EXPECT_EQ(report.LogLine, "Channel: 3  JET Expression Error: 2450  x");
    EXPECT_EQ(report.Reply.Bytes, SerialReply);
    EXPECT_EQ(report.Spoken, "");
    EXPECT_EQ(report.BoxTitle, "");
    EXPECT_FALSE(report.MarkAllCellsDirty);
    EXPECT_EQ(report.FinalStatusText, "Ready...");
  }
  ScanErrorSituation silent = Interactive();
  silent.SpeechEnabled = false;
  EXPECT_EQ(DescribeScanError(3000, "x", silent).Spoken, "");
  EXPECT_EQ(DescribeScanError(3000, "x", silent).BoxTitle, "Tarvex ZelODBC Error");
}

TEST(ScanErrorReport, theReplyFollowsTheConnection) {
  ScanErrorSituation terminal = Interactive();
  terminal.ConnectUsing = 1;
  const ScanErrorReport report = DescribeScanError(3022, "x", terminal);
  EXPECT_EQ(report.Reply.Via, ScanErrorReply::Route::Terminal);
  EXPECT_EQ(report.Reply.Bytes, "^ERROR" + std::string(34, ' '));
  EXPECT_EQ(report.Reply.LogText, "!ERROR");

  terminal.ChannelLogEnabled = false;
  EXPECT_EQ(DescribeScanError(3022, "x", terminal).Reply.LogText, "");
  ScanErrorSituation serialNoLog = Interactive();
  serialNoLog.ChannelLogEnabled = false;
  EXPECT_EQ(DescribeScanError(3022, "x", serialNoLog).Reply.LogText, "");
  EXPECT_EQ(DescribeScanError(3022, "x", serialNoLog).Reply.Bytes, SerialReply);

  ScanErrorSituation other = Interactive();
  other.ConnectUsing = 2;
  EXPECT_EQ(DescribeScanError(3022, "x", other).Reply.Via, ScanErrorReply::Route::None);
  EXPECT_EQ(DescribeScanError(3022, "x", other).Reply.Bytes, "");
  // Only a failed database request is answered.
  EXPECT_EQ(DescribeScanError(13, "x", Interactive()).Reply.Via, ScanErrorReply::Route::None);
}

TEST(ScanErrorReport, portErrorsDisableTheChannelAndAlwaysTellTheOperatorWhichDeviceFailedAndWhy) {
  struct Row {
    int32_t number;
    const char* description;
    const char* log;
    std::string box;
    PortFallback fallback;
    bool inUse;
  };
  const Row rows[] = {
      {8002, "Invalid port number (port 9 /dev/ttyUSB9: No such file or directory)",
       "Channel: 3  Invalid COM: Port Selected.",
       "The COM: port you have selected is invalid.\r\n"
       "Invalid port number (port 9 /dev/ttyUSB9: No such file or directory)\r\nDisabling Device Now...",
       PortFallback::RestoreDefaultPort, false},
      {8005, "Port already open (port 2 /dev/ttyS1: held by another program)",
       "Channel: 3  COM: Port Already In Use.",
       "The COM: port you have selected is already in use...\r\n"
       "Port already open (port 2 /dev/ttyS1: held by another program)\r\nDisabling Device Now...",
       PortFallback::DisableChannel, true},
  };
  ScanErrorSituation inTray = Interactive();
  inTray.InTray = true;
  inTray.InteractiveDBErrors = false;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.number);
    const ScanErrorReport report = DescribeScanError(row.number, row.description, inTray);
    EXPECT_EQ(report.LogLine, row.log);
    EXPECT_EQ(report.LogDetail, std::string("Channel 3: ") + row.description);
    EXPECT_EQ(report.BoxTitle, "Tarvex Device Initialization Error");
    EXPECT_EQ(report.BoxText, row.box);
    EXPECT_EQ(report.Spoken, PortErrorSpeech(2, row.inUse));
    EXPECT_EQ(report.Fallback, row.fallback);
    EXPECT_EQ(report.StatusText, "");
    EXPECT_EQ(report.Reply.Via, ScanErrorReply::Route::None);
    EXPECT_TRUE(report.MarkAllCellsDirty);
  }
  EXPECT_EQ(PortErrorSpeech(2, false),
            "Attention!, A Tarvex error has occured on Channel 3,  You have selected an invalid COM port. "
            "I am restoring default com port settings and disabling channel 3now."
            "Please contact Velmar Orinda Technical Support if you need additional assistance.");
  EXPECT_EQ(DefaultPortSettings, "9600,n,8,1");
}

TEST(ScanErrorReport, portNotOpenOnlyLetsThePassGoOn) {
  const ScanErrorReport report = DescribeScanError(8012, "Port not open", Interactive());
  EXPECT_EQ(report.LogLine, "");
  EXPECT_EQ(report.Spoken, "");
  EXPECT_EQ(report.BoxTitle, "");
  EXPECT_FALSE(report.MarkAllCellsDirty);
}

TEST(ScanErrorReport, everyOtherNumberIsACriticalErrorShownEvenInTheTray) {
  ScanErrorSituation inTray = Interactive();
  inTray.InTray = true;
  inTray.InteractiveDBErrors = false;
  for (int32_t number : {13, 2399, 2500, 2999, 4000, 39999, 41000}) {
    SCOPED_TRACE(number);
    const std::string n = std::to_string(number);
    const ScanErrorReport report = DescribeScanError(number, "Type mismatch: C:\\x", inTray);
    EXPECT_EQ(report.Class, ScanErrorClass::Critical);
    EXPECT_EQ(report.LogLine, "Channel: 3  Critical Error: " + n + "  Type mismatch: C:\\x");
    EXPECT_EQ(report.Spoken, "Attention!, A Critical Tarvex error has occured, possibly on Channel 3,  The error is "
                             "number, " + n + " , Type mismatch: C:\\x , Please contact Velmar Orinda Technical "
                             "Support with this information.");
    EXPECT_EQ(report.BoxTitle, "Tarvex Scan System Error");
    EXPECT_EQ(report.BoxText, "Critical Error: " + n + "  Type mismatch: C:\\x" + Contact);
    EXPECT_EQ(report.StatusText, "");
    EXPECT_TRUE(report.MarkAllCellsDirty);
  }
}

TEST(SpeakableDescription, replacesEachColonAndBackslashInPlace) {
  EXPECT_EQ(SpeakableDescription("C:\\db\\x"), "C colon,  Backslash, db Backslash, x");
  EXPECT_EQ(SpeakableDescription("no marks / here"), "no marks / here");
  EXPECT_EQ(SpeakableDescription(""), "");
}

}  // namespace
}  // namespace tarvex
