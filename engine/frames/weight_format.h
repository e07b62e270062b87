#pragma once
// Weight formatting: every value of a channel in the same number of decimals
// and the same width.
//
// What it must cope with: a weight field cut from a frame is raw text of fixed
// width, digits with or without a point, blanks or zeros in front, sometimes
// its own "-"; the scale may instead report where the point goes and the sign
// in the frame's status. The channel's pattern is chosen once, from the
// channel's configured decimal places or from where the first value had its
// point, and kept until the channel is initialised again.
//
// Policy: the formatted text is right-aligned in the raw field's width (one
// wider when a reported "-" is put in front). A text wider than that loses
// leading blanks only, never a digit: "  1234" with pattern "###0.00" gives
// "1234.00". A reported "-" goes before the formatted absolute value, so a
// field that carries its own "-" never gives "--12.34"; it is applied whether
// or not the scale reports decimals. Rounding: see engine/frames/number_text.h (half
// away from zero on the decimal digits).
#include <cstdint>
#include <string>
#include <string_view>

namespace tarvex {

// The formatting state of one channel. Initialisation of the channel clears
// FormatKnown and DecimalsFromStatus; the status table sets WeightDecimals,
// DecimalsFromStatus and FormatKnown when a frame reports decimals.
struct ChannelFormat {
  std::string FormatPattern{};   // chosen by FormatValue; empty until chosen
  bool FormatKnown = false;
  bool DecimalsFromStatus = false;
  int16_t WeightDecimals = 0;    // 2 .. -5
  std::string DecimalPattern{};  // chosen by FormatDecimalPlaces
};

// Formats value in place. configuredPattern: DecimalFormats(DecimalPlaces(ch))
// when the channel's DecimalPlaces is 1 to 6, else empty (automatic choice).
// places: the channel's WeightDecimals; sign: "+", "-" or empty.
void FormatValue(ChannelFormat& format, std::string_view configuredPattern, std::string& value, int16_t places,
                 std::string_view sign);

// The path FormatValue takes once the scale reports its decimals: the point
// (or zeros) placed by the code, DecimalPattern chosen, the sign applied.
// With more decimals than the value has digits after its leading blanks and
// sign, zeros are put before the digits, so "12" and "    12" with code -3
// read as .012.
void FormatDecimalPlaces(ChannelFormat& format, std::string& value, int16_t places, std::string_view sign);

// The text right-aligned in width: blanks added on the left, or, when it is
// wider, leading blanks removed as far as they go (never another character).
std::string FitToWidth(std::string text, size_t width);

}  // namespace tarvex
