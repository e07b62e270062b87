#include "tests/support/setup_dialog_harness.h"

namespace tarvex {
namespace {

using ConnectionLayoutTest = SetupDialogTest;

TEST_F(ConnectionLayoutTest, eachConnectionGivesItsEnabledFlagsColoursAndDefaults) {
  const OleColour white = DialogColour::White, grey = DialogColour::LightGrey;
  const struct Row {
    int connection;
    const char* refresh;
    const char* txDelay;
    int bidirectional;
    bool virtualZel, portControls, txDelayEnabled;
    OleColour boxColour;  // tTxDelay, cb(1), cb(2)
    const char* refreshAfter;
    const char* txDelayAfter;
  } rows[] = {
      {0, "", "", 0, false, true, false, white, "50", "5"},
      {0, "0", "abc", 0, false, true, false, white, "50", "5"},
      {0, "12", "7", 0, false, true, false, white, "12", "7"},
      {0, "", "", 1, false, true, true, white, "50", "5"},
      {1, "", "", 0, true, false, false, grey, "50", "0"},
      {1, "12", "7", 1, true, false, false, grey, "12", "7"},
      {2, "", "", 0, false, false, false, grey, "", ""},
      {2, "12", "7", 1, false, false, false, grey, "12", "7"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << "connection " << row.connection << " refresh \"" << row.refresh
                                    << "\" tx delay \"" << row.txDelay << "\" bidirectional " << row.bidirectional);
    SetupDialogForm form;
    form.EnsureLoaded();
    SetupFieldLogic rowLogic(form, config, startup, handover, cfg, grid());
    form.cb[3].SetListIndex(5);  // a normal protocol, so the layout is not the database one
    form.ckBidirectional.SetValue(row.bidirectional);
    form.tRefresh.SetText(row.refresh);
    form.tTxDelay.SetText(row.txDelay);

    form.cb[0].SetListIndex(row.connection);

    EXPECT_EQ(form.ckEnableVZel.Enabled(), row.virtualZel);
    for (int i = 0; i < 2; ++i) {
      EXPECT_EQ(form.lCb1[i].Enabled(), row.portControls);
      EXPECT_EQ(form.lCb2[i].Enabled(), row.portControls);
      EXPECT_EQ(form.ltTxDelay[i].Enabled(), row.txDelayEnabled);
    }
    EXPECT_EQ(form.ckXONXOFF.Enabled(), row.portControls);
    EXPECT_EQ(form.cb[1].Enabled(), row.portControls);
    EXPECT_EQ(form.cb[2].Enabled(), row.portControls);
    EXPECT_EQ(form.tTxDelay.Enabled(), row.txDelayEnabled);
    EXPECT_EQ(form.tTxDelay.BackColor(), row.boxColour);
    EXPECT_EQ(form.cb[1].BackColor(), row.boxColour);
    EXPECT_EQ(form.cb[2].BackColor(), row.boxColour);
    EXPECT_EQ(form.tRefresh.Text(), row.refreshAfter);
    EXPECT_EQ(form.tTxDelay.Text(), row.txDelayAfter);
    // Lists without a selection get their first entry.
    EXPECT_EQ(form.cb[1].ListIndex(), 0);
    EXPECT_EQ(form.cb[2].ListIndex(), 0);
    EXPECT_EQ(form.cb[4].ListIndex(), 0);
    EXPECT_EQ(form.cb[3].ListIndex(), 5);
  }
}

TEST_F(ConnectionLayoutTest, connectionWithoutProtocolSelectsTheDatabaseProtocolAndStoresItOutsideTheFill) {
  handover.SetupChannel = 4;
  config.Channels[4].ChannelProtocol = 7;
  form().frmTarvexStdSetup.SetVisible(true);  // the user is editing
  form().EnsureLoaded();

  form().cb[0].SetListIndex(1);

  EXPECT_EQ(form().cb[3].ListIndex(), 0);
  EXPECT_EQ(config.Channels[4].ChannelProtocol, 0);
  EXPECT_EQ(cfg.ops, (std::vector<int>{10, 13}));
  EXPECT_FALSE(form().fDataField.Visible());
  EXPECT_EQ(form().fMisc.Top(), 1848);
  // The database layout checked Bi-Directional, which enabled the Tx Delay box
  // after the ArcNet layout had disabled it.
  EXPECT_EQ(form().ckBidirectional.Value(), 1);
  EXPECT_TRUE(form().tTxDelay.Enabled());
  EXPECT_FALSE(form().cmdCommands.Enabled());
}

TEST_F(ConnectionLayoutTest, selectionOfNoConnectionChangesNothing) {
  form().EnsureLoaded();
  form().cb[0].SetListIndex(2);
  form().tRefresh.SetText("");
  form().cb[0].SetListIndex(-1);
  EXPECT_FALSE(form().cb[1].Enabled());
  EXPECT_EQ(form().tRefresh.Text(), "");
}

TEST_F(ConnectionLayoutTest, otherDriverBoxFollowsTheDatabaseDriver) {
  const struct {
    int driver;
    bool enabled;
    OleColour colour;
  } rows[] = {{4, true, DialogColour::White}, {0, false, DialogColour::LightGrey}, {3, false, DialogColour::LightGrey},
              {4, true, DialogColour::White}, {-1, true, DialogColour::White}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.driver);
    form().cb[4].SetListIndex(row.driver);
    EXPECT_EQ(form().tOtherDriver.Enabled(), row.enabled);
    EXPECT_EQ(form().tOtherDriver.BackColor(), row.colour);
  }
}

TEST_F(ConnectionLayoutTest, listReceivingTheFocusWithoutSelectionTakesItsFirstEntry) {
  form().EnsureLoaded();
  form().cb[5].GotFocus();
  EXPECT_EQ(form().cb[5].ListIndex(), 0);
  form().cb[6].SetListIndex(3);
  form().cb[6].GotFocus();
  EXPECT_EQ(form().cb[6].ListIndex(), 3);
  // cb(0) taking the focus runs the connection layout through its selection.
  form().cb[0].GotFocus();
  EXPECT_EQ(form().tTxDelay.BackColor(), DialogColour::White);
}

TEST_F(ConnectionLayoutTest, switchesEnableTheirBoxesAndButtons) {
  form().ckAsciiLogFile.SetValue(1);
  EXPECT_TRUE(form().tAsciiLogFileName.Enabled());
  EXPECT_EQ(form().tAsciiLogFileName.BackColor(), DialogColour::White);
  form().ckAsciiLogFile.SetValue(0);
  EXPECT_FALSE(form().tAsciiLogFileName.Enabled());
  EXPECT_EQ(form().tAsciiLogFileName.BackColor(), DialogColour::LightGrey);

  form().ckDataMap.SetValue(1);
  EXPECT_TRUE(form().cmdDataMap.Enabled());
  form().cmdDataMap.Click();  // does nothing: the data-map panel is never shown
  EXPECT_FALSE(form().fDataMap.Visible());
  form().ckDataMap.SetValue(0);
  EXPECT_FALSE(form().cmdDataMap.Enabled());

  form().ckBidirectional.SetValue(1);
  for (const Control* control : {static_cast<const Control*>(&form().cmdCommands),
                                 static_cast<const Control*>(&form().ckPollForData),
                                 static_cast<const Control*>(&form().tTxDelay),
                                 static_cast<const Control*>(&form().ltTxDelay[0]),
                                 static_cast<const Control*>(&form().ltTxDelay[1])}) {
    EXPECT_TRUE(control->Enabled()) << control->Name();
  }
  form().ckPollForData.SetValue(1);
  form().ckBidirectional.SetValue(0);
  EXPECT_FALSE(form().cmdCommands.Enabled());
  EXPECT_FALSE(form().ckPollForData.Enabled());
  EXPECT_EQ(form().ckPollForData.Value(), 1);  // its value is kept
  EXPECT_FALSE(form().tTxDelay.Enabled());
  EXPECT_EQ(form().tTxDelay.BackColor(), DialogColour::LightGrey);  // no colour change
}

}  // namespace
}  // namespace tarvex
