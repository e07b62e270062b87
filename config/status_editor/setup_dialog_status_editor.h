#pragma once
// The status-table editor fitted into the setup dialog: the dialog's status
// grid is the editor's list from now on. Make it when the dialog is made
// (SetupDialogInstance::OnCreated), before anything is transferred into the
// dialog, and keep it for the dialog's life. The window's part
// (StatusEditorWindow) joins when the dialog's window is made.
#include <functional>

#include "config/setup_dialog/setup_dialog.h"
#include "config/status_editor/status_entry_form.h"
#include "config/status_editor/status_list_state.h"
#include "config/status_editor/status_table_editor.h"

namespace tarvex {

class SetupDialogStatusEditor final : private ControlFocus {
public:
  SetupDialogStatusEditor(SetupDialog& dialog, StartupState& startup);
  SetupDialogStatusEditor(const SetupDialogStatusEditor&) = delete;
  SetupDialogStatusEditor& operator=(const SetupDialogStatusEditor&) = delete;

  StatusEntryForm& Entry() noexcept { return entry_; }
  StatusListState& List() noexcept { return list_; }
  StatusTableEditor& Editor() noexcept { return editor_; }
  // How the keyboard focus reaches an entry field once there are widgets.
  void SetFocusMover(std::function<void(Control&)> mover) { focusMover_ = std::move(mover); }

private:
  void SetFocus(Control& control) override {
    if (focusMover_) focusMover_(control);
  }

  StatusEntryForm entry_;
  StatusListState list_;
  std::function<void(Control&)> focusMover_;
  StatusTableEditor editor_;
};

}  // namespace tarvex
