#include "config/status_editor/status_table_edits.h"

#include "platform/run_time_error.h"

namespace tarvex {

namespace {

const DataCell EmptyText = DataCell::Text("");

bool IsEmptyText(const DataCell& cell) { return cell.isText() && cell.text().empty(); }

void CopyRow(DataArray& table, long from, long to) {
  for (long c = table.LowerBound(2); c <= table.UpperBound(2); ++c) table.SetValue(to, c, table.Value(from, c));
}

void CheckEditableRow(const DataArray& table, long row) {
  CheckSubscript(row, table.LowerBound(1), LastEditableRow(table), "status table row");
}

}  // namespace

long FirstEmptyEntry(DataArray& table) {
  const long column = table.LowerBound(2);
  const long upper = table.UpperBound(1);
  for (long r = table.LowerBound(1); r <= upper; ++r) {
    if (table.Value(r, column).isEmpty()) table.SetValue(r, column, EmptyText);
    if (IsEmptyText(table.Value(r, column))) return r < upper ? r : -1;
  }
  return -1;
}

long LastEditableRow(const DataArray& table) { return table.UpperBound(1) - 1; }

bool IsEditableRow(const DataArray& table, long row) {
  return row >= table.LowerBound(1) && row <= LastEditableRow(table);
}

long RowChangeLimit(DataArray& table) {
  const long first = FirstEmptyEntry(table);
  return first >= 0 ? first : LastEditableRow(table);
}

bool PrepareRowForOpening(DataArray& table, long row) {
  bool blank = true;
  for (long c = table.LowerBound(2); c <= table.UpperBound(2); ++c) {
    if (table.Value(row, c).isEmpty()) table.SetValue(row, c, EmptyText);
    if (!IsEmptyText(table.Value(row, c))) blank = false;
  }
  return blank;
}

void WriteEntry(DataArray& table, long row, const StatusEntryTexts& entry) {
  CheckEditableRow(table, row);
  const long c = table.LowerBound(2);
  table.SetValue(row, c + 0, DataCell::Text(entry.StatusDefinition));
  table.SetValue(row, c + 1, DataCell::Text(entry.DDEField));
  table.SetValue(row, c + 2, DataCell::Text(entry.FirstCharPos));
  table.SetValue(row, c + 3, DataCell::Text(entry.FieldLength));
  table.SetValue(row, c + 4, DataCell::Text(entry.BitMask));
  table.SetValue(row, c + 5, DataCell::Text(entry.Enabled));
}

void InsertEntry(DataArray& table, long row, const StatusEntryTexts& entry) {
  CheckEditableRow(table, row);
  for (long i = LastEditableRow(table); i >= row; --i) CopyRow(table, i, i + 1);
  WriteEntry(table, row, entry);
}

void DeleteEntry(DataArray& table, long row) {
  CheckEditableRow(table, row);
  const long upper = table.UpperBound(1);
  for (long i = row; i < upper; ++i) CopyRow(table, i + 1, i);
  for (long c = table.LowerBound(2); c <= table.UpperBound(2); ++c) table.SetValue(upper, c, EmptyText);
}

}  // namespace tarvex
