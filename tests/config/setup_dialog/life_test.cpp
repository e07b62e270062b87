#include "tests/support/setup_dialog_harness.h"

namespace tarvex {
namespace {

class LifeTest : public SetupDialogTest {
protected:
  static ChannelSetup Record(int protocol) {
    ChannelSetup record;
    record.ChannelProtocol = protocol;
    record.ConnectUsing = ConnectionType::PcSerialPort;
    record.DeviceDescs = "Scale";
    record.RefreshInterval = 50;
    return record;
  }
  static ProtocolDefinition Protocol(int grossStart) {
    ProtocolDefinition p;
    p.GrossStart = grossStart;
    p.GrossLength = 7;
    p.StatusData[0][0] = DataCell::Text("KG");
    return p;
  }
  // The exit's steps, as the journal records them for a channel: the channel
  // is handed back after the main window is enabled and before the dialog hides.
  static Journal ExitCalls(int channel) {
    return {"dialog pointer 11",
            "log 5 Tarvex Std. Manager Setup Deactivated",
            "scan timer on [reinit -1]",
            "main pointer 0 [reinit -1]",
            "main enabled [reinit -1]",
            "dialog hidden [reinit " + std::to_string(channel) + "]"};
  }
  static Journal Ops(std::initializer_list<const char*> ops) { return Journal(ops.begin(), ops.end()); }
  void ExpectClosedFor(int channel) {
    EXPECT_FALSE(dialog.IsOpen());
    EXPECT_EQ(scan.ReinitChannel, channel);
    EXPECT_EQ(form().frmTarvexStdSetup.MousePointer(), MousePointer::Hourglass);
  }
};

TEST_F(LifeTest, openingTakesTheChannelOutOfPollingFillsTheDialogAndShowsIt) {
  ChannelSetup record = Record(12);
  record.OPCEnabled = true;
  cfg.channelFiles[3] = record;
  config.Channels[3].OPCEnabled = true;  // the running channel publishes to OPC
  cfg.protocolFiles[12] = Protocol(4);
  scan.ReinitChannel = 6;
  scan.ChannelActive[3] = true;
  form().frmTarvexStdSetup.SetMousePointer(MousePointer::Hourglass);  // as the last exit left it
  journal.clear();

  dialog.OpenForChannel(3);

  EXPECT_EQ(journal, (Journal{"stop drawing [reinit -1]", "close terminal [reinit -1]", "main pointer 11 [reinit -1]",
                              "dialog pointer 0", "main disabled [reinit -1]", "close port 3 [reinit -1]",
                              "log 5 Tarvex Manager Setup Activated", "remove OPC 3 [reinit -1]", "cfg 4 3", "cfg 1 3",
                              "cfg 10 12", "cfg 13 12", "dialog shown [reinit -1]"}));
  EXPECT_TRUE(dialog.IsOpen());
  EXPECT_EQ(handover.SetupChannel, 3);
  EXPECT_FALSE(scan.ChannelActive[3]);
  EXPECT_FALSE(handover.SetupLoading);
  EXPECT_EQ(form().frmTarvexStdSetup.MousePointer(), MousePointer::Default);
  EXPECT_EQ(form().lDEVICE[0].Caption(), "SCALE 4");
  EXPECT_EQ(form().lDEVICE[1].Caption(), "SCALE 4");
  EXPECT_EQ(form().cb[3].ListIndex(), 12);
  EXPECT_EQ(form().t[0].Text(), "4");
  EXPECT_EQ(form().tDeviceDesc.Text(), "Scale");
  EXPECT_TRUE(form().lWarning[0].Visible());
}

TEST_F(LifeTest, failedFillReachesTheCallerWithTheProtocolListListeningAgain) {
  cfg.channelFiles[3] = Record(12);
  cfg.failOn = {10};
  try {
    dialog.OpenForChannel(3);
    ADD_FAILURE() << "no error";
  } catch (const RunTimeError& error) {
    EXPECT_EQ(error.number(), ErrorNumber::PermissionDenied);
  }
  EXPECT_FALSE(handover.SetupLoading);
  EXPECT_FALSE(dialog.IsOpen());
}

TEST_F(LifeTest, failedFillHandsTheChannelBackAndEnablesTheMainWindowAgain) {
  for (const int failing : {4, 1, 10, 13}) {
    SCOPED_TRACE(failing);
    cfg.channelFiles[3] = Record(12);
    cfg.failOn = {failing};
    scan.ChannelActive[3] = true;
    journal.clear();
    EXPECT_THROW(dialog.OpenForChannel(3), RunTimeError);
    cfg.failOn.clear();

    // The exit's steps but the hiding: the dialog was never shown.
    Journal exit = ExitCalls(3);
    exit.pop_back();
    ASSERT_GE(journal.size(), exit.size());
    EXPECT_TRUE(std::equal(exit.begin(), exit.end(), journal.end() - static_cast<long>(exit.size())))
        << testing::PrintToString(journal);
    EXPECT_EQ(scan.ReinitChannel, 3);
    EXPECT_FALSE(dialog.IsOpen());
    EXPECT_FALSE(handover.SetupLoading);
  }
}

TEST_F(LifeTest, okRunsItsOperationsByProtocolAndHandsTheChannelBack) {
  const struct {
    int protocol;
    bool unprotect;
    std::vector<int> ops;
  } rows[] = {{12, false, {2, 5, 14, 11, 10, 13}},
              {41, false, {2, 5, 14, 11, 10, 13}},
              {9, false, {2, 5}},
              {0, false, {2, 5}},
              {3, true, {2, 5, 14, 11, 10, 13}}};
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << "protocol " << row.protocol << " UNPROTECT " << row.unprotect);
    startup.EditFixedProtocols = row.unprotect;
    cfg.protocolFiles[row.protocol] = Protocol(4);
    Open(2, Record(row.protocol));
    const int refreshesBefore = grid().Refreshes();
    form().tDeviceDesc.SetText("Edited");
    form().t[0].SetText("8");

    dialog.cmdOk_Click();

    EXPECT_EQ(cfg.ops, row.ops);
    EXPECT_EQ(cfg.channelFiles[2].DeviceDescs, "Edited");
    EXPECT_EQ(cfg.protocolFiles[row.protocol].GrossStart, row.ops.size() > 2 ? 8 : 4);
    EXPECT_EQ(grid().Array(), &startup.StatusTable());
    EXPECT_EQ(grid().Refreshes(), refreshesBefore + 2);  // OK's own and the exit's
    const Journal exit = ExitCalls(2);
    EXPECT_TRUE(std::equal(exit.begin(), exit.end(), journal.end() - static_cast<long>(exit.size())));
    ExpectClosedFor(2);
  }
}

TEST_F(LifeTest, cancelReadsTheChannelAndProtocolAgainAndShowsThem) {
  cfg.protocolFiles[5] = Protocol(4);
  cfg.protocolFiles[14] = Protocol(9);
  Open(7, Record(5));
  form().tDeviceDesc.SetText("Edited");
  form().t[0].SetText("6");

  dialog.cmdCancel_Click();

  Journal expected{"cfg 4 7", "cfg 1 7", "cfg 10 5", "cfg 13 5", "cfg 1 7"};
  for (const std::string& step : ExitCalls(7)) expected.push_back(step);
  EXPECT_EQ(journal, expected);
  EXPECT_EQ(form().tDeviceDesc.Text(), "Scale");
  EXPECT_EQ(form().t[0].Text(), "4");
  EXPECT_EQ(cfg.channelFiles[7].DeviceDescs, "Scale");
  ExpectClosedFor(7);
}

TEST_F(LifeTest, cancelAfterChoosingAnotherProtocolRestoresTheStoredOne) {
  cfg.protocolFiles[5] = Protocol(4);
  cfg.protocolFiles[14] = Protocol(9);
  Open(7, Record(5));
  form().cb[3].SetListIndex(14);
  ASSERT_EQ(config.Channels[7].ChannelProtocol, 14);
  ASSERT_EQ(form().t[0].Text(), "9");
  cfg.ops.clear();

  dialog.cmdCancel_Click();

  // The first operation 1 sets the list back, and the list's own logic loads
  // the protocol again before Cancel does.
  EXPECT_EQ(cfg.ops, (std::vector<int>{4, 1, 10, 13, 10, 13, 1}));
  EXPECT_EQ(config.Channels[7].ChannelProtocol, 5);
  EXPECT_EQ(form().t[0].Text(), "4");
  EXPECT_EQ(startup.StatusTable().Value(0, 0), DataCell::Text("KG"));
}

TEST_F(LifeTest, failedWriteInOkKeepsTheDialogOpenForARetry) {
  cfg.protocolFiles[12] = Protocol(4);
  Open(1, Record(12));
  cfg.failOn = {11};

  dialog.cmdOk_Click();

  EXPECT_TRUE(dialog.IsOpen());
  EXPECT_EQ(scan.ReinitChannel, -1);
  EXPECT_EQ(cfg.ops, (std::vector<int>{2, 5, 14, 11}));
  ASSERT_EQ(messageBox.shown().size(), 1u);
  EXPECT_EQ(messageBox.shown()[0].style, MsgBoxStyle::Critical);
  EXPECT_NE(messageBox.shown()[0].text.find("Error 70"), std::string::npos);
  EXPECT_EQ(journal.back(), "log 1 " + messageBox.shown()[0].text);
  EXPECT_EQ(std::count(journal.begin(), journal.end(), "main enabled [reinit -1]"), 0);

  cfg.failOn.clear();
  cfg.ops.clear();
  dialog.cmdOk_Click();
  EXPECT_EQ(cfg.ops, (std::vector<int>{2, 5, 14, 11, 10, 13}));
  ExpectClosedFor(1);
}

TEST_F(LifeTest, failedReadInCancelStillReachesTheExit) {
  Open(4, Record(3));
  cfg.failOn = {4};

  dialog.cmdCancel_Click();

  EXPECT_EQ(cfg.ops, (std::vector<int>{4}));
  ASSERT_EQ(messageBox.shown().size(), 1u);
  EXPECT_EQ(journal[1], "log 1 " + messageBox.shown()[0].text);
  const Journal exit = ExitCalls(4);
  EXPECT_TRUE(std::equal(exit.begin(), exit.end(), journal.end() - static_cast<long>(exit.size())));
  ExpectClosedFor(4);
}

TEST_F(LifeTest, badNumberBoxStopsOkBeforeAnythingIsWritten) {
  const struct {
    int protocol;
    const char* box;
    const char* text;
    bool refused;
  } rows[] = {{3, "tRefresh", "99999999999", true},
              {3, "tTimeout", "12 seconds", false},  // the leading number is taken
              {12, "t(1)", "7x", true},
              {12, "t(9)", "1e12", true},
              {12, "tCmdEnd", "13 CR", false},
              {3, "t(1)", "7x", false}};  // a locked protocol is not stored
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.box << " \"" << row.text << "\"");
    Open(0, Record(row.protocol));
    messageBox.clear();
    TextBox& box = std::string(row.box) == "tRefresh" ? form().tRefresh
                   : std::string(row.box) == "tTimeout" ? form().tTimeout
                   : std::string(row.box) == "tCmdEnd"  ? form().tCmdEnd
                   : std::string(row.box) == "t(1)"     ? form().t[1]
                                                        : form().t[9];
    box.SetText(row.text);

    dialog.cmdOk_Click();

    if (row.refused) {
      EXPECT_TRUE(cfg.ops.empty());
      EXPECT_TRUE(dialog.IsOpen());
      ASSERT_EQ(messageBox.shown().size(), 1u);
      EXPECT_NE(messageBox.shown()[0].text.find(row.box), std::string::npos) << messageBox.shown()[0].text;
      dialog.cmdCancel_Click();
    } else {
      EXPECT_FALSE(cfg.ops.empty());
      EXPECT_FALSE(dialog.IsOpen());
      EXPECT_TRUE(messageBox.shown().empty());
    }
  }
}

TEST_F(LifeTest, closingByTheFrameCancelsUnlessCancelIsDisabled) {
  Open(5, Record(3));
  form().cmdCancel.SetEnabled(false);  // a status row is open
  dialog.FrameCloseRequested();
  EXPECT_TRUE(dialog.IsOpen());
  EXPECT_TRUE(cfg.ops.empty());

  form().cmdCancel.SetEnabled(true);
  dialog.FrameCloseRequested();
  EXPECT_EQ(cfg.ops, (std::vector<int>{4, 1, 10, 13, 1}));
  ExpectClosedFor(5);
}

TEST_F(LifeTest, exitResetsAnOpenPanelAndGivesItsFramesBack) {
  ChannelSetup record = Record(12);
  record.OPCEnabled = true;
  Open(0, record);
  form().cmdOPC.Click();
  ASSERT_FALSE(form().fMisc.Enabled());

  dialog.cmdOk_Click();

  EXPECT_FALSE(form().fOPC.Visible());
  EXPECT_EQ(form().fOPC.Left(), ParkedPanelLeft);
  EXPECT_EQ(form().cmdOPC.Caption(), "OPC Setup >>");
  EXPECT_EQ(form().cmdOPC.ToolTip(), "Display / Edit OPC Setup...");
  EXPECT_EQ(form().cmdCommands.Caption(), "Commands >>");
  EXPECT_EQ(form().cmdCommands.ToolTip(), "Display / Edit Device Commands...");
  EXPECT_TRUE(form().fMisc.Enabled());
  EXPECT_TRUE(form().fDataField.Enabled());
}

TEST_F(LifeTest, protocolListIsFilledOnceAndTheDebugLabelFollowsEveryShowing) {
  form().lDebugMode.SetVisible(true);
  Open(0, Record(3));
  EXPECT_FALSE(form().lDebugMode.Visible());
  ASSERT_EQ(form().cb[3].ListCount(), 42);
  EXPECT_EQ(form().cb[3].List(0), "ZelODBC");
  EXPECT_EQ(form().cb[3].List(9), "VO Quenby Format");
  EXPECT_EQ(form().cb[3].List(10), "VOCustom Format 1");
  EXPECT_EQ(form().cb[3].List(41), "VOCustom Format 32");
  dialog.cmdCancel_Click();

  startup.DebugMode = true;
  Open(1, Record(3));
  EXPECT_EQ(form().cb[3].ListCount(), 42);
  EXPECT_TRUE(form().lDebugMode.Visible());
}

}  // namespace
}  // namespace tarvex
