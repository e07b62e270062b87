#include "config/setup_dialog/numeric_box.h"

#include <cmath>
#include <regex>

#include "core/parse_leading_number.h"
#include "platform/ansi_text.h"
#include "platform/run_time_error.h"

namespace tarvex {

namespace {

int32_t RoundToLong(double value, const std::string& text, const std::string& box) {
  const double rounded = std::nearbyint(value);  // the default rounding: halves to even
  if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0)) {
    throw RunTimeError(ErrorNumber::Overflow, "Overflow: " + box + " holds \"" + text + "\"");
  }
  return static_cast<int32_t>(rounded);
}

}  // namespace

int32_t LeadingNumberBoxValue(const std::string& text, const std::string& box) {
  if (TrimBlanks(text).empty()) return 0;
  return RoundToLong(ParseLeadingNumber(text), text, box);
}

int32_t WholeNumberBoxValue(const std::string& text, const std::string& box) {
  const std::string trimmed = TrimBlanks(text);
  if (trimmed.empty()) return 0;
  static const std::regex number(R"([+-]?(\d+\.?\d*|\.\d+)([EeDd][+-]?\d+)?|&[Hh][0-9A-Fa-f]+|&[Oo][0-7]+)");
  if (!std::regex_match(trimmed, number)) {
    throw RunTimeError(ErrorNumber::TypeMismatch, "Type mismatch: " + box + " holds \"" + text + "\"");
  }
  return RoundToLong(ParseLeadingNumber(trimmed), text, box);
}

std::string PositiveNumberText(int32_t value) { return value < 1 ? std::string() : std::to_string(value); }

}  // namespace tarvex
