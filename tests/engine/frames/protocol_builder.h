#pragma once
// Test support: protocol definitions written in code, a status row per line.
#include <string>
#include <vector>

#include "config/protocol_definition.h"

namespace tarvex::testing {

struct RowText {
  std::string definition, category, position, length, compare, enabled;
};

// The rows from row 0 on; StatusFirstEmpty is the first row with an empty
// cell (the rows after the given ones are empty), or -1 when none is.
inline ProtocolDefinition WithStatusRows(ProtocolDefinition d, const std::vector<RowText>& rows) {
  for (auto& row : d.StatusData) row.fill(DataCell());
  for (size_t r = 0; r < rows.size(); ++r) {
    const RowText& t = rows[r];
    auto& cells = d.StatusData[r];
    const std::string texts[6] = {t.definition, t.category, t.position, t.length, t.compare, t.enabled};
    for (size_t c = 0; c < 6; ++c) cells[c] = texts[c].empty() ? DataCell() : DataCell::Text(texts[c]);
  }
  d.StatusFirstEmpty = -1;
  for (int r = 0; r < StatusFileRows && d.StatusFirstEmpty < 0; ++r) {
    for (int c = 0; c < StatusFileColumns; ++c) {
      if (d.StatusData[static_cast<size_t>(r)][static_cast<size_t>(c)].isEmpty()) d.StatusFirstEmpty = r;
    }
  }
  return d;
}

}  // namespace tarvex::testing
