// The detail window between the main window's Detail button and its own
// Close, fed by the publication: the forced values arrive, Close gives every
// button back and nothing more reaches the hidden window.
#include "publish/value_publisher.h"
#include "tests/support/main_window_fixture.h"
#include "ui/detail/detail_window.h"

namespace tarvex::test {
namespace {

class NoGridCells final : public GridCells {
public:
  void SetCellDirty(int32_t, int) override {}
  bool IndicatorOn(int32_t, int) const override { return false; }
  void SetIndicatorOn(int32_t, int, bool) override {}
  void DrawCell(int32_t, int) override {}
};

class NoOpcItems final : public OpcItems {
public:
  void SetItemValue(int32_t, int16_t, double) override {}
};

class MainWindowDetailTest : public MainWindowTest {
protected:
  MainWindowDetailTest() {
    Launch();
    ChannelSetup& channel = config.Channels[2];
    channel.DeviceEnabled = true;
    channel.ChannelProtocol = 3;
    channel.DeviceDescs = "Silo <2>";
  }

  OperatorWindowReturn main{state.Values, startup, [this] { window->EnableButtons(); },
                            [this](int channel) { events.push_back("focus cmdDetail(" + std::to_string(channel) + ")"); }};
  DetailWindow detail{config, main};
  NoGridCells grid;
  NoOpcItems opc;
  ValuePublisher publisher{publication, state.Values, config, grid, opc, detail, handshake};
};

TEST_F(MainWindowDetailTest, theOpenedWindowIsFilledByThePublicationAndItsCloseGivesTheButtonsBack) {
  // The value the channel last published is published again for the new window.
  publication.NewGross[2] = "12.50";
  publisher.SetVal(1, 2);
  window->cmdDetail_Click(2);
  detail.Show();
  EXPECT_FALSE(view.last.cmdDetailEnabled[2]);
  EXPECT_EQ(detail.Controls().Caption, " Tarvex Channel 3  Device Detail...");
  EXPECT_EQ(detail.Controls().Ld[DetailLabel::DeviceDesc], "Silo <2>");
  publisher.SetVal(1, 2);
  EXPECT_EQ(detail.Controls().Ld[DetailLabel::Gross], "12.50");

  events.clear();
  detail.cmdClose_Click();
  EXPECT_EQ(events, (Events{"focus cmdDetail(2)"}));
  EXPECT_FALSE(state.Values.DetailOpen[2]);
  EXPECT_TRUE(view.last.cmdRefreshEnabled);
  EXPECT_TRUE(view.last.CmdHelpEnabled);
  EXPECT_TRUE(view.last.cmdEndEnabled);
  for (size_t ch = 0; ch < 32; ++ch) {
    EXPECT_TRUE(view.last.cmdSetupEnabled[ch]) << ch;
    EXPECT_TRUE(view.last.cmdDetailEnabled[ch]) << ch;
  }

  publication.NewGross[2] = "13.00";
  publisher.SetVal(1, 2);
  EXPECT_EQ(detail.Controls().Ld[DetailLabel::Gross], "12.50");
}

}  // namespace
}  // namespace tarvex::test
