#include "engine/commands/command_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "core/log_writer.h"
#include "core/parse_leading_number.h"
#include "platform/run_time_error.h"

namespace tarvex {
namespace {

constexpr int32_t CrLfCode = 1310;
constexpr int InvalidProcedureCall = 5;
constexpr int SignificantDigits = 15;

std::string CharacterOf(int32_t code, const char* what) {
  if (code < 1 || code > 255) {
    throw RunTimeError(InvalidProcedureCall, StandardErrorDescription(InvalidProcedureCall) + " (" + what +
                                                 " " + std::to_string(code) + ": not a character code 1 to 255)");
  }
  return std::string(1, static_cast<char>(code));
}

std::string Prefix(int32_t cmdStartChar) {
  return cmdStartChar > 0 ? CharacterOf(cmdStartChar, "command start character") : std::string();
}

std::string Terminator(int32_t cmdEndChar) {
  if (cmdEndChar == CrLfCode) return "\r\n";
  return cmdEndChar > 0 ? CharacterOf(cmdEndChar, "command end character") : std::string();
}

// Adds 1 to a string of decimal digits.
void Increment(std::string& digits) {
  for (size_t i = digits.size(); i-- > 0;) {
    if (digits[i] != '9') {
      ++digits[i];
      return;
    }
    digits[i] = '0';
  }
  digits.insert(digits.begin(), '1');
}

// The value written with a pattern of "#" digits: the whole-number digits in
// full without leading zeros, the fraction rounded (halves away from zero, on
// the value's 15 significant digits) to `decimals` places and shown without
// trailing zeros; `withPoint` keeps the point even when no fraction digit
// shows ("2."), as the pattern's "." is literal. A zero shows no digit at all.
std::string FormatWithPattern(double value, int decimals, bool withPoint) {
  char buffer[64];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::scientific, SignificantDigits - 1);
  const std::string text(buffer, result.ptr);  // d.ddddddddddddddde+XX
  const size_t e = text.find('e');
  std::string digits = text.substr(0, 1) + text.substr(2, e - 2);
  const int exponent = std::stoi(text.substr(e + 1));

  // Keep the digits at 10^-decimals and above.
  const long long keep = static_cast<long long>(exponent) + decimals + 1;
  std::string kept;
  bool roundUp = false;
  if (keep >= static_cast<long long>(digits.size())) {
    kept = digits + std::string(static_cast<size_t>(keep) - digits.size(), '0');
  } else if (keep >= 0) {
    kept = digits.substr(0, static_cast<size_t>(keep));
    roundUp = digits[static_cast<size_t>(keep)] >= '5';
  }
  if (kept.empty()) kept = "0";
  if (roundUp) Increment(kept);

  const size_t places = static_cast<size_t>(decimals);
  if (kept.size() < places + 1) kept.insert(0, places + 1 - kept.size(), '0');
  std::string whole = kept.substr(0, kept.size() - places);
  std::string fraction = kept.substr(kept.size() - places);
  whole.erase(0, whole.find_first_not_of('0') == std::string::npos ? whole.size() : whole.find_first_not_of('0'));
  while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();

  const bool zero = whole.empty() && fraction.empty();
  std::string field = (value < 0 && !zero) ? "-" : "";
  field += whole;
  if (withPoint) field += "." + fraction;
  return field;
}

// The parameter's text in plain digits: ParameterText with any exponent
// written out ("1E+15" is "1000000000000000", "1E-07" is ".0000001"), since a
// scale reads the placeholder's characters as digits.
std::string PlainParameterText(double parameter) {
  std::string text = ParameterText(parameter);
  const size_t e = text.find('E');
  if (e == std::string::npos) return text;
  const int exponent = std::stoi(text.substr(e + 1));
  std::string mantissa = text.substr(0, e);
  const bool negative = mantissa.starts_with('-');
  if (negative) mantissa.erase(0, 1);
  std::string digits;
  for (char c : mantissa) {
    if (c != '.') digits += c;
  }
  // digits[0] stands at 10^exponent.
  std::string plain;
  if (exponent >= 0) {
    const size_t whole = static_cast<size_t>(exponent) + 1;
    if (digits.size() <= whole) {
      plain = digits + std::string(whole - digits.size(), '0');
    } else {
      plain = digits.substr(0, whole) + "." + digits.substr(whole);
    }
  } else {
    plain = "." + std::string(static_cast<size_t>(-exponent - 1), '0') + digits;
  }
  return negative ? "-" + plain : plain;
}

std::string Last(const std::string& text, size_t width) {
  return text.size() > width ? text.substr(text.size() - width) : text;
}

}  // namespace

std::string ParameterText(double parameter) {
  if (parameter == 0) return "0";  // also -0
  char buffer[64];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, parameter, std::chars_format::general, SignificantDigits);
  std::string text(buffer, result.ptr);
  for (char& c : text) {
    if (c == 'e') c = 'E';
  }
  if (text.starts_with("0.")) text.erase(0, 1);
  if (text.starts_with("-0.")) text.erase(1, 1);
  return text;
}

bool CommandPending(double command, double status, bool cmdHandshake) {
  if (!cmdHandshake) status = 0;
  return status == 0 && command != 0;
}

std::optional<int> SelectCommand(const ProtocolDefinition& protocol, double command) {
  for (int k = 0; k < CommandsPerProtocol; ++k) {
    if (ParseLeadingNumber(protocol.Commands[static_cast<size_t>(k)].ProtocolCommands[2]) == command) return k;
  }
  return std::nullopt;
}

CommandText BuildCommandText(const ProtocolDefinition& protocol, int entry, double parameter) {
  CheckSubscript(entry, 0, CommandsPerProtocol - 1, "ProtocolCommands");
  const std::string& definition = protocol.Commands[static_cast<size_t>(entry)].ProtocolCommands[0];
  const std::string prefix = Prefix(protocol.CmdStartChar);
  const std::string terminator = Terminator(protocol.CmdEndChar);

  CommandText command;
  const size_t first = definition.find('~');
  if (first == std::string::npos) {
    command.Kind = PlaceholderKind::None;
    command.Bytes = prefix + definition + terminator;
    return command;
  }
  const size_t last = definition.rfind('~');
  const size_t width = last - first + 1;
  const std::string head = definition.substr(0, first);
  const std::string tail = definition.substr(last + 1);
  command.Kind = width == 1 && tail.empty() ? PlaceholderKind::SingleAtEnd : PlaceholderKind::Other;
  if (!std::isfinite(parameter)) {
    command.Fits = false;  // "inf" or "nan" would reach the scale as its parameter
    return command;
  }

  const std::string parmText = PlainParameterText(parameter);
  std::string field = parmText;
  const size_t point = parmText.find('.');
  if (point != std::string::npos) {
    const size_t decimals = parmText.size() - point - 1;
    // The pattern is the last `width` characters of width "#", ".", decimals "#".
    const bool patternHasPoint = decimals + 1 <= width;
    const int patternDecimals = patternHasPoint ? static_cast<int>(std::min(decimals, width - 1)) : 0;
    field = FormatWithPattern(parameter, patternDecimals, patternHasPoint);
  }
  if (field.size() > width) {
    command.Fits = false;
    command.Field = Last(field, width);
    return command;
  }
  command.Field = field;
  command.Bytes = prefix + head + field + tail + terminator;
  return command;
}

CommandDecision DecideCommand(const ProtocolDefinition& protocol, int32_t channel, double command, double parameter) {
  CommandDecision decision;
  decision.TakenStatus = command + 100;
  decision.RefusedStatus = command + 1000;
  const std::optional<int> entry = SelectCommand(protocol, command);
  if (!entry) {
    decision.Outcome = CommandOutcome::Unknown;
    return decision;
  }
  decision.Entry = *entry;
  const CommandEntry& selected = protocol.Commands[static_cast<size_t>(*entry)];
  if (!selected.CommandEnabled) {
    decision.Outcome = CommandOutcome::Held;
    return decision;
  }
  const CommandText text = BuildCommandText(protocol, *entry, parameter);
  if (!text.Fits) {
    decision.Outcome = CommandOutcome::ParameterTooWide;
    decision.ErrorLogLine = "Channel: " + std::to_string(channel + 1) + "  Command " + ParameterText(command) +
                            " not sent: parameter " + ParameterText(parameter) +
                            (std::isfinite(parameter) ? " does not fit \"" + selected.ProtocolCommands[0] + "\""
                                                      : std::string(" is not a number"));
    return decision;
  }
  decision.Outcome = CommandOutcome::Send;
  decision.Bytes = text.Bytes;
  const std::string& name = selected.ProtocolCommands[1];
  switch (text.Kind) {
    case PlaceholderKind::None:
      decision.StatusText = name;
      decision.LightTransmit = true;
      break;
    case PlaceholderKind::SingleAtEnd:
      decision.StatusText = text.Field + "  " + name;
      decision.LightTransmit = true;
      break;
    case PlaceholderKind::Other: break;
  }
  return decision;
}

int ReceivedCommandLogKind(CommandClient client) {
  return client == CommandClient::Device ? LogKind::ActiveX : LogKind::Opc;
}

std::string ReceivedCommandLogLine(CommandClient client, int32_t channel, std::string_view command,
                                   std::string_view parameter, std::string_view status) {
  const char* what = client == CommandClient::Device ? "; Rcvd ActiveX Command: " : "; Rcvd OPC Command: ";
  return "Device: " + std::to_string(channel) + what + std::string(command) + "  Parm: " + std::string(parameter) +
         "   Stat: " + std::string(status);
}

}  // namespace tarvex
