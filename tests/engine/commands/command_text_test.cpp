// The text a client's command puts on the line, the entry it selects and the
// status it is answered with; and the bytes a scale really receives.
#include "engine/commands/command_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "core/log_writer.h"
#include "platform/serial/serial_port.h"
#include "tests/support/pty_pair.h"
#include "tests/support/run_time_error_of.h"

namespace tarvex {
namespace {

using test::ErrorOf;

// A protocol whose entry k has the given definition, name and value.
struct Entry {
  std::string definition;
  std::string name;
  std::string value;
  bool enabled = true;
};

ProtocolDefinition ProtocolWith(std::initializer_list<Entry> entries, int32_t start = 0, int32_t end = 0) {
  ProtocolDefinition protocol;
  protocol.CmdStartChar = start;
  protocol.CmdEndChar = end;
  size_t k = 0;
  for (const Entry& entry : entries) {
    protocol.Commands[k].ProtocolCommands = {entry.definition, entry.name, entry.value, ""};
    protocol.Commands[k].CommandEnabled = entry.enabled;
    ++k;
  }
  return protocol;
}

TEST(ParameterText, isTheShortDecimalTextOfTheNumber) {
  struct Row {
    double parameter;
    const char* text;
  };
  const Row rows[] = {
      {12.5, "12.5"},   {5, "5"},         {0.5, ".5"},       {-0.5, "-.5"},      {0, "0"},
      {-0.0, "0"},      {1234, "1234"},   {1e16, "1E+16"},   {1.5e-5, "1.5E-05"}, {0.0001, ".0001"},
      {-1234.25, "-1234.25"}, {123456789012345.0, "123456789012345"}, {1.0 / 3.0, ".333333333333333"},
  };
  for (const Row& row : rows) EXPECT_EQ(ParameterText(row.parameter), row.text) << row.parameter;
}

TEST(CommandText, placesTheParameterInTheTildesAsTheExamplesShow) {
  struct Row {
    const char* definition;
    double parameter;
    const char* text;  // between prefix and terminator; "" when nothing is sent
    PlaceholderKind kind;
  };
  const Row rows[] = {
      {"PT~~~~~~", 12.5, "PT12.5", PlaceholderKind::Other},
      {"PT~~~~~~", 5, "PT5", PlaceholderKind::Other},
      {"W~~", 1.25, "W1", PlaceholderKind::Other},  // 2 decimals, pattern "##": whole number
      {"A~~B", 7, "A7B", PlaceholderKind::Other},
      {"S~", 7, "S7", PlaceholderKind::SingleAtEnd},
      {"Z", 123456, "Z", PlaceholderKind::None},
      {"M~~~~", -0.5, "M-.5", PlaceholderKind::Other},
      // More decimals than tildes: the pattern has no point, the whole number
      // is sent, halves away from zero.
      {"W~~", 1.55, "W2", PlaceholderKind::Other},
      {"W~~", -1.75, "W-2", PlaceholderKind::Other},
      {"W~~", 9.75, "W10", PlaceholderKind::Other},
      {"W~", 2.5, "W3", PlaceholderKind::SingleAtEnd},
      {"R~~~~", 0.04, "R.04", PlaceholderKind::Other},
      {"T~~~~~", 9.96, "T9.96", PlaceholderKind::Other},
      {"X~Y~", 3, "X3", PlaceholderKind::Other},       // first to last tilde is one placeholder
      {"Q~~", 99, "Q99", PlaceholderKind::Other},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.definition) + " with " + ParameterText(row.parameter));
    const ProtocolDefinition protocol = ProtocolWith({{row.definition, "Name", "1"}});
    const CommandText text = BuildCommandText(protocol, 0, row.parameter);
    EXPECT_TRUE(text.Fits);
    EXPECT_EQ(text.Bytes, row.text);
    EXPECT_EQ(text.Kind, row.kind);
  }
}

TEST(CommandText, aParameterWhoseWholeDigitsDoNotFitSendsNothing) {
  struct Row {
    const char* definition;
    double parameter;
  };
  const Row rows[] = {
      {"W~~", 1234},   // would have been "W34"
      {"W~~", -12},    // would have lost its sign
      {"W~~~", 1.25},  // pattern ".##": "1.25" would have been cut to ".25"
      {"W~", 9.5},      // rounds to "10"
      {"E~~~~", 1e16},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.definition) + " with " + ParameterText(row.parameter));
    const CommandText text = BuildCommandText(ProtocolWith({{row.definition, "Name", "1"}}, 2, 1310), 0, row.parameter);
    EXPECT_FALSE(text.Fits);
    EXPECT_EQ(text.Bytes, "");
  }
}

TEST(CommandText, aParameterThatIsNoNumberSendsNothing) {
  // An OPC client's "1E999" reads as infinity; a bus client can send any double.
  const ProtocolDefinition protocol = ProtocolWith({{"PT~~~~~~", "Preset tare", "3"}, {"Z", "Zero", "5"}}, 2, 1310);
  for (const double parameter : {HUGE_VAL, -HUGE_VAL, std::nan("")}) {
    SCOPED_TRACE(parameter);
    const CommandDecision decision = DecideCommand(protocol, 2, 3, parameter);
    EXPECT_EQ(decision.Outcome, CommandOutcome::ParameterTooWide);
    EXPECT_EQ(decision.Bytes, "");
    EXPECT_EQ(decision.RefusedStatus, 1003);
    EXPECT_EQ(decision.ErrorLogLine,
              "Channel: 3  Command 3 not sent: parameter " + ParameterText(parameter) + " is not a number");
    // A definition without tildes does not use the parameter.
    EXPECT_EQ(DecideCommand(protocol, 2, 5, parameter).Bytes, "\x02Z\r\n");
  }
}

TEST(CommandText, startAndEndCharactersFrameTheText) {
  struct Row {
    int32_t start;
    int32_t end;
    std::string bytes;
  };
  const Row rows[] = {
      {2, 1310, "\x02PT12.5\r\n"},
      {0, 13, "PT12.5\r"},
      {0, 0, "PT12.5"},
      {-1, -1, "PT12.5"},
      {255, 10, "\xffPT12.5\n"},
  };
  for (const Row& row : rows) {
    const ProtocolDefinition protocol = ProtocolWith({{"PT~~~~~~", "Preset tare", "3"}}, row.start, row.end);
    EXPECT_EQ(BuildCommandText(protocol, 0, 12.5).Bytes, row.bytes) << row.start << " " << row.end;
  }
  EXPECT_EQ(ErrorOf([] { BuildCommandText(ProtocolWith({{"Z", "", "1"}}, 256, 0), 0, 0); }), 5);
  EXPECT_EQ(ErrorOf([] { BuildCommandText(ProtocolWith({{"Z", "", "1"}}, 0, 1311), 0, 0); }), 5);
}

TEST(CommandSelection, takesTheFirstEntryWithTheCommandsValue) {
  const ProtocolDefinition protocol = ProtocolWith({
      {"A", "a", ""},
      {"B", "b", "05"},
      {"C", "c", "5.0"},
      {"D", "d", "7", false},
      {"E", "e", "7"},
      {"F", "f", "2.5"},
  });
  EXPECT_EQ(SelectCommand(protocol, 5), 1);
  EXPECT_EQ(SelectCommand(protocol, 7), 3);  // the disabled lower entry wins
  EXPECT_EQ(SelectCommand(protocol, 2.5), 5);
  EXPECT_EQ(SelectCommand(protocol, 9), std::nullopt);
  EXPECT_EQ(SelectCommand(protocol, 0), 0);  // empty values read as 0; a pending command is never 0

  EXPECT_TRUE(CommandPending(3, 0, true));
  EXPECT_FALSE(CommandPending(3, 5, true));
  EXPECT_TRUE(CommandPending(3, 5, false));
  EXPECT_FALSE(CommandPending(0, 0, false));
}

TEST(CommandDecision, answersSendsHoldsOrRefusesByTheTable) {
  const ProtocolDefinition protocol = ProtocolWith(
      {
          {"PT~~~~~~", "Preset tare", "3"},
          {"S~", "Setpoint", "4"},
          {"Z", "Zero", "5"},
          {"P", "Print", "6", false},
          {"W~~", "Weigh", "8"},
      },
      2, 1310);

  const CommandDecision preset = DecideCommand(protocol, 2, 3, 12.5);
  EXPECT_EQ(preset.Outcome, CommandOutcome::Send);
  EXPECT_EQ(preset.Bytes, "\x02PT12.5\r\n");
  EXPECT_EQ(preset.TakenStatus, 103);
  EXPECT_EQ(preset.RefusedStatus, 1003);
  EXPECT_EQ(preset.StatusText, std::nullopt);
  EXPECT_FALSE(preset.LightTransmit);

  const CommandDecision setpoint = DecideCommand(protocol, 2, 4, 7);
  EXPECT_EQ(setpoint.Bytes, "\x02S7\r\n");
  EXPECT_EQ(setpoint.StatusText, "7  Setpoint");
  EXPECT_TRUE(setpoint.LightTransmit);

  const CommandDecision zero = DecideCommand(protocol, 2, 5, 99);
  EXPECT_EQ(zero.Bytes, "\x02Z\r\n");
  EXPECT_EQ(zero.StatusText, "Zero");
  EXPECT_TRUE(zero.LightTransmit);

  const CommandDecision unknown = DecideCommand(protocol, 2, 9, 0);
  EXPECT_EQ(unknown.Outcome, CommandOutcome::Unknown);
  EXPECT_EQ(unknown.RefusedStatus, 1009);
  EXPECT_EQ(unknown.Bytes, "");

  const CommandDecision held = DecideCommand(protocol, 2, 6, 0);
  EXPECT_EQ(held.Outcome, CommandOutcome::Held);
  EXPECT_EQ(held.Entry, 3);
  EXPECT_EQ(held.Bytes, "");

  const CommandDecision tooWide = DecideCommand(protocol, 2, 8, 1234);
  EXPECT_EQ(tooWide.Outcome, CommandOutcome::ParameterTooWide);
  EXPECT_EQ(tooWide.Bytes, "");
  EXPECT_EQ(tooWide.RefusedStatus, 1008);
  EXPECT_EQ(tooWide.ErrorLogLine, "Channel: 3  Command 8 not sent: parameter 1234 does not fit \"W~~\"");
  // Decimals still round into the same placeholder.
  EXPECT_EQ(DecideCommand(protocol, 2, 8, 1.25).Bytes, "\x02W1\r\n");
}

TEST(ReceivedCommandLog, namesTheChannelAndTheClientsValues) {
  EXPECT_EQ(ReceivedCommandLogKind(CommandClient::Device), LogKind::ActiveX);
  EXPECT_EQ(ReceivedCommandLogKind(CommandClient::OPC), LogKind::Opc);
  EXPECT_EQ(ReceivedCommandLogLine(CommandClient::Device, 2, "3", ParameterText(12.5), "0"),
            "Device: 2; Rcvd ActiveX Command: 3  Parm: 12.5   Stat: 0");
  EXPECT_EQ(ReceivedCommandLogLine(CommandClient::OPC, 0, "4", ".5", "7"),
            "Device: 0; Rcvd OPC Command: 4  Parm: .5   Stat: 7");
}

TEST(CommandOnTheLine, theScaleReceivesExactlyTheDecidedBytes) {
  testing::PtyPair pty;
  ASSERT_TRUE(pty.ok());
  testing::ScratchFolder scratch;
  scratch.MapPorts({{1, pty.path()}});
  SerialPort port(scratch.folder());
  port.SetPortOpen(true);

  const ProtocolDefinition protocol =
      ProtocolWith({{"PT~~~~~~", "Preset tare", "3"}, {"S~", "Setpoint", "4"}}, 2, 1310);
  port.Output(DecideCommand(protocol, 0, 3, 12.5).Bytes);
  port.Output(DecideCommand(protocol, 0, 4, 7).Bytes);
  const std::string expected("\x02PT12.5\r\n\x02S7\r\n");
  EXPECT_EQ(pty.Receive(expected.size()), expected);
}

}  // namespace
}  // namespace tarvex
