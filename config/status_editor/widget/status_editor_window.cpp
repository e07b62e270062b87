#include "config/status_editor/widget/status_editor_window.h"

#include <QVBoxLayout>

namespace tarvex {

StatusEditorWindow::StatusEditorWindow(SetupDialogWidget& window, SetupDialogStatusEditor& editor)
    : editor_(editor), list_(new StatusListWidget(editor.List(), window.StatusListArea())) {
  auto* layout = new QVBoxLayout(window.StatusListArea());
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(list_);
  editor.Entry().VisitControls([&window](auto& control) { window.AddWidget(control); });
  // The entry frame stands over the frames below it while a row is open.
  window.ControlWidget(editor.Entry().fEntry.Name())->setAutoFillBackground(true);
  editor.SetFocusMover([&window](Control& control) {
    if (QWidget* widget = window.ControlWidget(control.Name())) widget->setFocus(Qt::OtherFocusReason);
  });
}

StatusEditorWindow::~StatusEditorWindow() { editor_.SetFocusMover(nullptr); }

StatusEditorWindowHost::StatusEditorWindowHost(SetupDialog& dialog, SetupDialogWindowHost& windows,
                                               SetupDialogStatusEditor& editor) {
  auto attach = [this, &windows, &editor] {
    if (!window_ && windows.Window()) window_ = std::make_unique<StatusEditorWindow>(*windows.Window(), editor);
  };
  dialog.Form().frmTarvexStdSetup.Watch(attach);
  attach();
}

}  // namespace tarvex
