#include "config/setup_dialog/widget/setup_dialog_window_host.h"

namespace tarvex {

SetupDialogWindowHost::SetupDialogWindowHost(SetupDialog& dialog) {
  auto& window = dialog.Form().frmTarvexStdSetup;
  window.Watch([this, &dialog, &window] {
    // The new window follows the form from then on, showing itself.
    if (window.Visible() && !window_) window_ = std::make_unique<SetupDialogWidget>(dialog);
  });
}

}  // namespace tarvex
