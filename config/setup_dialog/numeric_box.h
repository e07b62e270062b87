#pragma once
// How the dialog's number boxes turn into the tables' 32-bit numbers and back.
//
// Two rules read a box. The leading-number rule (Refresh, Tx Delay, Time-out,
// the stream and command character codes, the maximum stream length) takes the
// number at the start of the text and ignores the rest; an empty text or one
// without a number is 0. The whole-number rule (the data fields' Start and
// Length) takes the whole text as one number; anything else in it is a type
// mismatch (error 13). Both round to the nearest whole number, halves to the
// even one, and raise error 6 beyond the 32-bit range. The errors name the box.
#include <cstdint>
#include <string>

namespace tarvex {

int32_t LeadingNumberBoxValue(const std::string& text, const std::string& box);
int32_t WholeNumberBoxValue(const std::string& text, const std::string& box);

// A number as the protocol boxes show it: plain decimal, empty below 1.
std::string PositiveNumberText(int32_t value);

}  // namespace tarvex
