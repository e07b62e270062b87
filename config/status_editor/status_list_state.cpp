#include "config/status_editor/status_list_state.h"

#include <algorithm>

namespace tarvex {

void StatusListState::Notify(StatusListChange change) {
  // By index over a deque: a watcher may add watchers.
  for (size_t i = 0; i < watchers_.size(); ++i) watchers_[i](change);
}

long StatusListState::RowCount() const { return array_ ? array_->UpperBound(1) - array_->LowerBound(1) + 1 : 0; }

long StatusListState::ClampedTopRow(long row) const {
  return std::clamp<long>(row, 0, std::max<long>(0, RowCount() - visibleRows_));
}

void StatusListState::SetArray(DataArray& table) {
  array_ = &table;
  if (RowCount() == 0) {
    bookmark_ = -1;
    column_ = -1;
  } else {
    bookmark_ = std::clamp<long>(bookmark_, 0, RowCount() - 1);
    column_ = std::max(column_, 0);
  }
  topRow_ = ClampedTopRow(topRow_);
  Notify(StatusListChange::Array);
}

void StatusListState::ReloadData() {
  bookmark_ = RowCount() > 0 ? 0 : -1;
  column_ = RowCount() > 0 ? 0 : -1;
  topRow_ = 0;
  Notify(StatusListChange::Array);
}

void StatusListState::SetEnabled(bool enabled) {
  if (enabled_ == enabled) return;
  enabled_ = enabled;
  Notify(StatusListChange::Enabled);
}

void StatusListState::SetForeColor(OleColour colour) {
  if (foreColor_ == colour) return;
  foreColor_ = colour;
  Notify(StatusListChange::ForeColor);
}

void StatusListState::SetBookmark(long row) {
  if (row < 0 || row >= RowCount() || row == bookmark_) return;
  bookmark_ = row;
  column_ = std::max(column_, 0);
  Notify(StatusListChange::Current);
}

void StatusListState::SetTopRow(long row) {
  const long top = ClampedTopRow(row);
  if (top == topRow_) return;
  topRow_ = top;
  Notify(StatusListChange::Scroll);
}

void StatusListState::SetRowInView(int position) {
  if (bookmark_ >= 0) SetTopRow(bookmark_ - position);
}

void StatusListState::SetVisibleRows(int rows) {
  visibleRows_ = std::max(rows, 1);
  topRow_ = ClampedTopRow(topRow_);
}

void StatusListState::UserMovesTo(long row, int column) {
  if (!enabled_ || row < 0 || row >= RowCount()) return;
  const bool rowChanged = row != bookmark_;
  bookmark_ = row;
  column_ = column;
  if (rowChanged && events_) events_->TDBList1_RowChange();
}

void StatusListState::UserScrollsTo(long topRow) { topRow_ = ClampedTopRow(topRow); }

void StatusListState::UserDoubleClicks() {
  if (enabled_ && events_) events_->TDBList1_DblClick();
}

int StatusListState::UserKeyDown(int keyCode, int shift) {
  if (!enabled_) return 0;
  if (events_) events_->TDBList1_KeyDown(keyCode, shift);
  return keyCode;
}

int StatusListState::UserKeyPress(int keyAscii) {
  if (!enabled_) return 0;
  if (events_) events_->TDBList1_KeyPress(keyAscii);
  return keyAscii;
}

}  // namespace tarvex
