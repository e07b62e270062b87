#include "tests/support/setup_dialog_harness.h"

namespace tarvex {
namespace {

class ProtocolLayoutTest : public SetupDialogTest {
protected:
  // The user edits channel 2 in an open dialog.
  void SetUp() override {
    handover.SetupChannel = 2;
    form().EnsureLoaded();
    form().frmTarvexStdSetup.SetVisible(true);
  }
};

TEST_F(ProtocolLayoutTest, protocolChoiceStoresLoadsAndLocksBuiltInProtocolsUnlessUnprotected) {
  const struct {
    int protocol;
    bool unprotect;
    bool locked;
  } rows[] = {{0, false, true},  {9, false, true},  {10, false, false}, {41, false, false},
              {0, true, false},  {9, true, false},  {10, true, false},  {41, true, false}};
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << "protocol " << row.protocol << " UNPROTECT " << row.unprotect);
    startup.EditFixedProtocols = row.unprotect;
    form().cb[3].SetListIndex(row.protocol == 5 ? 6 : 5);  // start from another protocol
    cfg.ops.clear();
    journal.clear();

    form().cb[3].SetListIndex(row.protocol);

    EXPECT_EQ(config.Channels[2].ChannelProtocol, row.protocol);
    EXPECT_EQ(journal, (Journal{"cfg 10 " + std::to_string(row.protocol), "cfg 13 " + std::to_string(row.protocol)}));
    const bool editable = !row.locked;
    for (int i = 0; i <= 9; ++i) {
      EXPECT_EQ(form().t[i].Enabled(), editable) << i;
      EXPECT_EQ(form().tCmd[i].Enabled(), editable) << i;
      EXPECT_EQ(form().ckCmd[i].Enabled(), editable) << i;
    }
    EXPECT_TRUE(form().t[10].Enabled());  // the maximum stream length is never locked
    for (int i = 0; i < 4; ++i) EXPECT_EQ(form().ck[i].Enabled(), editable);
    EXPECT_EQ(form().tCmdStart.Enabled(), editable);
    EXPECT_EQ(form().tCmdEnd.Enabled(), editable);
    EXPECT_EQ(grid().Enabled(), editable);
    EXPECT_EQ(grid().ForeColor(), row.locked ? DialogColour::Grey : DialogColour::Black);
    EXPECT_EQ(form().lWarning[0].Visible(), editable);
    EXPECT_EQ(form().lWarning[1].Visible(), editable);
  }
}

TEST_F(ProtocolLayoutTest, databaseLayoutThenNormalProtocolRestoresTheNormalLayout) {
  form().cb[3].SetListIndex(4);
  form().ckOPC.SetValue(1);
  form().cmdOPC.Click();
  ASSERT_TRUE(form().fOPC.Visible());
  form().ckBidirectional.SetValue(0);
  form().ckPollForData.SetValue(1);

  form().cb[3].SetListIndex(0);

  EXPECT_TRUE(form().lCb4[0].Enabled());
  EXPECT_TRUE(form().lCb4[1].Enabled());
  EXPECT_TRUE(form().cb[4].Enabled());
  EXPECT_EQ(form().cb[4].BackColor(), DialogColour::White);
  EXPECT_FALSE(form().fDataField.Visible());
  EXPECT_FALSE(form().fStatus.Visible());
  EXPECT_FALSE(form().ckDDEServer.Enabled());
  EXPECT_FALSE(form().ckOPC.Enabled());
  EXPECT_EQ(form().ckOPC.Value(), 0);
  EXPECT_FALSE(form().fOPC.Visible());  // unchecking OPC Interface closed its panel
  EXPECT_FALSE(form().cmdOPC.Enabled());
  EXPECT_EQ(form().ckBidirectional.Value(), 1);
  EXPECT_FALSE(form().ckBidirectional.Enabled());
  EXPECT_FALSE(form().ckPollForData.Enabled());
  EXPECT_EQ(form().ckPollForData.Value(), 0);
  EXPECT_FALSE(form().cmdCommands.Enabled());
  EXPECT_FALSE(form().fCommand.Visible());
  EXPECT_EQ(form().fCommand.Left(), ParkedPanelLeft);
  EXPECT_EQ(form().fMisc.Top(), 1848);
  EXPECT_TRUE(form().fMisc.Enabled());  // the closed OPC panel gave its frames back
  EXPECT_TRUE(form().ckInteractiveDBErrors.Enabled());
  // Bi-Directional's own logic ran inside the layout: the Tx Delay box is on.
  EXPECT_TRUE(form().tTxDelay.Enabled());

  form().cb[3].SetListIndex(3);

  EXPECT_FALSE(form().lCb4[0].Enabled());
  EXPECT_FALSE(form().cb[4].Enabled());
  EXPECT_EQ(form().cb[4].BackColor(), DialogColour::LightGrey);
  EXPECT_TRUE(form().fDataField.Visible());
  EXPECT_TRUE(form().fStatus.Visible());
  EXPECT_TRUE(form().ckDDEServer.Enabled());
  EXPECT_TRUE(form().ckOPC.Enabled());
  EXPECT_EQ(form().ckOPC.Value(), 0);
  EXPECT_EQ(form().ckBidirectional.Value(), 0);  // the forced check is taken back
  EXPECT_TRUE(form().ckBidirectional.Enabled());
  EXPECT_FALSE(form().cmdCommands.Enabled());
  EXPECT_FALSE(form().ckPollForData.Enabled());
  EXPECT_FALSE(form().tTxDelay.Enabled());
  EXPECT_EQ(form().fMisc.Top(), 6360);
  EXPECT_FALSE(form().ckInteractiveDBErrors.Enabled());
}

TEST_F(ProtocolLayoutTest, enabledBidirectionalCheckSurvivesAnotherNormalProtocol) {
  form().cb[3].SetListIndex(4);
  form().ckBidirectional.SetValue(1);
  form().cb[3].SetListIndex(12);
  EXPECT_EQ(form().ckBidirectional.Value(), 1);
  EXPECT_TRUE(form().cmdCommands.Enabled());
}

TEST_F(ProtocolLayoutTest, lockFollowsTheStoredProtocolNotTheList) {
  // While the main window fills the dialog the list stores nothing, so the lock
  // is that of the channel's stored protocol.
  config.Channels[2].ChannelProtocol = 15;
  handover.SetupLoading = true;
  form().cb[3].SetListIndex(3);
  EXPECT_TRUE(cfg.ops.empty());
  EXPECT_EQ(config.Channels[2].ChannelProtocol, 15);
  EXPECT_TRUE(form().t[0].Enabled());
  EXPECT_TRUE(form().lWarning[0].Visible());
}

}  // namespace
}  // namespace tarvex
