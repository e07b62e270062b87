#pragma once
// The status list TDBList1 as a plain object: the bound array, the current
// cell, the scroll position, the number of rows the view shows at once, and
// whether it takes input. The editor and the dialog talk to it; the table view
// that shows it follows every change and passes the user's actions back
// through the User... calls.
//
// A disabled list takes no input: the user's moves, clicks and keys then raise
// no event. The row change is raised only for a move the user made, not for a
// row the code made current.
#include <deque>
#include <functional>

#include "config/status_editor/status_list.h"

namespace tarvex {

enum class StatusListChange { Array, Cells, Current, Scroll, Enabled, ForeColor, Focus };

class StatusListState final : public StatusList {
public:
  // Rebinds; the current row stays where it was, within the array's rows.
  void SetArray(DataArray& table) override;
  // The cells read again; the first cell becomes current and the list scrolls
  // to the top.
  void ReloadData() override;
  void Refresh() override { Notify(StatusListChange::Cells); }
  void SetEnabled(bool enabled) override;
  void SetForeColor(OleColour colour) override;

  long Bookmark() const override { return bookmark_; }
  // A row the array does not have changes nothing.
  void SetBookmark(long row) override;
  int CurrentColumn() const override { return column_; }
  int VisibleRows() const override { return visibleRows_; }
  void SetTopRow(long row) override;
  void SetRowInView(int position) override;
  bool Enabled() const override { return enabled_; }
  void SetFocus() override { Notify(StatusListChange::Focus); }
  void SetEvents(StatusListEvents* events) override { events_ = events; }

  const DataArray* Array() const noexcept { return array_; }
  long RowCount() const;
  long TopRow() const noexcept { return topRow_; }
  OleColour ForeColor() const noexcept { return foreColor_; }

  // The view's size, in whole rows.
  void SetVisibleRows(int rows);
  // What the user did in the view.
  void UserMovesTo(long row, int column);
  void UserScrollsTo(long topRow);
  void UserDoubleClicks();
  // Each returns the key's code after the handlers: 0 when they cancelled it.
  int UserKeyDown(int keyCode, int shift);
  int UserKeyPress(int keyAscii);

  void Watch(std::function<void(StatusListChange)> onChange) { watchers_.push_back(std::move(onChange)); }

private:
  void Notify(StatusListChange change);
  long ClampedTopRow(long row) const;

  DataArray* array_ = nullptr;
  long bookmark_ = -1;
  int column_ = -1;
  long topRow_ = 0;
  int visibleRows_ = 7;
  bool enabled_ = true;
  OleColour foreColor_ = DialogColour::Black;
  StatusListEvents* events_ = nullptr;
  std::deque<std::function<void(StatusListChange)>> watchers_;
};

}  // namespace tarvex
