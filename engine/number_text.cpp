#include "engine/number_text.h"

#include <charconv>
#include <cmath>

namespace tarvex {

std::string NumberText(double value) {
  if (value == 0) return "0";
  char buffer[64];
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

  // The shortest decimal digits of the magnitude, as integer and fraction.
  char buffer[400];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::fixed);
  const std::string_view digits(buffer, static_cast<size_t>(result.ptr - buffer));
  const size_t point = digits.find('.');
  std::string integer(digits.substr(0, point));
  std::string fraction(point == std::string_view::npos ? std::string_view() : digits.substr(point + 1));

  // Round half away from zero on the decimal digits.
  const size_t keep = static_cast<size_t>(p.maxDecimals);
  bool carry = fraction.size() > keep && fraction[keep] >= '5';
  if (fraction.size() > keep) fraction.resize(keep);
  for (size_t i = fraction.size(); carry && i-- > 0;) {
    if (fraction[i] == '9') fraction[i] = '0';
    else { ++fraction[i]; carry = false; }
  }
  for (size_t i = integer.size(); carry && i-- > 0;) {
    if (integer[i] == '9') integer[i] = '0';
    else { ++integer[i]; carry = false; }
  }
  if (carry) integer.insert(integer.begin(), '1');

  const size_t firstNonZero = integer.find_first_not_of('0');
  integer.erase(0, firstNonZero == std::string::npos ? integer.size() : firstNonZero);
  if (integer.size() < static_cast<size_t>(p.minIntegerDigits))
    integer.insert(0, static_cast<size_t>(p.minIntegerDigits) - integer.size(), '0');
  while (fraction.size() > static_cast<size_t>(p.minDecimals) && fraction.back() == '0') fraction.pop_back();
  if (fraction.size() < static_cast<size_t>(p.minDecimals)) fraction.append(p.minDecimals - fraction.size(), '0');

  const bool zero = integer.find_first_not_of('0') == std::string::npos &&
                    fraction.find_first_not_of('0') == std::string::npos;
  std::string text;
  text.reserve(integer.size() + fraction.size() + 2);
  if (value < 0 && !zero) text += '-';
  text += integer;
  if (p.hasPoint) {
    text += '.';
    text += fraction;
  }
  return text;
}

}  // namespace tarvex
