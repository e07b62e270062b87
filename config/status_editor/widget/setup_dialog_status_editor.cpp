#include "config/status_editor/widget/setup_dialog_status_editor.h"

#include <QVBoxLayout>

namespace tarvex {

SetupDialogStatusEditor::SetupDialogStatusEditor(SetupDialog& dialog, SetupDialogWidget& window,
                                                 StartupState& startup)
    : window_(window), list_(new StatusListWidget(window.StatusListArea())) {
  auto* layout = new QVBoxLayout(window.StatusListArea());
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(list_);
  entry_.VisitControls([&window](auto& control) { window.AddWidget(control); });
  editor_ = std::make_unique<StatusTableEditor>(dialog.Form(), entry_, startup, *list_, static_cast<ControlFocus&>(*this));
  dialog.SetStatusGrid(*list_);
}

SetupDialogStatusEditor::~SetupDialogStatusEditor() = default;

void SetupDialogStatusEditor::SetFocus(Control& control) {
  if (QWidget* widget = window_.ControlWidget(control.Name())) widget->setFocus(Qt::OtherFocusReason);
}

}  // namespace tarvex
