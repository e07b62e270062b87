#pragma once
// The status-table editor on the setup dialog's controls and the list state,
// the list bound to the status table as loading a protocol does it.
#include <gtest/gtest.h>

#include "config/setup_dialog/setup_dialog_form.h"
#include "config/status_editor/status_list_state.h"
#include "config/status_editor/status_table_editor.h"
#include "core/startup_state.h"
#include "tests/config/status_editor/status_table_fixture.h"

namespace tarvex::test {

class RecordedFocus final : public ControlFocus {
public:
  void SetFocus(Control& control) override { focused = control.Name(); }
  std::string focused;
};

class StatusEditorTest : public ::testing::Test {
protected:
  StatusEditorTest() {
    startup.StatusTable().ReDim(0, 99, 0, 5);
    list.SetArray(startup.StatusTable());
    list.ReloadData();
    list.SetVisibleRows(12);
    list.Watch([this](StatusListChange change) {
      if (change == StatusListChange::Focus) ++listFocusCalls;
    });
  }

  DataArray& table() { return startup.StatusTable(); }

  // The user makes row current and double-clicks it.
  void Open(long row, int column = 0) {
    list.UserMovesTo(row, column);
    list.UserDoubleClicks();
  }
  // The four fields that Insert and Replace need.
  void Type(const std::string& position, const std::string& length) {
    entry.te[0].SetText(position);
    entry.te[1].SetText(length);
  }

  SetupDialogForm dialog;
  StatusEntryForm entry;
  StartupState startup;
  StatusListState list;
  int listFocusCalls = 0;
  RecordedFocus focus;
  StatusTableEditor editor{dialog, entry, startup, list, focus};
};

}  // namespace tarvex::test
