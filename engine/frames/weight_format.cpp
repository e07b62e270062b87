#include "engine/frames/weight_format.h"

#include <algorithm>
#include <cmath>

#include "core/parse_leading_number.h"
#include "engine/frames/number_text.h"

namespace tarvex {

namespace {

std::string_view TrimBlanks(std::string_view text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// The pattern the automatic choice takes from the place of the first point in
// the last 10 characters of 15 zeros and the trimmed value; nullptr keeps it.
const char* AutomaticPattern(std::string_view value) {
  std::string t(15, '0');
  t += TrimBlanks(value);
  t.erase(0, t.size() - 10);
  const size_t point = t.find('.');
  switch (point == std::string::npos ? 0 : static_cast<int>(point) + 1) {
    case 0: return "#####0";
    case 9: return "####0.0";
    case 8: return "###0.00";
    case 7: return "##0.000";
    case 6: return "#0.0000";
    case 5: return "0.00000";
    default: return nullptr;
  }
}

const char* DecimalPatternFor(int16_t places) {
  switch (places) {
    case 2: return "####00";
    case 1: return "#####0";
    case 0: return "#####0";
    case -1: return "####0.0";
    case -2: return "###0.00";
    case -3: return "##0.000";
    case -4: return "#0.0000";
    case -5: return "0.00000";
    default: return nullptr;
  }
}

// The numeric value of value in pattern, right-aligned in the raw width; a
// reported "-" goes before the absolute value and widens the field by one.
std::string Signed(std::string_view value, size_t width, std::string_view pattern, std::string_view sign) {
  const double number = ParseLeadingNumber(value);
  if (sign == "-") return FitToWidth("-" + FormatNumber(std::fabs(number), pattern), width + 1);
  return FitToWidth(FormatNumber(number, pattern), width);
}

}  // namespace

std::string FitToWidth(std::string text, size_t width) {
  if (text.size() < width) {
    text.insert(0, width - text.size(), ' ');
  } else if (text.size() > width) {
    const size_t blanks = std::min(text.find_first_not_of(' '), text.size() - width);
    text.erase(0, blanks);
  }
  return text;
}

void FormatValue(ChannelFormat& format, std::string_view configuredPattern, std::string& value, int16_t places,
                 std::string_view sign) {
  if (!format.FormatKnown) {
    if (!configuredPattern.empty()) format.FormatPattern = configuredPattern;
    else if (const char* pattern = AutomaticPattern(value)) format.FormatPattern = pattern;
    format.FormatKnown = true;
  }
  if (format.DecimalsFromStatus) {
    FormatDecimalPlaces(format, value, places, sign);
    return;
  }
  value = Signed(value, value.size(), format.FormatPattern, sign);
}

void FormatDecimalPlaces(ChannelFormat& format, std::string& value, int16_t places, std::string_view sign) {
  const size_t width = value.size();
  if (places > 0) {
    value = FitToWidth(value + std::string(static_cast<size_t>(places), '0'), width);
  } else if (places < 0) {
    const size_t decimals = static_cast<size_t>(-places);
    // Fewer digits than decimals (after the leading blanks and a sign): zeros
    // go in front of the digits, so "     5" with two decimals reads .05.
    std::string digits = value;
    size_t body = std::min(digits.find_first_not_of(' '), digits.size());
    if (body < digits.size() && (digits[body] == '-' || digits[body] == '+')) ++body;
    if (decimals > digits.size() - body) digits.insert(body, decimals - (digits.size() - body), '0');
    const size_t split = digits.size() - decimals;
    value = FitToWidth(digits.substr(0, split) + "." + digits.substr(split), width);
  }
  if (const char* pattern = DecimalPatternFor(places); pattern && format.DecimalPattern != pattern)
    format.DecimalPattern = pattern;
  value = Signed(value, width, format.DecimalPattern, sign);
}

}  // namespace tarvex
