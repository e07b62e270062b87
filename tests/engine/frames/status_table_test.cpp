// The status table: checked at load, applied to frames.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/frames/status_table.h"
#include "tests/engine/frames/protocol_builder.h"

namespace tarvex {
namespace {

using testing::RowText;
using testing::WithStatusRows;

struct Expected {
  int16_t bits = 0;
  const char* mode = "";
  const char* units = "";
  const char* error = "";
  bool motion = false;
  std::optional<int16_t> decimals = std::nullopt;
  const char* sign = "";
};

struct StatusCase {
  const char* legend;
  std::vector<RowText> rows;
  std::string frame;
  Expected expected;
};

std::vector<StatusCase> StatusCases() {
  std::vector<StatusCase> cases = {
      {"a bit row without b parts masks with 127",
       {{"Motion", "1 / MOTION", "5", "1", "4", "X"}}, std::string("ABCD\x84XY\n"), {.bits = 2, .motion = true}},
      {"mask 127 leaves bit 7 out of the comparison",
       {{"Motion", "1 / MOTION", "2", "1", "127", "X"}}, std::string("A\xFFZ\n"), {.bits = 2, .motion = true}},
      {"position 5b2 length 1b1 compares bit 2 alone, unshifted",
       {{"Net Mode", "2 / MODE", "5b2", "1b1", "4", "X"}}, std::string("ABCD\x05XY\n"), {.bits = 4, .mode = "NET"}},
      {"position 5b2 length 1b1 does not match with bit 2 clear",
       {{"Net Mode", "2 / MODE", "5b2", "1b1", "4", "X"}}, std::string("ABCD\x03XY\n"), {}},
      {"a three-bit field b masks the character",
       {{"Decimal Place XXXX.XX", "(WEIGHT)", "3b0", "1b3", "5", "X"}}, std::string("AB\x35Z\n"), {.decimals = -2}},
      {"a bit row beyond the frame reads code 0 and still matches 0",
       {{"Net Mode", "2 / MODE", "50", "1", "0", "X"}}, "AB\n", {.bits = 4, .mode = "NET"}},
      {"a bit row on the last character is beyond the frame",
       {{"Motion", "1 / MOTION", "3", "1", "10", "X"}}, "AB\n", {}},
      {"NUL in the frame is an ordinary code",
       {{"Out Of Range", "0 / ERROR", "2", "1", "0", "X"}}, std::string("A\0B\n", 4),
       {.bits = 1, .error = "OUT OF RANGE"}},
      {"units: the first matching row wins",
       {{"KG", "3 / UNITS", "1", "2", "kg", "X"}, {"LB", "3 / UNITS", "3", "2", "lb", "X"}}, "kglb\n",
       {.units = "KG"}},
      {"units: LB first sets bit 8",
       {{"LB", "3 / UNITS", "3", "2", "lb", "X"}, {"KG", "3 / UNITS", "1", "2", "kg", "X"}}, "kglb\n",
       {.bits = 8, .units = "LB"}},
      {"a unit's name in capitals",
       {{"Troy Ounces", "3 / UNITS", "1", "2", "oz", "X"}}, "oz\n", {.units = "TROY OUNCES"}},
      {"an unknown unit has no effect",
       {{"MilliGrams", "3 / UNITS", "1", "2", "mg", "X"}}, "mg\n", {}},
      {"Net then Gross ends in GROSS with bit 4 kept",
       {{"Net Mode", "2 / MODE", "1", "1", "78", "X"}, {"Gross Mode", "2 / MODE", "2", "1", "71", "X"}}, "NG\n",
       {.bits = 4, .mode = "GROSS"}},
      {"Stable after Motion clears motion, bit 2 stays",
       {{"Motion", "1 / MOTION", "1", "1", "77", "X"}, {"Stable", "1 / MOTION", "1", "1", "77", "X"}}, "M\n",
       {.bits = 2}},
      {"rows switched off are ignored",
       {{"Motion", "1 / MOTION", "1", "1", "77", " "}, {"Net Mode", "2 / MODE", "1", "1", "77", "x"}}, "M\n", {}},
      {"categories are read in any case",
       {{"Motion", "1 / motion", "1", "2", "MO", "X"}}, "MO\n", {.bits = 2, .motion = true}},
      {"definitions are compared exactly",
       {{"motion", "1 / MOTION", "1", "2", "MO", "X"}}, "MO\n", {}},
      {"a text row is compared case-sensitively",
       {{"Motion", "1 / MOTION", "1", "2", "MO", "X"}}, "mo\n", {}},
      {"a text row that does not fit the frame is skipped",
       {{"Motion", "1 / MOTION", "2", "2", "O\n", "X"}}, "MO\n", {}},
      {"a text row of category (WEIGHT) sets no decimals",
       {{"Decimal Place XXXX.XX", "(WEIGHT)", "1", "2", "DP", "X"}}, "DP\n", {}},
      {"an error other than Out Of Range sets its text without bit 1",
       {{"Overload", "0 / ERROR", "1", "2", "OL", "X"}}, "OL\n", {.error = "OVERLOAD"}},
      {"the later error overwrites the earlier",
       {{"Out Of Range", "0 / ERROR", "1", "2", "OL", "X"}, {"Underload", "0 / ERROR", "1", "2", "OL", "X"}}, "OL\n",
       {.bits = 1, .error = "UNDERLOAD"}},
      {"polarity and decimals from bit rows",
       {{"Polarity Sign Negative -", "(WEIGHT)", "1b1", "1b1", "2", "X"},
        {"Decimal Place XXXXX0", "(WEIGHT)", "1b2", "1b2", "4", "X"}},
       std::string("\x06Z\n"), {.decimals = 1, .sign = "-"}},
      {"a text row that marks a field (=> GROSS) has no effect, even as an error",
       {{"=> Gross", "0 / ERROR", "1", "2", "AB", "X"}, {"<= NET", "0 / ERROR", "1", "2", "AB", "X"}}, "AB\n", {}},
      {"a bit row that marks a field is an error like any other",
       {{"=> Gross", "0 / ERROR", "1", "1", "65", "X"}}, "AB\n", {.error = "=> GROSS"}},
      {"status rows have no effect",
       {{"Center Of Zero", "4 / STATUS1", "1", "1", "67", "X"}, {"Invalid", "INVALIDATE", "1", "1", "67", "X"}},
       "C\n", {}},
  };

  // A table without an empty row: all 100 rows are visited.
  StatusCase full{"100 rows with no empty one: row 99 is visited", {}, "OR\n", {.bits = 1, .error = "OUT OF RANGE"}};
  for (int r = 0; r < 99; ++r) full.rows.push_back({"Stable", "1 / MOTION", "1", "1", "0", " "});
  full.rows.push_back({"Out Of Range", "0 / ERROR", "1", "2", "OR", "X"});
  cases.push_back(full);
  return cases;
}

TEST(ParseStatusData, caseTable) {
  for (const StatusCase& c : StatusCases()) {
    const ProtocolDefinition d = WithStatusRows({}, c.rows);
    std::vector<std::string> faults;
    const StatusTable table = CompileStatusTable(d, 12, [&](const std::string& line) { faults.push_back(line); });
    EXPECT_TRUE(faults.empty()) << c.legend;
    const StatusReading r = ParseStatusData(c.frame, table);
    EXPECT_EQ(r.ScaleStatBits, c.expected.bits) << c.legend;
    EXPECT_EQ(r.WeightMode, c.expected.mode) << c.legend;
    EXPECT_EQ(r.UnitsText, c.expected.units) << c.legend;
    EXPECT_EQ(r.ErrorText, c.expected.error) << c.legend;
    EXPECT_EQ(r.InMotion, c.expected.motion) << c.legend;
    EXPECT_EQ(r.WeightDecimals, c.expected.decimals) << c.legend;
    EXPECT_EQ(r.WeightSign, c.expected.sign) << c.legend;
  }
}

TEST(ParseStatusData, visitsRowsUpToAndIncludingTheFirstEmptyRow) {
  ProtocolDefinition d = WithStatusRows({}, {{"Motion", "1 / MOTION", "1", "1", "77", "X"},
                                             {"Net Mode", "2 / MODE", "1", "1", "77", "X"},
                                             {"Out Of Range", "0 / ERROR", "1", "1", "77", "X"}});
  // Row 1 lacks its compare cell, so it is the first empty row: it takes part
  // (an empty compare value is 0), row 2 does not.
  d.StatusData[1][4] = DataCell();
  d.StatusFirstEmpty = 1;
  const StatusTable table = CompileStatusTable(d, 3, {});
  EXPECT_EQ(ParseStatusData("M\n", table).ScaleStatBits, 2);
  EXPECT_EQ(ParseStatusData(std::string("\0\n", 2), table).ScaleStatBits, 4);
}

TEST(CompileStatusTable, skipsRowsThatCanNeverApplyWithOneLogLineEach) {
  const ProtocolDefinition d = WithStatusRows(
      {}, {
              {"Motion", "1 / MOTION", "0", "1", "4", "X"},          // 0: position below 1
              {"Motion", "1 / MOTION", "2b", "1", "4", "X"},         // 1: start bit without a digit
              {"Motion", "1 / MOTION", "2", "1b", "4", "X"},         // 2: width without a digit
              {"Motion", "1 / MOTION", "2", "0", "4", "X"},          // 3: length below 1
              {"Motion", "1 / MOTION", "2", "3", "AB", "X"},         // 4: compare text too short
              {"Motion", "1 / MOTION", "2b2", "1b1", "8", "X"},      // 5: 8 is outside mask 4
              {"Motion", "1 / MOTION", "0", "1", "4", " "},          // 6: off: no line
              {"Center Of Zero", "4 / STATUS1", "0", "0", "67", "X"},  // 7: no effect: no line
              {"Net Mode", "2 / MODE", "1", "1", "78", "X"},         // 8: good
          });
  std::vector<std::string> faults;
  const StatusTable table = CompileStatusTable(d, 17, [&](const std::string& line) { faults.push_back(line); });
  ASSERT_EQ(faults.size(), 6u);
  for (int r = 0; r < 6; ++r) {
    EXPECT_TRUE(faults[static_cast<size_t>(r)].starts_with("Protocol: 17  Status Row: " + std::to_string(r) + "  "))
        << faults[static_cast<size_t>(r)];
  }
  ASSERT_EQ(table.rows.size(), 1u);
  EXPECT_EQ(table.rows[0].row, 8);
  // Frames of every shape go through without a fault.
  EXPECT_EQ(ParseStatusData("", table).ScaleStatBits, 0);
  EXPECT_EQ(ParseStatusData("N\n", table).ScaleStatBits, 4);
}

}  // namespace
}  // namespace tarvex
