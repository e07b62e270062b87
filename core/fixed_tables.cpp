#include "fixed_tables.h"

namespace tarvex {

void InitCommSettings(FixedTables& tables) {
  static const char* const bauds[] = {"1200", "2400", "4800", "9600", "19200", "38400"};
  static const char* const frames[] = {"N,7,1", "O,7,1", "E,7,1", "N,7,2", "O,7,2",
                                       "E,7,2", "N,8,1", "O,8,1", "E,8,1"};
  for (int b = 0; b < 6; ++b) {
    for (int f = 0; f < 9; ++f) {
      tables.CommSettings.Set(9 * b + f, std::string(bauds[b]) + "," + frames[f]);
    }
  }
}

void InitWeightUnits(FixedTables& tables) {
  static const char* const units[] = {"LB",     "KG",          "Grams",        "MilliGrams",  "MicroGrams",
                                      "Metric Tons", "Tons",   "Ounces",       "Troy Ounces", "Penny Weight",
                                      "Pieces", "Custom Units1", "Custom Units2"};
  for (int k = 0; k < 13; ++k) tables.WeightUnits.Set(k, units[k]);
}

void InitDecimalFormats(FixedTables& tables) {
  static const char* const patterns[] = {"", "#####0", "####0.0", "###0.00", "##0.000", "#0.0000", "0.00000"};
  for (int k = 0; k < 7; ++k) tables.DecimalFormats.Set(k, patterns[k]);
}

void InitCfgFileNames(FixedTables& tables) {
  static const char* const builtIn[] = {"VOZELODBC",      "VOShortFmt",    "VOStdFmt",   "VOQXLFmt",
                                        "VOQ380Fmt",      "VOQ270ShortFmt", "VOQ270StdFmt", "VOQ490Fmt",
                                        "VORKFmt",        "VOQuenbyFmt"};
  tables.LastFixedProtocol = 9;
  for (int p = 0; p <= 41; ++p) {
    const std::string name = p <= 9 ? builtIn[p] : "CustFmt" + std::to_string(p - 9);
    tables.CfgFileNames.Set(p, "\\Tarvex-Std-" + name + ".Cfg");
  }
}

}  // namespace tarvex
