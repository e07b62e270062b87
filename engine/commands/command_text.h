#pragma once
// A client's command to a scale: which entry of the protocol's command table
// it selects, the bytes it puts on the line and the status it is answered with.
//
// What it must cope with: the command code and parameter come from any client
// (a COM client or an OPC item) and may be anything; the table's values are
// texts ("5", "5.0" and "05" all select command 5); a placeholder of tildes
// in the command definition is narrower than many parameters.
//
// Policy: the first of the 10 entries whose value equals the command is the
// command (a lower duplicate that is disabled holds the command, whatever the
// higher one says). The parameter goes into the placeholder as its decimal
// text in plain digits (never the exponent form), rounded to what the placeholder has room for after the point, never
// padded. A parameter whose whole-number digits (or sign) do not fit is never
// cut down to its last digits, since the scale would take another value:
// nothing is sent, the client is answered "not taken" (command + 1000) and one
// error-log line says why. So is a parameter that is no finite number.
//
// These are pure functions: the scan's command stages read the client's
// values, call DecideCommand, write the bytes to the channel's port and only
// then answer the client (TakenStatus once the bytes are queued on an open
// serial port, RefusedStatus otherwise).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "config/protocol_definition.h"

namespace tarvex {

// The client kind whose command a stage takes.
enum class CommandClient { Device, OPC };

// The parameter as decimal text: up to 15 significant digits, "." as the
// point, no zero before the point between -1 and 1 (".5", "-.5"), exponent
// form for very large or small values ("1E+16", "1.5E-05").
std::string ParameterText(double parameter);

// A command waits to be taken: its status is 0 (any status while
// cmdHandshake is off) and the command is not 0.
bool CommandPending(double command, double status, bool cmdHandshake);

// The first entry 0 to 9 whose value has the command's numeric value.
std::optional<int> SelectCommand(const ProtocolDefinition& protocol, double command);

enum class PlaceholderKind {
  None,         // the definition has no "~": the parameter is not used
  SingleAtEnd,  // one "~", the definition's last character
  Other,        // any other run of tildes
};

struct CommandText {
  // Prefix, definition with the parameter in place of its tildes, terminator;
  // written in one write. Empty when the parameter does not fit.
  std::string Bytes;
  std::string Field;  // the parameter as it stands in the text
  PlaceholderKind Kind = PlaceholderKind::None;
  bool Fits = true;  // false: the parameter needs more room than the tildes give, or is no finite number
};

// The text of entry `entry` with the parameter. A start or end character
// outside 1 to 255 (other than end 1310, CR LF) raises error 5.
CommandText BuildCommandText(const ProtocolDefinition& protocol, int entry, double parameter);

enum class CommandOutcome {
  Send,              // write Bytes, then answer TakenStatus (or RefusedStatus if the write fails)
  Unknown,           // no entry has the command's value: answer RefusedStatus, send nothing
  Held,              // the selected entry is disabled: no answer, the command stays pending
  ParameterTooWide,  // answer RefusedStatus, send nothing, write ErrorLogLine to the error log
};

// What a command stage does with a pending command. Every outcome sets the
// channel's re-publication markers and the stage's dirty flag; all but Held
// write the command back as 0 with the answered status.
struct CommandDecision {
  CommandOutcome Outcome = CommandOutcome::Unknown;
  int Entry = -1;            // the selected entry; -1 when none
  std::string Bytes;         // Send: the whole text, one write
  double TakenStatus = 0;    // the command's numeric value + 100
  double RefusedStatus = 0;  // the command's numeric value + 1000
  // Send: the new status line of the channel (entry name, or field and name);
  // nullopt leaves it as it is.
  std::optional<std::string> StatusText;
  // Send: the transmit indicator is lit by the lighting rule; false: it stays
  // dark and only its tick is renewed.
  bool LightTransmit = false;
  std::string ErrorLogLine;  // ParameterTooWide: the one error-log line
};

// channel is 0-based.
CommandDecision DecideCommand(const ProtocolDefinition& protocol, int32_t channel, double command, double parameter);

// The log kind and the line of a command received from a client (written when
// the selected entry is enabled, before the answer). The texts are the
// client's values as they stand: the Device's integers in decimal and its
// parameter as ParameterText, or the OPC items' texts.
int ReceivedCommandLogKind(CommandClient client);
std::string ReceivedCommandLogLine(CommandClient client, int32_t channel, std::string_view command,
                                   std::string_view parameter, std::string_view status);

}  // namespace tarvex
