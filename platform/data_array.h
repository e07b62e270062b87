#pragma once
// The two-dimensional data array behind the status-table list.
//
// A cell holds nothing, a text, or a number. A number keeps the digits it was
// read with, so a file's unquoted "0012" is written back as "0012". Cells are
// addressed (row, column) within bounds set by ReDim; a cell outside them raises
// error 9, as the original's subscript check did.
#include <string>
#include <vector>

namespace tarvex {

class DataCell {
public:
  enum class Kind { Empty, Text, Number };

  DataCell() = default;
  static DataCell Text(std::string text) { return DataCell(Kind::Text, std::move(text)); }
  // digits: the number as written, e.g. "12", "-3", "0012".
  static DataCell Number(std::string digits) { return DataCell(Kind::Number, std::move(digits)); }

  Kind kind() const noexcept { return kind_; }
  bool isEmpty() const noexcept { return kind_ == Kind::Empty; }
  bool isText() const noexcept { return kind_ == Kind::Text; }
  bool isNumber() const noexcept { return kind_ == Kind::Number; }
  // The text of a text cell, the digits of a number, "" for an empty cell: what
  // the list shows.
  const std::string& text() const noexcept { return text_; }

  bool operator==(const DataCell&) const = default;

private:
  DataCell(Kind kind, std::string text) : kind_(kind), text_(std::move(text)) {}
  Kind kind_ = Kind::Empty;
  std::string text_;
};

class DataArray {
public:
  // Dimension 1 (rows) and 2 (columns) from lower to upper bound, inclusive. All
  // cells hold nothing afterwards.
  void ReDim(long rowLower, long rowUpper, long columnLower, long columnUpper);

  // d = 1 rows, 2 columns; another d raises error 9.
  long LowerBound(int d) const;
  long UpperBound(int d) const;

  const DataCell& Value(long row, long column) const;
  void SetValue(long row, long column, DataCell cell);

private:
  size_t offset(long row, long column) const;

  long rowLower_ = 0, rowUpper_ = -1, columnLower_ = 0, columnUpper_ = -1;
  std::vector<DataCell> cells_;
};

}  // namespace tarvex
