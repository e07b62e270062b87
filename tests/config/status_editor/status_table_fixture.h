#pragma once
// Status tables for the editor's tests: a table dimensioned as start-up does
// it, rows written from short lists of texts, and rows read back as texts.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "config/status_editor/status_table_edits.h"
#include "platform/data_array.h"

namespace tarvex::test {

using Row = std::array<std::string, 6>;

inline DataArray StartupTable() {
  DataArray table;
  table.ReDim(0, 99, 0, 5);
  return table;
}

inline void SetRow(DataArray& table, long row, const Row& cells) {
  for (int c = 0; c < 6; ++c) table.SetValue(row, c, DataCell::Text(cells[static_cast<size_t>(c)]));
}

// Rows 0 to used - 1 hold entries "E<row>" (any other column says the row too).
inline void FillRows(DataArray& table, long used) {
  for (long r = 0; r < used; ++r) {
    const std::string n = std::to_string(r);
    SetRow(table, r, {"E" + n, "1 / MOTION", n, "1", "m" + n, "X"});
  }
}

inline Row RowTexts(const DataArray& table, long row) {
  Row cells;
  for (int c = 0; c < 6; ++c) cells[static_cast<size_t>(c)] = table.Value(row, c).text();
  return cells;
}

// The status definitions of all 100 rows, "" for a free one.
inline std::vector<std::string> Definitions(const DataArray& table) {
  std::vector<std::string> texts;
  for (long r = 0; r <= table.UpperBound(1); ++r) texts.push_back(table.Value(r, 0).text());
  return texts;
}

}  // namespace tarvex::test
