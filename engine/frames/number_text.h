#pragma once
// Numbers as texts the way weights, IDs and command parameters show them.
//
// What it must cope with: a weight is read from the frame as a double and
// written back in a picture ("###0.00") or in the general number form; a
// double seldom holds the decimal value the scale sent (2.675 is stored as
// 2.67499999...), so rounding on the binary value would round such halves
// the wrong way, and the process locale may use a comma, which no published
// text may carry.
//
// Policy: every digit string comes from the shortest decimal text that reads
// back as the same double (std::to_chars, never the locale), and rounding
// works on those decimal digits: a value exactly halfway between two shown
// values goes away from zero (2.675 with two decimals gives 2.68, -0.5 with
// none gives -1). The numeric value of a text is ParseLeadingNumber
// (core/parse_leading_number.h).
#include <string>
#include <string_view>

namespace tarvex {

// The general number form: up to 15 significant digits, "." as decimal point,
// no zero before the point of a value between -1 and 1 (".5", "-.5"), no
// trailing zeros, and the exponent form for very large or very small values
// ("1E+16", "1E-05").
std::string NumberText(double value);

// The value in a picture of "#" (a digit shown only when significant), "0" (a
// digit always shown) and "." (the decimal point; it is shown whenever the
// picture has one). The number of "#" and "0" after the point is the number
// of decimals the value is rounded to; the "0" after the point are always
// shown, the "#" only when not zero. Integer digits beyond the picture are
// always shown; a negative value gets a leading "-" unless it rounds to zero.
// An empty picture gives NumberText. Other characters of the picture are not
// used.
std::string FormatNumber(double value, std::string_view picture);

}  // namespace tarvex
