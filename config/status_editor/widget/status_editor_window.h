#pragma once
// The status-table editor's widgets in the setup dialog's window: the list's
// view in the status frame's list area, the entry frame's controls on the
// window, and the focus moves of the editor reaching those widgets.
//
// StatusEditorWindowHost makes them once the dialog's window exists (the
// window is made the first time the dialog is shown).
#include <memory>

#include "config/setup_dialog/widget/setup_dialog_window_host.h"
#include "config/status_editor/setup_dialog_status_editor.h"
#include "config/status_editor/widget/status_list_widget.h"

namespace tarvex {

class StatusEditorWindow {
public:
  StatusEditorWindow(SetupDialogWidget& window, SetupDialogStatusEditor& editor);
  ~StatusEditorWindow();
  StatusEditorWindow(const StatusEditorWindow&) = delete;
  StatusEditorWindow& operator=(const StatusEditorWindow&) = delete;

  StatusListWidget& List() const noexcept { return *list_; }

private:
  SetupDialogStatusEditor& editor_;
  StatusListWidget* list_;  // owned by the window
};

class StatusEditorWindowHost {
public:
  // Make it after windows, for the same dialog; it must live as long as both.
  StatusEditorWindowHost(SetupDialog& dialog, SetupDialogWindowHost& windows, SetupDialogStatusEditor& editor);
  // nullptr until the dialog's window was made.
  StatusEditorWindow* Window() const noexcept { return window_.get(); }

private:
  std::unique_ptr<StatusEditorWindow> window_;
};

}  // namespace tarvex
