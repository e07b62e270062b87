// Setup of one channel leaves the other terminal channels in service: the
// main window, its setup dialog and the program's own polling engine over the
// in-process terminal network, the operator opening Setup on a channel and
// cancelling it while the scan goes on.
#include "core/fixed_tables.h"
#include "tests/support/engine_window_fixture.h"

namespace tarvex::test {
namespace {

class SetupRig : public EngineWindowTest {
public:
  SetupRig() {
    // The program's start-up fills the fixed tables.
    InitCommSettings(startup.Tables);
    InitWeightUnits(startup.Tables);
    InitDecimalFormats(startup.Tables);
  }
  void TestBody() override {}
  using MainWindowTest::boxes;
  using MainWindowTest::config;
  using MainWindowTest::devices;
  using MainWindowTest::engineState;
  using MainWindowTest::Launch;
  using EngineWindowTest::network;
  using MainWindowTest::publication;
  using MainWindowTest::scratch;
  using MainWindowTest::setupDialog;
  using MainWindowTest::window;

  void StoreChannel(int ch, const ChannelSetup& record) {
    config.Channels[ch] = record;
    cfg.CfgProc(CfgOp::WriteChannel, ch);
  }
  void Weigh(int ch, const std::string& weight) {
    network.SetField("/z" + std::to_string(ch + 3) + "/wt101", weight);
  }
  void Pass() { window->Timer1_Timer(); }
};

// A terminal channel reading the weight of node ch + 3.
ChannelSetup TerminalChannel(int ch) {
  ChannelSetup c;
  c.ChannelProtocol = 5;
  c.ConnectUsing = 1;
  c.DeviceID = std::to_string(ch + 3);
  c.DeviceEnabled = true;
  c.DeviceDescs = "Terminal " + std::to_string(ch + 1);
  c.PrimaryUnits = 1;
  c.RefreshInterval = 30;
  c.Timeout = 5000;
  return c;
}

ChannelSetup SerialChannel() {
  ChannelSetup c;
  c.ChannelProtocol = 1;
  c.ConnectUsing = 0;
  c.ComPortIndex = 0;
  c.PortSettingsIndex = 33;
  c.DeviceEnabled = true;
  c.PrimaryUnits = 1;
  c.RefreshInterval = 30;
  c.Timeout = 5000;
  return c;
}

TEST(TerminalChannelsThroughSetup, everyTerminalChannelNotHandedToSetupStaysInServiceAndPublishes) {
  const struct {
    const char* legend;
    std::vector<int> terminals;
    bool serialChannelOne;  // channel 1 an enabled serial channel on a pty
    int setupOf;
  } cases[] = {
      {"Setup of a serial channel after an active terminal channel", {0}, true, 1},
      {"Setup of the second of two terminal channels", {0, 1}, false, 1},
      {"Setup of an inactive channel", {0}, false, 5},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.legend);
    testing::PtyPair pty;
    ASSERT_TRUE(pty.ok());
    SetupRig rig;
    for (int ch : c.terminals) {
      rig.network.AddNode(std::to_string(ch + 3));
      rig.StoreChannel(ch, TerminalChannel(ch));
    }
    if (c.serialChannelOne) {
      rig.scratch.MapPorts({{1, pty.path()}});
      rig.StoreChannel(1, SerialChannel());
    }
    rig.Launch();
    rig.Pass();  // the first pass initialises every channel
    for (int ch : c.terminals) ASSERT_TRUE(rig.engineState.ChannelActive[ch]) << ch;
    if (c.serialChannelOne) {
      ASSERT_TRUE(rig.engineState.ChannelActive[1]) << rig.publication.StatusText[1] << (rig.boxes.shown().empty() ? "" : rig.boxes.shown()[0].text);
    }

    // Weights that change every pass: before Setup, while the dialog is
    // open, and after it was cancelled and the channel re-initialised.
    int weight = 100;
    const auto passesPublish = [&](const char* when, bool setupChannelToo) {
      for (int pass = 0; pass < 3; ++pass) {
        ++weight;
        for (int ch : c.terminals) rig.Weigh(ch, std::to_string(weight + ch));
        rig.Pass();
        for (int ch : c.terminals) {
          if (ch == c.setupOf && !setupChannelToo) continue;
          SCOPED_TRACE(std::string(when) + ", channel " + std::to_string(ch) + ", pass " + std::to_string(pass));
          EXPECT_TRUE(rig.engineState.ChannelActive[ch]);
          EXPECT_TRUE(rig.config.Channels[ch].DeviceEnabled);
          EXPECT_EQ(rig.publication.PubGross[ch], std::to_string(weight + ch));
          EXPECT_DOUBLE_EQ(rig.devices.At(ch)->CGross(), weight + ch);
          EXPECT_EQ(rig.publication.StatusText[ch], "Ready...");
        }
      }
    };
    passesPublish("before Setup", true);
    rig.window->cmdSetup_Click(c.setupOf);
    ASSERT_TRUE(rig.setupDialog->IsOpen());
    passesPublish("while Setup is open", false);
    rig.setupDialog->cmdCancel_Click();
    rig.Pass();  // re-initialises the channel handed back
    passesPublish("after Setup was cancelled", true);
    EXPECT_TRUE(rig.boxes.shown().empty());
  }
}

}  // namespace
}  // namespace tarvex::test
