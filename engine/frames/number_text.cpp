#include "engine/frames/number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace tarvex {

std::string NumberText(double value) {
  if (value == 0) return "0";
  char buffer[64];
  if (std::fabs(value) < 1e15 && value == std::trunc(value)) {
    // A whole number of up to 15 digits: its digits, as the general form has them.
    const auto whole = std::to_chars(buffer, buffer + sizeof buffer, static_cast<long long>(value));
    return std::string(buffer, whole.ptr);
  }
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
  std::string text(buffer, result.ptr);
  // "1e+16" -> "1E+16"; a zero before the point goes: "0.5" -> ".5".
  if (const auto e = text.find('e'); e != std::string::npos) text[e] = 'E';
  if (text.starts_with("0.")) text.erase(0, 1);
  else if (text.starts_with("-0.")) text.erase(1, 1);
  return text;
}

namespace {

struct Picture {
  bool hasPoint = false;
  int minIntegerDigits = 0;   // digits from the first "0" before the point on
  int maxDecimals = 0;        // "#" and "0" after the point
  int minDecimals = 0;        // up to the last "0" after the point
};

Picture ReadPicture(std::string_view picture) {
  Picture p;
  const size_t point = picture.find('.');
  const std::string_view integer = picture.substr(0, point);
  if (const size_t firstZero = integer.find('0'); firstZero != std::string_view::npos) {
    for (size_t i = firstZero; i < integer.size(); ++i) {
      if (integer[i] == '0' || integer[i] == '#') ++p.minIntegerDigits;
    }
  }
  if (point != std::string_view::npos) {
    p.hasPoint = true;
    for (char c : picture.substr(point + 1)) {
      if (c == '0' || c == '#') ++p.maxDecimals;
      if (c == '0') p.minDecimals = p.maxDecimals;
    }
  }
  return p;
}

}  // namespace

std::string FormatNumber(double value, std::string_view picture) {
  if (picture.empty() || !std::isfinite(value)) return NumberText(value);
  const Picture p = ReadPicture(picture);

  // The shortest decimal digits of the magnitude: "ddd" or "ddd.ddd". A
  // leading 0 leaves room for a carry.
  char digits[420];
  digits[0] = '0';
  const auto result = std::to_chars(digits + 1, digits + sizeof digits, std::fabs(value), std::chars_format::fixed);
  char* const end = result.ptr;
  char* point = std::find(digits + 1, end, '.');
  const size_t available = point == end ? 0 : static_cast<size_t>(end - point - 1);
  const size_t keep = static_cast<size_t>(p.maxDecimals);

  // Round half away from zero on the decimal digits, in place.
  char* fraction = point + 1;
  size_t decimals = std::min(available, keep);
  if (available > keep && fraction[keep] >= '5') {
    char* d = fraction + keep;
    bool carry = true;
    while (carry && d-- > digits) {
      if (*d == '.') continue;
      if (*d == '9') *d = '0';
      else { ++*d; carry = false; }
    }
  }
  const char* integer = digits;
  while (integer < point - 1 && *integer == '0') ++integer;
  size_t integerDigits = static_cast<size_t>(point - integer);
  if (integerDigits == 1 && *integer == '0') integerDigits = 0;  // "0" is no significant digit
  while (decimals > static_cast<size_t>(p.minDecimals) && fraction[decimals - 1] == '0') --decimals;

  bool zero = true;
  for (const char* d = point - integerDigits; d < point; ++d) zero = zero && *d == '0';
  for (size_t k = 0; k < decimals; ++k) zero = zero && fraction[k] == '0';

  std::string text;
  const size_t minInteger = static_cast<size_t>(p.minIntegerDigits);
  const size_t minDecimals = static_cast<size_t>(p.minDecimals);
  text.reserve(integerDigits + minInteger + std::max(decimals, minDecimals) + 2);
  if (value < 0 && !zero) text += '-';
  if (integerDigits < minInteger) text.append(minInteger - integerDigits, '0');
  text.append(point - integerDigits, integerDigits);
  if (p.hasPoint) {
    text += '.';
    text.append(fraction, decimals);
    if (decimals < minDecimals) text.append(minDecimals - decimals, '0');
  }
  return text;
}

}  // namespace tarvex
