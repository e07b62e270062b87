#pragma once
#include <string_view>

namespace tarvex {

// The numeric value at the start of a text. Blanks, tabs and line feeds are
// ignored wherever they stand; an optional sign, digits with at most one "."
// (the only decimal separator, whatever the locale) and an optional exponent
// ("E" or "D", either case, optional sign, digits) are read; "&H" and "&O" start
// a hexadecimal or octal integer. Reading stops at the first character that
// cannot continue the number; a text without a number at its start gives 0.
double ParseLeadingNumber(std::string_view text);

}  // namespace tarvex
