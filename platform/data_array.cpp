#include "data_array.h"

#include "run_time_error.h"

namespace tarvex {

void DataArray::ReDim(long rowLower, long rowUpper, long columnLower, long columnUpper) {
  if (rowUpper < rowLower - 1 || columnUpper < columnLower - 1) {
    throw RunTimeError(ErrorNumber::SubscriptOutOfRange, "Data array bounds are reversed");
  }
  rowLower_ = rowLower;
  rowUpper_ = rowUpper;
  columnLower_ = columnLower;
  columnUpper_ = columnUpper;
  cells_.assign(static_cast<size_t>(rowUpper - rowLower + 1) * static_cast<size_t>(columnUpper - columnLower + 1),
                DataCell());
}

long DataArray::LowerBound(int d) const {
  CheckSubscript(d, 1, 2, "data array dimension");
  return d == 1 ? rowLower_ : columnLower_;
}

long DataArray::UpperBound(int d) const {
  CheckSubscript(d, 1, 2, "data array dimension");
  return d == 1 ? rowUpper_ : columnUpper_;
}

size_t DataArray::offset(long row, long column) const {
  CheckSubscript(row, rowLower_, rowUpper_, "data array row");
  CheckSubscript(column, columnLower_, columnUpper_, "data array column");
  return static_cast<size_t>(row - rowLower_) * static_cast<size_t>(columnUpper_ - columnLower_ + 1) +
         static_cast<size_t>(column - columnLower_);
}

const DataCell& DataArray::Value(long row, long column) const { return cells_[offset(row, column)]; }

void DataArray::SetValue(long row, long column, DataCell cell) { cells_[offset(row, column)] = std::move(cell); }

}  // namespace tarvex
