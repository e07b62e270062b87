#include "config/status_editor/setup_dialog_status_editor.h"

namespace tarvex {

SetupDialogStatusEditor::SetupDialogStatusEditor(SetupDialog& dialog, StartupState& startup)
    : editor_(dialog.Form(), entry_, startup, list_, *this) {
  dialog.SetStatusGrid(list_);
}

}  // namespace tarvex
