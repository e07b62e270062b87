#include "parse_leading_number.h"

#include <charconv>
#include <cstdint>
#include <optional>
#include <cmath>
#include <string>

namespace tarvex {

namespace {

bool Ignored(char c) { return c == ' ' || c == '\t' || c == '\n'; }

// The characters of the text with the ignored ones removed: "1 2" reads as "12".
std::string Significant(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (!Ignored(c)) out += c;
  }
  return out;
}

double ParseRadix(const std::string& s, size_t from, int radix) {
  double value = 0;
  for (size_t i = from; i < s.size(); ++i) {
    int digit;
    const char c = s[i];
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (radix == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else if (radix == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    else break;
    if (digit >= radix) break;
    value = value * radix + digit;
  }
  return value;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The common case without allocation: a sign, at most 15 significant digits
// and a point, no exponent and no radix prefix. The digits make an exact
// integer below 2^53 and 10^decimals is exact up to 10^22, so one division
// gives the correctly rounded double, as from_chars would. Anything else:
// nothing, and the general reading below decides.
std::optional<double> SimpleDecimal(std::string_view text) {
  uint64_t mantissa = 0;
  int digits = 0, decimals = 0;
  bool negative = false, sign = false, point = false, anyDigit = false;
  size_t i = 0;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (Ignored(c)) continue;
    if (IsDigit(c)) {
      mantissa = mantissa * 10 + static_cast<uint64_t>(c - '0');
      if (mantissa != 0 && ++digits > 15) return std::nullopt;
      if (point && ++decimals > 22) return std::nullopt;
      anyDigit = true;
    } else if (c == '.' && !point) {
      point = true;
    } else if ((c == '+' || c == '-') && !sign && !point && !anyDigit) {
      sign = true;
      negative = c == '-';
    } else {
      break;
    }
  }
  if (i < text.size()) {
    const char c = text[i];
    if (c == '&' || c == 'E' || c == 'e' || c == 'D' || c == 'd') return std::nullopt;
  }
  if (!anyDigit) return 0.0;
  static constexpr double Powers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                      1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  const double value = static_cast<double>(mantissa) / Powers[decimals];
  return negative ? -value : value;
}

}  // namespace

double ParseLeadingNumber(std::string_view text) {
  if (const auto simple = SimpleDecimal(text)) return *simple;
  const std::string s = Significant(text);
  if (s.size() >= 2 && s[0] == '&') {
    if (s[1] == 'H' || s[1] == 'h') return ParseRadix(s, 2, 16);
    if (s[1] == 'O' || s[1] == 'o') return ParseRadix(s, 2, 8);
    return 0;
  }

  // Collect the longest prefix of the form [sign] digits [. digits] [exp],
  // normalised for from_chars, which never looks at the locale.
  std::string number;
  size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
    if (s[i] == '-') number += '-';
    ++i;
  }
  bool digits = false;
  while (i < s.size() && IsDigit(s[i])) {
    number += s[i++];
    digits = true;
  }
  if (i < s.size() && s[i] == '.') {
    number += s[i++];
    while (i < s.size() && IsDigit(s[i])) {
      number += s[i++];
      digits = true;
    }
  }
  if (!digits) return 0;
  if (i < s.size() && (s[i] == 'E' || s[i] == 'e' || s[i] == 'D' || s[i] == 'd')) {
    size_t j = i + 1;
    std::string exponent = "e";
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) exponent += s[j++];
    bool expDigits = false;
    while (j < s.size() && IsDigit(s[j])) {
      exponent += s[j++];
      expDigits = true;
    }
    if (expDigits) number += exponent;
  }

  double value = 0;
  const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
  if (result.ec == std::errc::result_out_of_range) {
    // Too large or too small for a double: the sign of infinity, or zero.
    const bool negative = number[0] == '-';
    const bool huge = number.find("e-") == std::string::npos;
    return huge ? (negative ? -HUGE_VAL : HUGE_VAL) : 0.0;
  }
  return value;
}

}  // namespace tarvex
