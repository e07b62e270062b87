#include "config/setup_dialog/setup_dialog_instance.h"

namespace tarvex {

SetupDialog& SetupDialogInstance::Get() {
  if (!dialog_) {
    dialog_ = std::make_unique<SetupDialog>(services_, calls_);
    if (onCreated_) onCreated_(*dialog_);
  }
  return *dialog_;
}

}  // namespace tarvex
