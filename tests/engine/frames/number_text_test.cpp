// The general number form and the picture formatter.
#include <gtest/gtest.h>

#include <string>

#include "engine/frames/number_text.h"

namespace tarvex {
namespace {

TEST(NumberText, writesFifteenSignificantDigitsWithoutLeadingZero) {
  const struct { double value; const char* text; } cases[] = {
      {0, "0"},
      {0.5, ".5"},
      {-0.5, "-.5"},
      {12.5, "12.5"},
      {-1234, "-1234"},
      {100, "100"},
      {1.0 / 3, ".333333333333333"},
      {123456789012345, "123456789012345"},
      {1e15, "1E+15"},
      {1e16, "1E+16"},
      {0.00001, "1E-05"},
      {0.0001, ".0001"},
  };
  for (const auto& c : cases) EXPECT_EQ(NumberText(c.value), c.text) << c.value;
}

TEST(FormatNumber, roundsHalvesAwayFromZeroOnTheDecimalDigits) {
  const struct { double value; const char* picture; const char* text; } cases[] = {
      {1234.5, "#####0", "1235"},
      {-1234.5, "#####0", "-1235"},
      {0.5, "#####0", "1"},
      {0.4, "#####0", "0"},
      {5, "####00", "05"},
      {125, "###0.00", "125.00"},
      {2.675, "0.00", "2.68"},    // the double is 2.67499999...
      {1.005, "###0.00", "1.01"}, // the double is 1.00499999...
      {-2.675, "###0.00", "-2.68"},
      {999.995, "###0.00", "1000.00"},
      {-0.001, "0.00", "0.00"},   // no negative zero
      {1.25, "##", "1"},
      {12.5, "####.#", "12.5"},
      {0.4, "##", ""},
      {1e20, "#####0", "100000000000000000000"},
      {12.3456789, "0.00000", "12.34568"},
      {0.5, "", ".5"},
      {123, "", "123"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatNumber(c.value, c.picture), c.text) << c.value << " in " << c.picture;
}

}  // namespace
}  // namespace tarvex
