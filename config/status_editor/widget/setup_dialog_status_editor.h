#pragma once
// The status-table editor fitted into the setup dialog's window: its list in
// the status frame, its entry frame on the window, and the dialog talking to
// the list as its status grid. Make it right after the dialog's window, before
// the dialog is first opened, and keep it for the dialog's life.
#include <memory>

#include "config/setup_dialog/setup_dialog.h"
#include "config/setup_dialog/widget/setup_dialog_widget.h"
#include "config/status_editor/status_entry_form.h"
#include "config/status_editor/status_table_editor.h"
#include "config/status_editor/widget/status_list_widget.h"

namespace tarvex {

class SetupDialogStatusEditor final : private ControlFocus {
public:
  SetupDialogStatusEditor(SetupDialog& dialog, SetupDialogWidget& window, StartupState& startup);
  ~SetupDialogStatusEditor() override;
  SetupDialogStatusEditor(const SetupDialogStatusEditor&) = delete;
  SetupDialogStatusEditor& operator=(const SetupDialogStatusEditor&) = delete;

  StatusEntryForm& Entry() noexcept { return entry_; }
  StatusTableEditor& Editor() noexcept { return *editor_; }
  StatusListWidget& List() noexcept { return *list_; }

private:
  void SetFocus(Control& control) override;

  SetupDialogWidget& window_;
  StatusEntryForm entry_;
  StatusListWidget* list_;  // owned by the window
  std::unique_ptr<StatusTableEditor> editor_;
};

}  // namespace tarvex
