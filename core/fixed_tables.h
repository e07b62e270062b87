#pragma once
// The fixed look-up tables that start-up fills and the rest of the manager
// indexes: decimal format patterns, weight unit names, serial settings texts and
// protocol file names. Each keeps the bounds of the original array; a look-up
// outside them raises error 9 instead of reading outside the table.
#include <array>
#include <string>

#include "platform/run_time_error.h"

namespace tarvex {

template <size_t Size>
class FixedTable {
public:
  static constexpr int Upper = static_cast<int>(Size) - 1;

  const std::string& operator()(long long index) const {
    CheckSubscript(index, 0, Upper, name_);
    return entries_[static_cast<size_t>(index)];
  }
  void Set(long long index, std::string text) {
    CheckSubscript(index, 0, Upper, name_);
    entries_[static_cast<size_t>(index)] = std::move(text);
  }

  explicit FixedTable(const char* name) : name_(name) {}

private:
  const char* name_;
  std::array<std::string, Size> entries_{};
};

struct FixedTables {
  FixedTable<8> DecimalFormats{"DecimalFormats"};
  FixedTable<16> WeightUnits{"WeightUnits"};
  FixedTable<66> CommSettings{"CommSettings"};
  FixedTable<43> CfgFileNames{"CfgFileNames"};
  int LastFixedProtocol = 0;
};

void InitCommSettings(FixedTables& tables);
void InitWeightUnits(FixedTables& tables);
void InitDecimalFormats(FixedTables& tables);
// Sets LastFixedProtocol and fills CfgFileNames(0) to CfgFileNames(41).
void InitCfgFileNames(FixedTables& tables);

}  // namespace tarvex
