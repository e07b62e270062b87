#include <gtest/gtest.h>

#include "core/fixed_tables.h"
#include "tests/support/run_time_error_of.h"

namespace tarvex {
namespace {

FixedTables Filled() {
  FixedTables t;
  InitCommSettings(t);
  InitWeightUnits(t);
  InitDecimalFormats(t);
  InitCfgFileNames(t);
  return t;
}

TEST(FixedTables, entriesAtTheEdgesOfEachTable) {
  const FixedTables t = Filled();
  const struct {
    const char* legend;
    std::string actual;
    const char* expected;
  } rows[] = {
      {"CommSettings 0", t.CommSettings(0), "1200,N,7,1"},
      {"CommSettings 8", t.CommSettings(8), "1200,E,8,1"},
      {"CommSettings 9", t.CommSettings(9), "2400,N,7,1"},
      {"CommSettings 33", t.CommSettings(33), "9600,N,8,1"},
      {"CommSettings 53", t.CommSettings(53), "38400,E,8,1"},
      {"CommSettings 54", t.CommSettings(54), ""},
      {"CommSettings 65", t.CommSettings(65), ""},
      {"WeightUnits 0", t.WeightUnits(0), "LB"},
      {"WeightUnits 5", t.WeightUnits(5), "Metric Tons"},
      {"WeightUnits 12", t.WeightUnits(12), "Custom Units2"},
      {"WeightUnits 13", t.WeightUnits(13), ""},
      {"DecimalFormats 0", t.DecimalFormats(0), ""},
      {"DecimalFormats 1", t.DecimalFormats(1), "#####0"},
      {"DecimalFormats 6", t.DecimalFormats(6), "0.00000"},
      {"DecimalFormats 7", t.DecimalFormats(7), ""},
      {"CfgFileNames 0", t.CfgFileNames(0), "\\Tarvex-Std-VOZELODBC.Cfg"},
      {"CfgFileNames 2", t.CfgFileNames(2), "\\Tarvex-Std-VOStdFmt.Cfg"},
      {"CfgFileNames 9", t.CfgFileNames(9), "\\Tarvex-Std-VOQuenbyFmt.Cfg"},
      {"CfgFileNames 10", t.CfgFileNames(10), "\\Tarvex-Std-CustFmt1.Cfg"},
      {"CfgFileNames 41", t.CfgFileNames(41), "\\Tarvex-Std-CustFmt32.Cfg"},
      {"CfgFileNames 42", t.CfgFileNames(42), ""},
  };
  for (const auto& row : rows) EXPECT_EQ(row.actual, row.expected) << row.legend;
  EXPECT_EQ(t.LastFixedProtocol, 9);
}

TEST(FixedTables, everySerialSettingsEntryIsBaudCommaFrame) {
  const FixedTables t = Filled();
  const char* bauds[] = {"1200", "2400", "4800", "9600", "19200", "38400"};
  for (int k = 0; k <= 53; ++k) {
    const std::string& s = t.CommSettings(k);
    EXPECT_EQ(s.substr(0, s.find(',')), bauds[k / 9]) << k;
    EXPECT_EQ(s.find(' '), std::string::npos) << k;
  }
}

TEST(FixedTables, lookUpOutsideTheBoundsRaisesSubscriptError) {
  const FixedTables t = Filled();
  EXPECT_EQ(test::ErrorOf([&] { t.CommSettings(66); }), ErrorNumber::SubscriptOutOfRange);
  EXPECT_EQ(test::ErrorOf([&] { t.CommSettings(-1); }), ErrorNumber::SubscriptOutOfRange);
  EXPECT_EQ(test::ErrorOf([&] { t.CfgFileNames(43); }), ErrorNumber::SubscriptOutOfRange);
  EXPECT_EQ(test::ErrorOf([&] { t.WeightUnits(16); }), ErrorNumber::SubscriptOutOfRange);
  EXPECT_EQ(test::ErrorOf([&] { t.DecimalFormats(8); }), ErrorNumber::SubscriptOutOfRange);
}

}  // namespace
}  // namespace tarvex
