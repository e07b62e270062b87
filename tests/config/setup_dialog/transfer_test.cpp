#include "config/setup_dialog/numeric_box.h"
#include "tests/support/setup_dialog_harness.h"

namespace tarvex {
namespace {

using TransferTest = SetupDialogTest;

// Channel records that exercise the three connections, the database protocol's
// forced switches, lists without selection and texts kept as they are.
std::vector<ChannelSetup> ChannelFixtures() {
  ChannelSetup serial;
  serial.ChannelProtocol = 5;
  serial.ConnectUsing = ConnectionType::PcSerialPort;
  serial.ComPortIndex = 67;
  serial.PortSettingsIndex = 53;
  serial.XonXoff = true;
  serial.DeviceID = "07";
  serial.DeviceDescs = " Line 1 Scale, \"North\" ";
  serial.DBDriver = 2;
  serial.OtherDriver = "unused";
  serial.OPCNodeName = "\\\\PLANT";
  serial.OPCServerName = "Velmar.OPC.1";
  serial.AsciiLogFileName = "C:\\Logs\\scale1.txt";
  serial.AsciiLogEnabled = true;
  serial.DeviceEnabled = true;
  serial.Bidirectional = true;
  serial.OPCEnabled = true;
  serial.PollForData = true;
  serial.DDEServerEnabled = true;
  serial.RefreshInterval = 100;
  serial.TxDelay = 5;
  serial.Timeout = 3000;
  serial.OPCTags = {"G", "T", "N", "S", "C", "P", "CS", "never shown"};
  serial.PrimaryUnits = 12;
  serial.DecimalPlaces = 6;

  ChannelSetup database;
  database.ChannelProtocol = 0;
  database.ConnectUsing = ConnectionType::ArcNet;
  database.DBDriver = 4;
  database.OtherDriver = "MyODBC";
  database.InteractiveDBErrors = true;
  database.PollForData = true;  // the database layout clears it; the record's value wins
  database.OPCEnabled = true;   // likewise
  database.Bidirectional = false;
  database.VirtualTerminalEnabled = true;
  database.RefreshInterval = -5;
  database.TxDelay = 0;
  database.Timeout = 0;
  database.PrimaryUnits = -1;
  database.DecimalPlaces = -1;

  ChannelSetup other;
  other.ChannelProtocol = 41;
  other.ConnectUsing = ConnectionType::Other;
  other.DataMapEnabled = true;
  other.DeviceDescs = "   ";
  other.PrimaryUnits = 0;
  other.DecimalPlaces = 0;
  return {serial, database, other};
}

// A record with only the field that operation 2 never writes, tag 7.
ChannelSetup Blank(const ChannelSetup& record) {
  ChannelSetup blank;
  blank.OPCTags[7] = record.OPCTags[7];
  return blank;
}

ProtocolDefinition ProtocolFixture() {
  ProtocolDefinition p;
  p.ProtocolHeader = 3;  // carried by the file only
  p.StreamStartChar = 2;
  p.StreamEndChar = 13;
  p.GrossStart = 4;
  p.GrossLength = 7;
  p.GrossEnabled = true;
  p.TareStart = 0;  // shown empty, stored back as 0
  p.TareLength = 0;
  p.NetStart = 12;
  p.NetLength = 7;
  p.NetEnabled = true;
  p.IDStart = 1;
  p.IDLength = 1;
  p.IDEnabled = true;
  p.CmdStartChar = 0;
  p.CmdEndChar = 1310;
  p.MaxStreamLength = 40;
  p.Commands[0] = CommandEntry{{"Z", "Zero", "1", "fourth column"}, true};
  p.Commands[1] = CommandEntry{{"T~", "Tare \"pre-set\"", "2", ""}, false};
  p.Commands[9] = CommandEntry{{"P", "", "", ""}, true};
  p.StatusData[0][0] = DataCell::Text("LB");
  p.StatusData[0][1] = DataCell::Text("3 / UNITS");
  p.StatusData[0][2] = DataCell::Number("0012");
  p.StatusData[0][3] = DataCell::Text("1b2");
  p.StatusData[0][4] = DataCell::Text(" ");
  p.StatusData[0][5] = DataCell::Text("X");
  p.StatusData[1][0] = DataCell::Text("");
  p.StatusData[99][5] = DataCell::Text("X");
  p.StatusData[100][0] = DataCell::Text("beyond the file");
  p.StatusData[3][6] = DataCell::Text("beyond the file");
  p.StatusFirstEmpty = 1;
  return p;
}

TEST_F(TransferTest, openingAChannelThenStoringTheDialogReproducesTheRecord) {
  int channel = 0;
  for (const ChannelSetup& record : ChannelFixtures()) {
    SCOPED_TRACE(channel);
    startup.ChannelLogEnabled[static_cast<size_t>(channel)] = channel == 1;
    Open(channel, record);
    config.Channels[channel] = Blank(record);  // op 2 must bring every field back
    dialog.Transfer().DialogToChannel(channel);
    EXPECT_EQ(config.Channels[channel], record);
    EXPECT_EQ(startup.ChannelLogEnabled[static_cast<size_t>(channel)], channel == 1);
    dialog.cmdCancel_Click();
    ++channel;
  }
}

TEST_F(TransferTest, freshDialogReproducesEachRecordWithoutBeingShown) {
  int channel = 0;
  for (const ChannelSetup& record : ChannelFixtures()) {
    SCOPED_TRACE(channel);
    SetupDialog fresh{SetupDialogServices{config, startup, handover, log, messageBox, mainWindow, scan.Handover()}, cfg};
    config.Channels[channel] = record;
    handover.SetupChannel = channel;
    fresh.Transfer().ChannelToDialog(channel);
    config.Channels[channel] = Blank(record);
    fresh.Transfer().DialogToChannel(channel);
    EXPECT_EQ(config.Channels[channel], record);
    ++channel;
  }
}

TEST_F(TransferTest, protocolThroughTheDialogAndBackIsUnchanged) {
  for (const int protocol : {12, 0}) {
    SCOPED_TRACE(protocol);
    const ProtocolDefinition fixture = ProtocolFixture();
    config.Protocols[protocol] = fixture;
    dialog.Transfer().ProtocolToDialog(protocol);
    EXPECT_EQ(grid().Array(), &startup.StatusTable());
    config.Protocols[protocol].GrossStart = 99;
    dialog.Transfer().DialogToProtocol(protocol);
    EXPECT_EQ(config.Protocols[protocol], fixture);
  }
  // A freshly created dialog does the same.
  SetupDialog fresh{SetupDialogServices{config, startup, handover, log, messageBox, mainWindow, scan.Handover()}, cfg};
  fresh.Transfer().ProtocolToDialog(12);
  config.Protocols[12] = ProtocolDefinition();
  config.Protocols[12].ProtocolHeader = 3;
  config.Protocols[12].StatusData[100][0] = DataCell::Text("beyond the file");
  config.Protocols[12].StatusData[3][6] = DataCell::Text("beyond the file");
  config.Protocols[12].StatusFirstEmpty = 1;
  config.Protocols[12].Commands[0].ProtocolCommands[3] = "fourth column";
  fresh.Transfer().DialogToProtocol(12);
  EXPECT_EQ(config.Protocols[12], ProtocolFixture());
}

TEST_F(TransferTest, protocolBoxesShowNumbersBelowOneEmptyAndCharacterCodesInDecimal) {
  ProtocolDefinition p = ProtocolFixture();
  p.NetStart = -4;
  config.Protocols[20] = p;
  dialog.Transfer().ProtocolToDialog(20);
  EXPECT_EQ(form().t[0].Text(), "4");
  EXPECT_EQ(form().t[2].Text(), "");
  EXPECT_EQ(form().t[4].Text(), "");
  EXPECT_EQ(form().t[9].Text(), "13");
  EXPECT_EQ(form().tCmdStart.Text(), "");
  EXPECT_EQ(form().tCmdEnd.Text(), "1310");
  EXPECT_EQ(form().tCmdName[1].Text(), "Tare \"pre-set\"");
  EXPECT_EQ(form().ckCmd[1].Value(), 0);
  EXPECT_EQ(form().ck[1].Value(), 0);
  EXPECT_EQ(startup.StatusTable().Value(0, 2), DataCell::Number("0012"));
  EXPECT_EQ(grid().Reloads(), 1);
  dialog.Transfer().DialogToProtocol(20);
  EXPECT_EQ(config.Protocols[20].NetStart, 0);
}

TEST_F(TransferTest, storingRewritesAllStatusCellsFromTheTable) {
  config.Protocols[15] = ProtocolFixture();
  dialog.Transfer().ProtocolToDialog(15);
  startup.StatusTable().SetValue(0, 0, DataCell());  // a cell without a value
  startup.StatusTable().SetValue(5, 4, DataCell::Text("~"));
  dialog.Transfer().DialogToProtocol(15);
  const ProtocolDefinition& p = config.Protocols[15];
  EXPECT_TRUE(p.StatusData[0][0].isEmpty());
  EXPECT_EQ(p.StatusData[5][4], DataCell::Text("~"));
  EXPECT_EQ(p.StatusData[0][2], DataCell::Number("0012"));
}

TEST_F(TransferTest, storingTheDialogDefaultsTheFirstFiveListsOnly) {
  dialog.Transfer().DialogToChannel(6);
  const ChannelSetup& c = config.Channels[6];
  EXPECT_EQ(c.ConnectUsing, 0);
  EXPECT_EQ(c.ComPortIndex, 0);
  EXPECT_EQ(c.PortSettingsIndex, 0);
  EXPECT_EQ(c.ChannelProtocol, 0);
  EXPECT_EQ(c.DBDriver, 0);
  EXPECT_EQ(c.PrimaryUnits, -1);
  EXPECT_EQ(c.DecimalPlaces, -1);
  EXPECT_EQ(form().cb[1].ListIndex(), 0);
}

TEST_F(TransferTest, storedTextsReplaceTheConnectionLayoutsDefaults) {
  config.Channels[1].ConnectUsing = ConnectionType::PcSerialPort;
  config.Channels[1].ChannelProtocol = 3;
  dialog.Transfer().ChannelToDialog(1);
  EXPECT_EQ(form().tRefresh.Text(), "0");
  EXPECT_EQ(form().tTxDelay.Text(), "0");
}

TEST_F(TransferTest, engineFillingAHiddenDialogLeavesEveryStoredProtocolAlone) {
  // The engine's port recovery runs operation 1 for channel 3 while the dialog
  // was never shown and SetupChannel names channel 5.
  config.Channels[3].ChannelProtocol = 7;
  config.Channels[5].ChannelProtocol = 12;
  handover.SetupChannel = 5;
  dialog.Transfer().ChannelToDialog(3);
  EXPECT_EQ(config.Channels[3].ChannelProtocol, 7);
  EXPECT_EQ(config.Channels[5].ChannelProtocol, 12);
  EXPECT_EQ(form().cb[3].ListIndex(), 7);
  EXPECT_TRUE(cfg.ops.empty());
}

TEST_F(TransferTest, valuesTheListsCannotShowRaiseErrorsAndKeepTheFieldsBefore) {
  const struct {
    int field;  // 1 port, 2 decimals
    int32_t value;
    int error;
  } rows[] = {{1, 68, ErrorNumber::InvalidPropertyValue},
              {1, -2, ErrorNumber::InvalidPropertyValue},
              {2, 7, ErrorNumber::InvalidPropertyValue},
              {2, 40000, ErrorNumber::Overflow}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.value);
    SetupDialog fresh{SetupDialogServices{config, startup, handover, log, messageBox, mainWindow, scan.Handover()}, cfg};
    ChannelSetup record;
    record.ConnectUsing = ConnectionType::Other;
    record.ChannelProtocol = 4;
    (row.field == 1 ? record.ComPortIndex : record.DecimalPlaces) = row.value;
    config.Channels[8] = record;
    try {
      fresh.Transfer().ChannelToDialog(8);
      ADD_FAILURE() << "no error";
    } catch (const RunTimeError& error) {
      EXPECT_EQ(error.number(), row.error);
      EXPECT_NE(error.description().find(row.field == 1 ? "cb(1)" : "cb(6)"), std::string::npos)
          << error.description();
    }
    EXPECT_EQ(fresh.Form().cb[0].ListIndex(), 2);  // set before the failing field
    if (row.field == 1) {
      EXPECT_EQ(fresh.Form().cb[1].ListIndex(), 0);  // as the connection layout left it
    }
  }
}

TEST_F(TransferTest, tablesOutsideTheirBoundsAreSubscriptErrors) {
  auto expectNine = [](auto&& call) {
    try {
      call();
      ADD_FAILURE() << "no error";
    } catch (const RunTimeError& error) {
      EXPECT_EQ(error.number(), ErrorNumber::SubscriptOutOfRange);
    }
  };
  expectNine([&] { dialog.Transfer().ChannelToDialog(33); });
  expectNine([&] { dialog.Transfer().DialogToChannel(-1); });
  expectNine([&] { dialog.Transfer().ProtocolToDialog(43); });
  expectNine([&] { dialog.Transfer().DialogToProtocol(43); });
}

TEST(NumericBoxTest, leadingNumberBoxesReadTheNumberAtTheStart) {
  const struct {
    const char* text;
    int32_t value;
  } rows[] = {{"", 0},      {"   ", 0},   {"12abc", 12}, {"abc", 0},   {" 7 ", 7},    {"2.5", 2},
              {"3.5", 4},   {"-4", -4},   {"1e3", 1000}, {"0", 0},     {"-2.5", -2},  {"2147483647", 2147483647}};
  for (const auto& row : rows) {
    EXPECT_EQ(LeadingNumberBoxValue(row.text, "tRefresh"), row.value) << '"' << row.text << '"';
  }
  try {
    LeadingNumberBoxValue("99999999999", "tRefresh");
    ADD_FAILURE() << "no error";
  } catch (const RunTimeError& error) {
    EXPECT_EQ(error.number(), ErrorNumber::Overflow);
    EXPECT_NE(error.description().find("tRefresh"), std::string::npos);
  }
}

TEST(NumericBoxTest, wholeNumberBoxesTakeTheWholeTextAsOneNumber) {
  const struct {
    const char* text;
    int32_t value;
    int error;
  } rows[] = {{"", 0, 0},    {"  ", 0, 0},  {" 12 ", 12, 0}, {"2.5", 2, 0},   {"&H10", 16, 0},
              {"-3", -3, 0}, {"1E2", 100, 0}, {"12abc", 0, ErrorNumber::TypeMismatch},
              {"abc", 0, ErrorNumber::TypeMismatch}, {"1 2", 0, ErrorNumber::TypeMismatch},
              {"1e10", 0, ErrorNumber::Overflow}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    try {
      EXPECT_EQ(WholeNumberBoxValue(row.text, "t(3)"), row.value);
      EXPECT_EQ(row.error, 0);
    } catch (const RunTimeError& error) {
      EXPECT_EQ(error.number(), row.error);
      EXPECT_NE(error.description().find("t(3)"), std::string::npos);
    }
  }
}

}  // namespace
}  // namespace tarvex
