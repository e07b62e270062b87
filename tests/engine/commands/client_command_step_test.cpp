// The client-command step in the scan pass: commands from a channel's Device
// and OPC items, the bytes a scale receives on a pseudo-terminal, the answer
// the client gets back, and the channel's display.
#include <gtest/gtest.h>

#include <chrono>

#include "tests/support/commands_fixture.h"

namespace tarvex {
namespace {

constexpr int32_t Scale = 5;  // a scale protocol
constexpr int32_t Ch = 1;

struct SentCase {
  const char* name;
  std::string definition;
  int32_t startChar;
  int32_t endChar;
  double parameter;
  std::string bytes;                      // at the master
  std::optional<std::string> statusLine;  // nullopt: left as it was
  bool transmitLit;
};

class SentCommand : public ::testing::TestWithParam<SentCase> {};

TEST_P(SentCommand, ReachesTheScaleAndIsAnsweredTaken) {
  const SentCase& c = GetParam();
  CommandsFixture f;
  PtyPair pty;
  ASSERT_TRUE(pty.ok());
  f.SerialChannel(Ch, Scale, pty);
  f.config.Protocols[Scale].CmdStartChar = c.startChar;
  f.config.Protocols[Scale].CmdEndChar = c.endChar;
  f.Command(Scale, 2, c.definition, "Preset Tare", "3");
  f.publication.StatusText[Ch] = "Online...";
  f.engine.ScanTick = 40;
  f.DeviceCommand(Ch, 3, c.parameter);

  f.Pass();

  EXPECT_EQ(pty.Receive(c.bytes.size()), c.bytes);
  EXPECT_EQ(f.window.ClientCmd[Ch], 0);
  EXPECT_EQ(f.window.ClientCmdStat[Ch], 103);
  EXPECT_EQ(f.devices.At(Ch)->CCmdStat(), 103);
  EXPECT_EQ(f.devices.At(Ch)->CCmd(), 0);
  EXPECT_EQ(f.publication.StatusText[Ch], c.statusLine.value_or("Online..."));
  EXPECT_EQ(f.grid.IndicatorOn(Ch, Lamp::Transmit), c.transmitLit);
  EXPECT_EQ(f.engine.LastIndicatorTick[Ch][Indicator::Transmit], 41);
  EXPECT_EQ(f.errorLog.Texts(LogKind::ActiveX),
            std::vector<std::string>{"Device: 1; Rcvd ActiveX Command: 3  Parm: " + ParameterText(c.parameter) +
                                     "   Stat: 0"});
  // Every reading after an answered command is published again in full.
  EXPECT_EQ(f.engine.PubStatBits[Ch], ForceStatusPublication);
  EXPECT_EQ(f.publication.PubGross[Ch], "-999999");
  EXPECT_EQ(f.publication.PubNet[Ch], "-999999");
  EXPECT_EQ(f.publication.PubTare[Ch], "-999999");
}

INSTANTIATE_TEST_SUITE_P(
    Examples, SentCommand,
    ::testing::Values(SentCase{"SixTildes", "PT~~~~~~", 2, 1310, 12.5, "\x02PT12.5\r\n", std::nullopt, false},
                    SentCase{"ShortParameter", "PT~~~~~~", 0, 0, 5, "PT5", std::nullopt, false},
                    SentCase{"DecimalsRounded", "W~~", 0, 0, 1.25, "W1", std::nullopt, false},
                    SentCase{"PlaceholderInside", "A~~B", 0, 0, 7, "A7B", std::nullopt, false},
                    SentCase{"SingleTildeAtEnd", "S~", 0, 0, 7, "S7", "7  Preset Tare", true},
                    SentCase{"NoPlaceholder", "Z", 0, 13, 99, "Z\r", "Preset Tare", true},
                    SentCase{"NegativeFraction", "T~~~~", 0, 0, -0.5, "T-.5", std::nullopt, false}),
    [](const ::testing::TestParamInfo<SentCase>& info) { return std::string(info.param.name); });

// A scale protocol's channel on a pseudo-terminal.
class ClientCommands : public ::testing::Test {
protected:
  ClientCommands() { f.SerialChannel(Ch, Scale, pty); }
  // Nothing was written before the marker that the test sends after the pass.
  void ExpectNothingSent() {
    f.ports[Ch].Output("#");
    EXPECT_EQ(pty.Receive(1), "#");
  }
  // Command 1 fails with error `number` on its pass: it is answered not
  // taken, so the next pass does not fail again.
  void ExpectReportedOnceAndAnswered(int32_t number) {
    f.DeviceCommand(Ch, 1, 0);
    f.Pass();
    f.Pass();
    EXPECT_EQ(f.window.ClientCmd[Ch], 0);
    EXPECT_EQ(f.window.ClientCmdStat[Ch], 1001);
    const auto errors = f.errorLog.Texts(LogKind::Error);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_TRUE(errors[0].starts_with("Channel: 2  Critical Error: " + std::to_string(number) + "  ")) << errors[0];
    EXPECT_EQ(f.box.shown.size(), 1u);
    // The answer reached the client on the pass after the failing one.
    EXPECT_EQ(f.devices.At(Ch)->CCmdStat(), 1001);
    ExpectNothingSent();
  }
  PtyPair pty;
  CommandsFixture f;
};

TEST_F(ClientCommands, AnUnknownCommandIsAnsweredNotTakenAndNothingIsSent) {
  f.Command(Scale, 0, "Z", "Zero", "1");
  f.DeviceCommand(Ch, 9, 0);

  f.Pass();

  EXPECT_EQ(f.window.ClientCmd[Ch], 0);
  EXPECT_EQ(f.window.ClientCmdStat[Ch], 1009);
  EXPECT_EQ(f.devices.At(Ch)->CCmdStat(), 1009);
  EXPECT_EQ(f.engine.PubStatBits[Ch], ForceStatusPublication);
  EXPECT_TRUE(f.errorLog.Texts().empty());
  ExpectNothingSent();
}

TEST_F(ClientCommands, ADisabledEntryHoldsTheCommandAndIsLookedUpAgainEachPass) {
  // The lower duplicate wins even though the higher one is enabled.
  f.Command(Scale, 1, "Z", "Zero", "4", false);
  f.Command(Scale, 6, "Y", "Other", "04", true);
  f.DeviceCommand(Ch, 4, 0);

  for (int pass = 0; pass < 3; ++pass) {
    f.engine.PubStatBits[Ch] = 0;
    f.publication.PubGross[Ch] = "1.0";
    f.trace.clear();
    f.Pass();
    EXPECT_EQ(f.engine.PubStatBits[Ch], ForceStatusPublication) << pass;
    EXPECT_EQ(f.publication.PubGross[Ch], "-999999") << pass;
    EXPECT_EQ(f.window.ClientCmd[Ch], 4);
    EXPECT_EQ(f.window.ClientCmdStat[Ch], 0);
    // The Device client hears of it on every pass.
    EXPECT_EQ(f.devices.At(Ch)->CCmd(), 4);
    EXPECT_FALSE(f.window.DeviceDirty[Ch]);
  }
  EXPECT_TRUE(f.errorLog.Texts().empty());
  ExpectNothingSent();
}

TEST_F(ClientCommands, WithTheHandshakeOnALeftStatusWaitsAndWithItOffTheCommandIsSent) {
  f.Command(Scale, 0, "Z", "Zero", "1");
  f.DeviceCommand(Ch, 1, 0, 5);

  f.Pass();
  EXPECT_EQ(f.window.ClientCmd[Ch], 1);
  EXPECT_EQ(f.window.ClientCmdStat[Ch], 5);
  ExpectNothingSent();

  f.config.System.CmdHandshake = false;
  f.Pass();
  EXPECT_EQ(pty.Receive(1), "Z");
  EXPECT_EQ(f.window.ClientCmd[Ch], 0);
  EXPECT_EQ(f.window.ClientCmdStat[Ch], 101);
  // The log shows the client's own status.
  EXPECT_EQ(f.errorLog.Texts(LogKind::ActiveX),
            std::vector<std::string>{"Device: 1; Rcvd ActiveX Command: 1  Parm: 0   Stat: 5"});
}

TEST_F(ClientCommands, ATerminalChannelsCommandIsAnsweredNotTakenWithNothingWritten) {
  f.config.Channels[Ch].ConnectUsing = ConnectionType::ArcNet;
  f.Command(Scale, 0, "Z", "Zero", "1");
  f.DeviceCommand(Ch, 1, 0);

  f.Pass();

  EXPECT_EQ(f.window.ClientCmd[Ch], 0);
  EXPECT_EQ(f.window.ClientCmdStat[Ch], 1001);
  EXPECT_EQ(f.errorLog.Texts(LogKind::Error),
            std::vector<std::string>{"Channel: 2  Command 1 not sent: the channel is not on a serial port"});
  EXPECT_FALSE(f.grid.IndicatorOn(Ch, Lamp::Transmit));
  ExpectNothingSent();
}

TEST_F(ClientCommands, AParameterTooWideForItsPlaceholderIsNeverSentCutDown) {
  f.Command(Scale, 0, "W~~", "Weight", "2");
  f.DeviceCommand(Ch, 2, 1234);

  f.Pass();

  EXPECT_EQ(f.window.ClientCmd[Ch], 0);
  EXPECT_EQ(f.window.ClientCmdStat[Ch], 1002);
  EXPECT_EQ(f.errorLog.Texts(LogKind::Error),
            std::vector<std::string>{"Channel: 2  Command 2 not sent: parameter 1234 does not fit \"W~~\""});
  ExpectNothingSent();
}

TEST_F(ClientCommands, AClosedPortAnswersNotTakenAndThePassGoesOn) {
  f.ports[Ch].SetPortOpen(false);
  f.grid.Light(Ch, Lamp::Error, true);
  f.Command(Scale, 0, "Z", "Zero", "1");
  f.DeviceCommand(Ch, 1, 0);

  f.Pass();

  EXPECT_EQ(f.window.ClientCmdStat[Ch], 1001);
  EXPECT_FALSE(f.grid.IndicatorOn(Ch, Lamp::Error));
  EXPECT_TRUE(f.errorLog.Texts(LogKind::Error).empty());
  // The channel's data step and the channel tail still ran.
  EXPECT_EQ(f.Only({"data"}), (Trace{"data " + std::to_string(Ch)}));
  EXPECT_EQ(f.devices.At(Ch)->CCmdStat(), 1001);
}

TEST_F(ClientCommands, AnUnusableCommandCharacterIsReportedOnceAndTheCommandAnswered) {
  f.config.Protocols[Scale].CmdStartChar = 300;
  f.Command(Scale, 0, "Z", "Zero", "1");
  ExpectReportedOnceAndAnswered(5);
}

TEST_F(ClientCommands, AChannelWithoutAProtocolIsReportedOnceAndTheCommandAnswered) {
  // A channel file that names no protocol (the setup dialog stores -1 when
  // none is chosen).
  f.config.Channels[Ch].ChannelProtocol = -1;
  ExpectReportedOnceAndAnswered(9);
}

TEST_F(ClientCommands, ALogThatCannotBeWrittenNeitherLosesNorRepeatsTheCommand) {
  f.Command(Scale, 0, "Z", "Zero", "1");
  f.DeviceCommand(Ch, 1, 0);
  f.errorLog.failing = true;

  f.Pass();
  f.Pass();

  EXPECT_EQ(pty.Receive(1), "Z");
  EXPECT_EQ(f.window.ClientCmd[Ch], 0);
  EXPECT_EQ(f.window.ClientCmdStat[Ch], 101);
  // The failed record reached the handler once: one box, not one per pass.
  ASSERT_EQ(f.box.shown.size(), 1u);
  EXPECT_TRUE(f.box.shown[0].text.starts_with("Critical Error: 75  ")) << f.box.shown[0].text;
  ExpectNothingSent();
}

TEST_F(ClientCommands, TheOPCStageAnswersThroughItsItemsAtTheSameTail) {
  f.config.Channels[Ch].Bidirectional = true;
  f.config.Channels[Ch].OPCEnabled = true;
  f.config.Channels[Ch].RefreshInterval = 30;
  for (int position = 0; position < 7; ++position) f.items.AddItem(Ch, position, "Tag" + std::to_string(position));
  f.items.SetItemValue(Ch, OPCCommandItem::Cmd, 3);
  f.items.SetItemValue(Ch, OPCCommandItem::CmdParm, 12.5);
  f.items.SetItemValue(Ch, OPCCommandItem::CmdStat, 0);
  f.config.Protocols[Scale].CmdEndChar = 1310;
  f.Command(Scale, 0, "PT~~~~~~", "Preset Tare", "3");
  f.engine.ScanTick = 100;
  f.engine.LastOPCWriteTick[Ch] = 95;

  f.Pass();

  EXPECT_EQ(pty.Receive(8), "PT12.5\r\n");
  EXPECT_EQ(f.items.ItemValue(Ch, OPCCommandItem::Cmd), 0);
  EXPECT_EQ(f.items.ItemValue(Ch, OPCCommandItem::CmdStat), 103);
  EXPECT_EQ(f.opc.OPC(Ch).writes, 1);
  EXPECT_EQ(f.errorLog.Texts(LogKind::Opc),
            std::vector<std::string>{"Device: 1; Rcvd OPC Command: 3  Parm: 12.5   Stat: 0"});
}

TEST_F(ClientCommands, AnIdleOPCChannelIsWrittenAgainEveryRefreshInterval) {
  f.config.Channels[Ch].OPCEnabled = true;
  f.config.Channels[Ch].RefreshInterval = 30;
  std::vector<int32_t> writtenAt;
  for (int pass = 0; pass < 70; ++pass) {
    const int before = f.opc.OPC(Ch).writes;
    f.Pass();
    if (f.opc.OPC(Ch).writes != before) writtenAt.push_back(f.engine.ScanTick);
  }
  EXPECT_EQ(writtenAt, (std::vector<int32_t>{30, 60}));
}

TEST_F(ClientCommands, TheTransmitLampLitByACommandGoesOutOnALaterPass) {
  f.Command(Scale, 0, "Z", "Zero", "1");
  f.DeviceCommand(Ch, 1, 0);
  f.Pass();
  ASSERT_TRUE(f.grid.IndicatorOn(Ch, Lamp::Transmit));
  f.Pass();
  EXPECT_FALSE(f.grid.IndicatorOn(Ch, Lamp::Transmit));
}

TEST_F(ClientCommands, APortWhoseDeviceReadsNothingNeverHoldsThePass) {
  f.Command(Scale, 0, "P~~~~~~~~", "Print", "1");
  // Fill the line until the device takes no more.
  f.ports[Ch].Output(std::string(256 * 1024, 'x'));

  using Clock = std::chrono::steady_clock;
  Clock::duration longest{};
  const auto deadline = Clock::now() + std::chrono::seconds(10);
  while (f.errorLog.Texts(LogKind::Error).empty() && Clock::now() < deadline) {
    f.DeviceCommand(Ch, 1, 5);
    const auto start = Clock::now();
    f.Pass();
    longest = std::max(longest, Clock::now() - start);
  }
  // The stall is reported once, as a critical error, after its 2 seconds;
  // no pass waited for the device meanwhile.
  EXPECT_LT(longest, std::chrono::milliseconds(500));
  const auto errors = f.errorLog.Texts(LogKind::Error);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_TRUE(errors[0].starts_with("Channel: 2  Critical Error: 57  ")) << errors[0];
  EXPECT_EQ(f.window.ClientCmdStat[Ch], 1001);
  EXPECT_EQ(f.box.shown.size(), 1u);
  EXPECT_FALSE(f.engine.ScanInProgress);
}

TEST_F(ClientCommands, AHungUpLineIsReportedOnceAndThenLeftAlone) {
  f.Command(Scale, 0, "Z", "Zero", "1");
  f.DeviceCommand(Ch, 1, 0);
  f.Pass();
  ASSERT_EQ(pty.Receive(1), "Z");
  pty.CloseOtherSide();

  for (int pass = 0; pass < 5; ++pass) {
    f.DeviceCommand(Ch, 1, 0);
    f.Pass();
    EXPECT_EQ(f.window.ClientCmdStat[Ch], 1001) << pass;
  }
  const auto errors = f.errorLog.Texts(LogKind::Error);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_TRUE(errors[0].starts_with("Channel: 2  Critical Error: 57  ")) << errors[0];
  EXPECT_EQ(f.box.shown.size(), 1u);
  // The port closed itself: nothing watches the dead line any more.
  EXPECT_FALSE(f.ports[Ch].PortOpen());
}

}  // namespace
}  // namespace tarvex
