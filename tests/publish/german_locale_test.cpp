// Reading numbers from texts must not follow the locale: a running
// QCoreApplication switches the C library to the user's locale (LC_NUMERIC
// included), under which strtod would stop at the "." of "12.5". This program
// runs under de_DE.UTF-8, whose decimal separator is the comma; it sets the
// locale itself before the application starts, as a user's session would.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <string>
#include <vector>

#include <QCoreApplication>

#include "core/parse_leading_number.h"
#include "tests/support/publication_fixture.h"

namespace tarvex {
namespace {

class GermanLocale : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "german_locale_test";
    static char* argv[] = {name, nullptr};
    ::setenv("LC_ALL", "de_DE.UTF-8", 1);
    ::setenv("LANG", "de_DE.UTF-8", 1);
    app_ = new QCoreApplication(argc, argv);
  }
  static void TearDownTestSuite() {
    delete app_;
    app_ = nullptr;
  }
  static QCoreApplication* app_;
};
QCoreApplication* GermanLocale::app_ = nullptr;

TEST_F(GermanLocale, TheApplicationReallyRunsUnderACommaLocale) {
  ASSERT_STREQ(std::localeconv()->decimal_point, ",") << "is de_DE.UTF-8 installed (locale -a)?";
  EXPECT_EQ(std::strtod("12.5", nullptr), 12.0);  // the trap the reader must avoid
}

TEST_F(GermanLocale, ParseLeadingNumberReadsThePointWhateverTheLocale) {
  struct Case {
    const char* text;
    double value;
  };
  const std::vector<Case> rows = {
      {"12.5", 12.5},       {"12.5 kg", 12.5},   {"1 2\t5\n", 125},  {" -0.5", -0.5}, {"+7", 7},
      {"1,5", 1},           {"1,234", 1},        {"1.2.3", 1.2},     {"1.5E2", 150},  {"1.5d-1", 0.15},
      {"2e+3", 2000},       {"1e", 1},           {"&H1F", 31},       {"&o17", 15},    {"kg", 0},
      {"", 0},              {"-", 0},            {".", 0},           {".25", 0.25},   {"0012.50", 12.5},
  };
  for (const Case& row : rows) {
    EXPECT_DOUBLE_EQ(ParseLeadingNumber(row.text), row.value) << '"' << row.text << '"';
  }
}

TEST_F(GermanLocale, DdeItemsUseTheRegionalCommaWithoutGroupSeparators) {
  PublicationFixture f;
  DdeLinks links(f.publication, f.topics);  // the system's regional settings
  f.config.Channels[0].DDEServerEnabled = true;
  f.publication.NewGross[0] = "1234.5";
  f.publisher.SetVal(1, 0);
  links.UpdateDDELinks(0);
  ASSERT_EQ(f.topics.calls.size(), 1u);
  EXPECT_EQ(f.topics.calls[0].texts[DDEItem::Gross], "1234,5");
  EXPECT_EQ(f.devices.At(0)->CGross(), 1234.5);
}

}  // namespace
}  // namespace tarvex
