// The field notation itself: how the reader splits fields and types status
// cells, and what the writer refuses.
#include <gtest/gtest.h>

#include "config/settings_file.h"
#include "platform/run_time_error.h"

namespace tarvex {
namespace {

struct SplitCase {
  const char* legend;
  std::string bytes;
  std::vector<std::string> texts;  // every field read as text until the end
};

TEST(SettingsReader, splitsFieldsAtCommasAndLineEndsAlike) {
  const SplitCase cases[] = {
      {"CR LF lines", "\"a\",1\r\n2,\"b\"\r\n", {"a", "1", "2", "b"}},
      {"LF-only lines", "\"a\",1\n2,\"b\"\n", {"a", "1", "2", "b"}},
      {"CR-only lines", "\"a\",1\r2,\"b\"\r", {"a", "1", "2", "b"}},
      {"no final line end", "\"a\",1", {"a", "1"}},
      {"blank lines are not fields", "\r\n\"a\"\r\n\r\n  \r\n1\r\n\r\n", {"a", "1"}},
      {"a comma inside quotes", "\"a,b\",\"\",c", {"a,b", "", "c"}},
      {"empty fields, the last one ended by the line end", ",,\r\n", {"", "", ""}},
      {"a trailing comma owes an empty field", "1,", {"1", ""}},
      {"blanks around fields", "  1 ,\t\"x y\" \t,z  \r\n", {"1", "x y", "z"}},
      {"a quoted text may hold a line end", "\"two\r\nlines\",1", {"two\r\nlines", "1"}},
      {"bytes above 127 stay bytes", "\"\xe9\xb0\xff\"", {"\xe9\xb0\xff"}},
  };
  for (const SplitCase& c : cases) {
    SettingsReader reader("f.cfg", c.bytes);
    std::vector<std::string> texts;
    while (!reader.AtEnd()) texts.push_back(reader.Text("x"));
    EXPECT_EQ(texts, c.texts) << c.legend;
  }
}

TEST(SettingsReader, statusCellsKeepTheirKind) {
  SettingsReader reader("f.cfg", "\"12\",12,0012,-3,1.5,,\"\",abc\r\n");
  EXPECT_EQ(reader.Cell("c"), DataCell::Text("12"));
  EXPECT_EQ(reader.Cell("c"), DataCell::Number("12"));
  EXPECT_EQ(reader.Cell("c"), DataCell::Number("0012"));
  EXPECT_EQ(reader.Cell("c"), DataCell::Number("-3"));
  EXPECT_EQ(reader.Cell("c"), DataCell::Number("1.5"));
  EXPECT_EQ(reader.Cell("c"), DataCell());
  EXPECT_EQ(reader.Cell("c"), DataCell::Text(""));
  // An unquoted word is taken as text (it is written back quoted).
  EXPECT_EQ(reader.Cell("c"), DataCell::Text("abc"));
  EXPECT_TRUE(reader.AtEnd());
}

TEST(SettingsReader, booleansAndNumbersTakeTheirHandWrittenForms) {
  SettingsReader reader("f.cfg", "#TRUE#,#false#,0,-1,,+7,-2147483648,");
  EXPECT_TRUE(reader.Boolean("b"));
  EXPECT_FALSE(reader.Boolean("b"));
  EXPECT_FALSE(reader.Boolean("b"));
  EXPECT_TRUE(reader.Boolean("b"));
  EXPECT_FALSE(reader.Boolean("b"));  // an empty field
  EXPECT_EQ(reader.Long("n"), 7);
  EXPECT_EQ(reader.Long("n"), INT32_MIN);
  EXPECT_EQ(reader.Long("n"), 0);  // an empty field
}

TEST(SettingsWriter, writesTheOneFormWithCommasAndCrLf) {
  SettingsWriter w("f.cfg");
  w.Long(-12);
  w.Boolean(true);
  w.Boolean(false);
  w.Text("a, b", "t");
  w.Cell(DataCell(), "c");
  w.Cell(DataCell::Number("0012"), "c");
  w.EndLine();
  w.Cell(DataCell(), "c");
  w.Cell(DataCell(), "c");
  w.EndLine();
  EXPECT_EQ(w.bytes(), "-12,#TRUE#,#FALSE#,\"a, b\",,0012\r\n,\r\n");
}

TEST(SettingsWriter, refusesWhatTheNotationCannotHoldNamingFieldAndFile) {
  {
    SettingsWriter w("/x/f.cfg");
    w.Long(1);
    try {
      w.Text("say \"hi\"", "DeviceDescs");
      FAIL() << "a double quote was written";
    } catch (const RunTimeError& e) {
      EXPECT_EQ(e.number(), ErrorNumber::InvalidPropertyValue);
      EXPECT_NE(e.description().find("/x/f.cfg: field 2 (DeviceDescs)"), std::string::npos) << e.description();
    }
  }
  {
    SettingsWriter w("/x/f.cfg");
    EXPECT_THROW(w.Cell(DataCell::Number("1,2"), "c"), RunTimeError);
  }
}

}  // namespace
}  // namespace tarvex
