#include <gtest/gtest.h>

#include "config/setup_dialog/dialog_controls.h"

namespace tarvex {
namespace {

TEST(KeyFilterTest, numericBoxesTakeDigitsAndEditingKeysOnly) {
  const struct {
    int keyCode;
    bool allowed;
    const char* key;
  } rows[] = {{8, true, "Backspace"},   {9, true, "Tab"},         {13, true, "Enter"},     {27, true, "Esc"},
              {35, true, "End"},        {36, true, "Home"},       {37, true, "Left"},      {38, true, "Up"},
              {39, true, "Right"},      {40, true, "Down"},       {46, true, "Delete"},    {48, true, "0"},
              {57, true, "9"},          {47, false, "below 0"},   {58, false, "above 9"},  {65, false, "A"},
              {32, false, "Space"},     {45, false, "Insert"},    {96, false, "keypad 0"}, {105, false, "keypad 9"},
              {109, false, "keypad -"}, {189, false, "minus"},    {190, false, "period"},  {110, false, "keypad ."},
              {33, false, "Page Up"},   {0, false, "no code"}};
  for (const auto& row : rows) EXPECT_EQ(NumericKeyAllowed(row.keyCode), row.allowed) << row.key;
}

TEST(KeyFilterTest, fileTextsRefuseQuotesAndLineBreaks) {
  EXPECT_TRUE(FileTextAccepts("Scale 1, 'north' ~"));
  EXPECT_TRUE(FileTextAccepts(""));
  EXPECT_FALSE(FileTextAccepts("a\"b"));
  EXPECT_FALSE(FileTextAccepts("a\rb"));
  EXPECT_FALSE(FileTextAccepts("a\nb"));
}

}  // namespace
}  // namespace tarvex
