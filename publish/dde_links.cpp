#include "publish/dde_links.h"

#include <charconv>
#include <cmath>

#include "platform/ansi_text.h"

namespace tarvex {

namespace {

std::string GeneralNumber(double value, const QLocale& locale) {
  if (value == 0) return "0";  // also for -0
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
  std::string digits(buffer, result.ptr);
  const std::string separator = ToAnsi(locale.decimalPoint());
  std::string text;
  for (char c : digits) {
    if (c == '.') {
      text += separator;
    } else if (c == 'e') {
      text += 'E';
    } else {
      text += c;
    }
  }
  return text;
}

struct TextOf {
  const QLocale& locale;
  std::string operator()(std::monostate) const { return ""; }
  std::string operator()(int16_t value) const { return std::to_string(value); }
  std::string operator()(double value) const { return GeneralNumber(value, locale); }
};

}  // namespace

std::string DDEValueText(const DDEValue& value, const QLocale& locale) {
  return std::visit(TextOf{locale}, value);
}

void DdeLinks::UpdateDDELinks(int32_t ch) {
  if (ch < 0 || ch >= DDETopicCount) return;
  DDEItemTexts texts;
  for (int item = 0; item < DDEItem::Published; ++item) {
    texts[static_cast<size_t>(item)] = DDEValueText(publication_.DDEValues(item, ch), locale_);
  }
  topics_.SetItems(ch, texts);
}

}  // namespace tarvex
