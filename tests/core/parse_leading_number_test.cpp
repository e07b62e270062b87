#include <gtest/gtest.h>

#include <charconv>
#include <clocale>
#include <random>
#include <string>

#include "core/parse_leading_number.h"

namespace tarvex {
namespace {

struct NumberRow {
  const char* text;
  double value;
};

const NumberRow kRows[] = {
    {" 12.5kg", 12.5},
    {"1 2", 12},
    {"\t-\n3", -3},
    {"-1.5e2", -150},
    {"1D3", 1000},
    {"2.5d-1", 0.25},
    {"1E", 1},        // an exponent without digits is not read
    {"1e+", 1},
    {"+7", 7},
    {".5", 0.5},
    {"5.", 5},
    {"&H1F", 31},
    {"&hff", 255},
    {"&O17", 15},
    {"&O19", 1},      // 9 is no octal digit
    {"&X1", 0},
    {"1,5", 1},
    {"1.2.3", 1.2},
    {"abc", 0},
    {"-", 0},
    {".", 0},
    {"", 0},
    {"0012.50", 12.5},
};

void ExpectAllRows() {
  for (const auto& row : kRows) {
    EXPECT_DOUBLE_EQ(ParseLeadingNumber(row.text), row.value) << '"' << row.text << '"';
  }
}

TEST(ParseLeadingNumber, readsTheNumberAtTheStartOfTheText) { ExpectAllRows(); }

TEST(ParseLeadingNumber, ignoresACommaDecimalLocale) {
  const std::string saved = std::setlocale(LC_ALL, nullptr);
  ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr) << "the de_DE.UTF-8 locale is not installed";
  ExpectAllRows();
  std::setlocale(LC_ALL, saved.c_str());
}

// Short decimals take a quicker road than long ones or exponents: both must
// give the double that the digits name, to the last bit.
TEST(ParseLeadingNumber, readsShortDecimalsExactlyAsTheGeneralReading) {
  std::mt19937_64 random(42);
  for (int i = 0; i < 100000; ++i) {
    const int digits = 1 + static_cast<int>(random() % 15);
    std::string text;
    for (int d = 0; d < digits; ++d) text += static_cast<char>('0' + random() % 10);
    const size_t point = random() % (text.size() + 1);
    text.insert(point, ".");
    if (random() % 2) text.insert(0, "-");
    double expected = 0;
    std::from_chars(text.data(), text.data() + text.size(), expected);
    EXPECT_EQ(ParseLeadingNumber(" " + text + " kg"), expected) << text;
  }
}

}  // namespace
}  // namespace tarvex
