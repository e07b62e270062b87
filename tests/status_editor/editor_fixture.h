#pragma once
// The status-table editor on the setup dialog's controls, with a list that
// keeps its state in plain fields: the current row and column, the rows it
// shows at once, its scroll position, and what was asked of it.
#include <gtest/gtest.h>

#include "config/setup_dialog/setup_dialog_form.h"
#include "config/status_editor/status_table_editor.h"
#include "core/startup_state.h"
#include "status_table_fixture.h"

namespace tarvex::test {

class RecordedStatusList final : public StatusList {
public:
  void SetArray(DataArray& table) override {
    array = &table;
    ++rebinds;
  }
  void ReloadData() override {}
  void Refresh() override { ++refreshes; }
  void SetEnabled(bool value) override { enabled = value; }
  void SetForeColor(OleColour colour) override { foreColor = colour; }
  long Bookmark() const override { return bookmark; }
  void SetBookmark(long row) override { bookmark = row; }
  int CurrentColumn() const override { return column; }
  int VisibleRows() const override { return visibleRows; }
  void SetTopRow(long row) override { topRow = row; }
  void SetRowInView(int position) override { rowInView = position; }
  bool Enabled() const override { return enabled; }
  void SetFocus() override { ++focusCalls; }
  void SetEvents(StatusListEvents* value) override { events = value; }

  // The user makes a row current: the list then raises its row change.
  void UserSelects(long row, int col = 0) {
    bookmark = row;
    column = col;
    events->TDBList1_RowChange();
  }

  DataArray* array = nullptr;
  int rebinds = 0, refreshes = 0, focusCalls = 0;
  bool enabled = true;
  OleColour foreColor = DialogColour::Black;
  long bookmark = 0;
  int column = 0;
  int visibleRows = 12;
  long topRow = -1;
  int rowInView = -1;
  StatusListEvents* events = nullptr;
};

class RecordedFocus final : public ControlFocus {
public:
  void SetFocus(Control& control) override { focused = control.Name(); }
  std::string focused;
};

class StatusEditorTest : public ::testing::Test {
protected:
  StatusEditorTest() { startup.StatusTable().ReDim(0, 99, 0, 5); }

  DataArray& table() { return startup.StatusTable(); }

  // The user makes row current and double-clicks it.
  void Open(long row, int column = 0) {
    list.UserSelects(row, column);
    list.events->TDBList1_DblClick();
  }
  int KeyDown(int code) {
    list.events->TDBList1_KeyDown(code, 0);
    return code;
  }
  int KeyPress(int ascii) {
    list.events->TDBList1_KeyPress(ascii);
    return ascii;
  }
  // The four fields that Insert and Replace need.
  void Type(const std::string& position, const std::string& length) {
    entry.te[0].SetText(position);
    entry.te[1].SetText(length);
  }

  SetupDialogForm dialog;
  StatusEntryForm entry;
  StartupState startup;
  RecordedStatusList list;
  RecordedFocus focus;
  StatusTableEditor editor{dialog, entry, startup, list, focus};
};

}  // namespace tarvex::test
