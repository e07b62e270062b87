#include "tests/support/setup_dialog_harness.h"

namespace tarvex {
namespace {

class PanelsTest : public SetupDialogTest {
protected:
  void SetUp() override {
    form().EnsureLoaded();
    form().ckBidirectional.SetValue(1);
    form().ckOPC.SetValue(1);
  }
  void ExpectCoveredFramesEnabled(bool enabled) {
    EXPECT_EQ(form().fDataField.Enabled(), enabled);
    EXPECT_EQ(form().fStatus.Enabled(), enabled);
    EXPECT_EQ(form().fMisc.Enabled(), enabled);
  }
  void ExpectCommandsClosed() {
    EXPECT_FALSE(form().fCommand.Visible());
    EXPECT_EQ(form().fCommand.Left(), ParkedPanelLeft);
    EXPECT_EQ(form().cmdCommands.Caption(), "Commands >>");
    EXPECT_EQ(form().cmdCommands.ToolTip(), "Display / Edit Device Commands...");
  }
  void ExpectOPCClosed() {
    EXPECT_FALSE(form().fOPC.Visible());
    EXPECT_EQ(form().fOPC.Left(), ParkedPanelLeft);
    EXPECT_EQ(form().cmdOPC.Caption(), "OPC Setup >>");
    EXPECT_EQ(form().cmdOPC.ToolTip(), "Display / Edit OPC Setup...");
  }
};

TEST_F(PanelsTest, openingOnePanelClosesTheOther) {
  form().cmdCommands.Click();
  EXPECT_TRUE(form().fCommand.Visible());
  EXPECT_TRUE(form().fCommand.Enabled());
  EXPECT_EQ(form().fCommand.Left(), 450);
  EXPECT_EQ(form().cmdCommands.Caption(), "Commands <<");
  EXPECT_EQ(form().cmdCommands.ToolTip(), "Hide Device Commands...");
  ExpectCoveredFramesEnabled(false);

  form().cmdOPC.Click();
  ExpectCommandsClosed();
  EXPECT_TRUE(form().fOPC.Visible());
  EXPECT_EQ(form().cmdOPC.Caption(), "OPC Setup <<");
  EXPECT_EQ(form().cmdOPC.ToolTip(), "Hide OPC Setup...");
  ExpectCoveredFramesEnabled(false);

  form().cmdCommands.Click();
  ExpectOPCClosed();
  EXPECT_TRUE(form().fCommand.Visible());
  ExpectCoveredFramesEnabled(false);

  form().cmdCommands.Click();
  ExpectCommandsClosed();
  EXPECT_FALSE(form().fCommand.Enabled());
  ExpectCoveredFramesEnabled(true);
}

TEST_F(PanelsTest, panelsOpenAtTheLeftOfTheScreenWidthsLayout) {
  const struct {
    short width;
    int opcLeft;
  } rows[] = {{800, 678}, {1000, 678}, {1024, 648}, {1280, 648}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.width);
    startup.ScreenWidth = row.width;
    form().cmdOPC.Click();
    EXPECT_EQ(form().fOPC.Left(), row.opcLeft);
    form().cmdCommands.Click();
    EXPECT_EQ(form().fCommand.Left(), 450);
    form().cmdCommands.Click();
  }
}

TEST_F(PanelsTest, uncheckingBidirectionalWithCommandsOpenClosesThePanelAndGivesTheFramesBack) {
  form().cmdCommands.Click();
  form().ckBidirectional.SetValue(0);
  ExpectCommandsClosed();
  ExpectCoveredFramesEnabled(true);
  EXPECT_FALSE(form().cmdCommands.Enabled());
}

TEST_F(PanelsTest, uncheckingOPCInterfaceWithItsPanelOpenClosesThePanelAndGivesTheFramesBack) {
  form().cmdOPC.Click();
  form().ckOPC.SetValue(0);
  ExpectOPCClosed();
  ExpectCoveredFramesEnabled(true);
  EXPECT_FALSE(form().cmdOPC.Enabled());
}

TEST_F(PanelsTest, closingAPanelThatIsNotOpenLeavesTheOpenPanelsFramesDisabled) {
  form().cmdOPC.Click();
  form().ckBidirectional.SetValue(0);
  EXPECT_TRUE(form().fOPC.Visible());
  ExpectCoveredFramesEnabled(false);
}

TEST_F(PanelsTest, databaseLayoutClosesTheCommandsPanel) {
  form().cb[3].SetListIndex(5);
  form().cmdCommands.Click();
  form().cb[3].SetListIndex(0);
  ExpectCommandsClosed();
  ExpectCoveredFramesEnabled(true);
}

TEST_F(PanelsTest, focusMarkersShowWhichEnableBoxHasTheFocus) {
  form().ck[2].GotFocus();
  for (int i = 0; i < 4; ++i) EXPECT_EQ(form().sRect[i].Visible(), i == 2) << i;
  form().ck[2].LostFocus();
  for (int i = 0; i < 4; ++i) EXPECT_FALSE(form().sRect[i].Visible()) << i;

  form().ckCmd[7].GotFocus();
  form().ckCmd[3].LostFocus();  // another row's box losing the focus hides only its own marker
  for (int i = 0; i < 10; ++i) EXPECT_EQ(form().sCmdRect[i].Visible(), i == 7) << i;
  form().ckCmd[7].LostFocus();
  EXPECT_FALSE(form().sCmdRect[7].Visible());
}

}  // namespace
}  // namespace tarvex
