#pragma once
// Makes the setup dialog's window the first time the dialog is shown and keeps
// it for the run. The host must live as long as the dialog.
#include <memory>

#include "config/setup_dialog/widget/setup_dialog_widget.h"

namespace tarvex {

class SetupDialogWindowHost {
public:
  explicit SetupDialogWindowHost(SetupDialog& dialog);
  // nullptr until the dialog was first shown.
  SetupDialogWidget* Window() const noexcept { return window_.get(); }

private:
  std::unique_ptr<SetupDialogWidget> window_;
};

}  // namespace tarvex
