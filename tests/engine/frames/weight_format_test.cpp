// Weight formatting: the pattern chosen per channel, the reported decimals and
// sign, the field width.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/frames/weight_format.h"

namespace tarvex {
namespace {

struct FormatCase {
  const char* legend;
  const char* configured;   // DecimalFormats(DecimalPlaces), "" for automatic
  bool decimalsFromStatus;
  int16_t places;
  const char* sign;
  std::vector<std::pair<const char*, const char*>> values;  // raw -> formatted, in order
};

TEST(FormatValue, caseTable) {
  const FormatCase cases[] = {
      {"automatic: a point at 9 chooses ####0.0", "", false, 0, "", {{"  12.5", "  12.5"}}},
      {"automatic: the first value without a point settles #####0", "", false, 0, "",
       {{"   125", "   125"}, {"  12.5", "    13"}, {" 12.49", "    12"}}},
      {"automatic: three decimals", "", false, 0, "", {{" 1.250", " 1.250"}, {"   1.2", " 1.200"}}},
      {"automatic: more than five decimals leaves the general form", "", false, 0, "",
       {{"1.234567", "1.234567"}, {"     2.5", "     2.5"}}},
      {"automatic: a value ending in the point leaves the general form", "", false, 0, "", {{"  125.", "   125"}}},
      {"configured ###0.00", "###0.00", false, 0, "", {{"   125", "125.00"}}},
      {"configured: a wider text keeps its digits", "###0.00", false, 0, "", {{"  1234", "1234.00"}}},
      {"configured: halves go away from zero on the decimal digits", "###0.00", false, 0, "",
       {{" 2.675", "  2.68"}, {"-2.675", " -2.68"}, {" 1.005", "  1.01"}}},
      {"the sign is applied without reported decimals", "", false, 0, "-", {{"  12.5", "  -12.5"}}},
      {"a plus sign changes nothing", "", false, 0, "+", {{"  12.5", "  12.5"}}},
      {"code -2 puts the point before the last two digits", "", true, -2, "", {{" 12345", "123.45"}}},
      {"code -2 on a field of six digits keeps them all", "", true, -2, "", {{"123456", "1234.56"}}},
      {"code -2 on a field with a point reads up to the second point", "", true, -2, "", {{" 12.34", " 12.00"}}},
      {"code 2 appends two zeros", "", true, 2, "", {{"  1234", "123400"}}},
      {"code 1 appends one zero", "", true, 1, "", {{"   123", "  1230"}}},
      {"code 0 with sign - is one wider", "", true, 0, "-", {{"  1234", "  -1234"}}},
      {"code -2 with sign - on a field with its own minus", "", true, -2, "-", {{" -1234", " -12.34"}}},
      {"code -5 on a field of two characters fills zeros", "", true, -5, "", {{"12", "0.00012"}}},
      {"code -3 on zeros", "", true, -3, "", {{"000000", " 0.000"}}},
      {"code -2 on blanks before fewer digits than decimals", "", true, -2, "",
       {{"     5", "  0.05"}, {"    -5", " -0.05"}}},
      {"code -3 on blanks before two digits", "", true, -3, "", {{"    12", " 0.012"}}},
  };
  for (const FormatCase& c : cases) {
    ChannelFormat format;
    format.DecimalsFromStatus = c.decimalsFromStatus;
    format.FormatKnown = c.decimalsFromStatus;
    for (const auto& [raw, formatted] : c.values) {
      std::string value = raw;
      FormatValue(format, c.configured, value, c.places, c.sign);
      EXPECT_EQ(value, formatted) << c.legend << ": \"" << raw << "\"";
    }
  }
}

TEST(FormatValue, reportedDecimalsChooseTheDecimalPattern) {
  const struct { int16_t places; const char* pattern; } cases[] = {
      {2, "####00"}, {1, "#####0"}, {0, "#####0"}, {-1, "####0.0"},
      {-2, "###0.00"}, {-3, "##0.000"}, {-4, "#0.0000"}, {-5, "0.00000"},
  };
  for (const auto& c : cases) {
    ChannelFormat format{.FormatKnown = true, .DecimalsFromStatus = true};
    std::string value = "   100";
    FormatValue(format, "", value, c.places, "");
    EXPECT_EQ(format.DecimalPattern, c.pattern) << c.places;
  }
  // A code outside 2 .. -5 keeps the pattern it had.
  ChannelFormat format{.FormatKnown = true, .DecimalsFromStatus = true, .DecimalPattern = "###0.00"};
  std::string value = "   100";
  FormatValue(format, "", value, 3, "");
  EXPECT_EQ(format.DecimalPattern, "###0.00");
}

TEST(FormatValue, thePatternIsChosenOnceUntilTheChannelStartsAgain) {
  ChannelFormat format;
  std::string first = "  12.5";
  FormatValue(format, "", first, 0, "");
  EXPECT_EQ(format.FormatPattern, "####0.0");
  std::string later = "  1.25";
  FormatValue(format, "###0.00", later, 0, "");  // the setting is not looked at again
  EXPECT_EQ(later, "   1.3");
  format.FormatKnown = false;  // initialisation
  FormatValue(format, "###0.00", later, 0, "");
  EXPECT_EQ(format.FormatPattern, "###0.00");
}

TEST(FitToWidth, removesLeadingBlanksOnly) {
  EXPECT_EQ(FitToWidth("12", 5), "   12");
  EXPECT_EQ(FitToWidth("   12", 3), " 12");
  EXPECT_EQ(FitToWidth("  1234.00", 6), "1234.00");
  EXPECT_EQ(FitToWidth("", 0), "");
}

}  // namespace
}  // namespace tarvex
