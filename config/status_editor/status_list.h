#pragma once
// The status list TDBList1 as the status-table editor uses it, on top of what
// the rest of the setup dialog asks of it (StatusGrid): the current row
// (Bookmark, -1 when there is none), the current column, the scroll position,
// the focus, and its events.
//
// Scrolling: TopRow makes a row the first visible one; RowInView scrolls so
// that the current row stands at that position among the visible rows. Both
// clamp to what the list can show and never change the current row.
#include "config/setup_dialog/status_grid.h"

namespace tarvex {

// The list's events. The key codes are passed by reference: a handler that
// sets one to 0 cancels the key.
class StatusListEvents {
public:
  virtual ~StatusListEvents() = default;
  // The user moved the current row.
  virtual void TDBList1_RowChange() = 0;
  virtual void TDBList1_DblClick() = 0;
  // KeyCode: the key (13 Enter, 33 to 40 the page, End, Home and arrow keys,
  // ...); Shift: 1 Shift, 2 Ctrl, 4 Alt.
  virtual void TDBList1_KeyDown(int& KeyCode, int Shift) = 0;
  // KeyAscii: the character the key produced (13 for Enter).
  virtual void TDBList1_KeyPress(int& KeyAscii) = 0;
};

class StatusList : public StatusGrid {
public:
  virtual long Bookmark() const = 0;
  virtual void SetBookmark(long row) = 0;
  virtual int CurrentColumn() const = 0;
  virtual int VisibleRows() const = 0;
  virtual void SetTopRow(long row) = 0;
  virtual void SetRowInView(int position) = 0;
  virtual bool Enabled() const = 0;
  virtual void SetFocus() = 0;
  // Where the list sends its events; nullptr for none.
  virtual void SetEvents(StatusListEvents* events) = 0;
};

// Moves the keyboard focus to one of the editor's entry fields.
class ControlFocus {
public:
  virtual ~ControlFocus() = default;
  virtual void SetFocus(Control& control) = 0;
};

}  // namespace tarvex
