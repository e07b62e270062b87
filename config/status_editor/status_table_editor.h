#pragma once
// The status-table editor of the setup dialog: browsing the status list, one
// row at a time opened into the entry frame, and the insert, replace and
// delete buttons that write it back into the status-table array.
//
// While browsing, the current row never goes below the first free row, so
// used rows stay one block from row 0. Opening a row (double click or Enter)
// shows the entry frame and puts the dialog into entry mode: OK, Cancel, the
// connection settings, the command panel button and the list are disabled
// until one of the frame's four buttons closes the row again. Insert and
// Replace are enabled only while the status definition, DDE field, position
// and length are filled in; Insert also needs a free row, so a full table
// never loses its last entry to an insert. Delete is enabled only for a used
// row. Only rows 0 to 98 are ever opened or written.
//
// The table is the startup state's StatusTable; the editor keeps no rows of
// its own.
#include "config/setup_dialog/setup_dialog_form.h"
#include "config/status_editor/status_entry_form.h"
#include "config/status_editor/status_list.h"
#include "config/status_editor/status_table_edits.h"
#include "core/startup_state.h"

namespace tarvex {

class StatusTableEditor final : public StatusListEvents {
public:
  // The editor handles list's events from now on.
  StatusTableEditor(SetupDialogForm& dialog, StatusEntryForm& entry, StartupState& startup, StatusList& list,
                    ControlFocus& focus);
  ~StatusTableEditor() override;
  StatusTableEditor(const StatusTableEditor&) = delete;
  StatusTableEditor& operator=(const StatusTableEditor&) = delete;

  long FirstEmptyEntry();
  void EnableEntryExitTest();
  void InsertEntry();
  void DeleteEntry();
  void ClearEntryFields();
  void SetupEntryMode(bool Mode);

  void TDBList1_RowChange() override;
  void TDBList1_DblClick() override;
  void TDBList1_KeyDown(int& KeyCode, int Shift) override;
  void TDBList1_KeyPress(int& KeyAscii) override;

  void cmdInsert_Click();
  void cmdReplace_Click();
  void cmdDelete_Click();
  void cmdCancelEntry_Click();

private:
  DataArray& Table() { return startup_.StatusTable(); }
  // Opening a row: the double click, and Enter in the list.
  void OpenCurrentRow();
  // The current row when the editor may write it, else -1.
  long EditableCurrentRow();
  StatusEntryTexts EntryTexts() const;
  void LeaveEntryMode();
  void SelectMatching(ListBox& list, const std::string& text);

  SetupDialogForm& dialog_;
  StatusEntryForm& entry_;
  StartupState& startup_;
  StatusList& list_;
  ControlFocus& focus_;
};

}  // namespace tarvex
