#include "config/setup_dialog/setup_dialog_instance.h"

namespace tarvex {

SetupDialog& SetupDialogInstance::Get() {
  if (!dialog_) {
    dialog_ = std::make_unique<SetupDialog>(services_, cfg_);
    for (const auto& created : onCreated_) created(*dialog_);
  }
  return *dialog_;
}

void SetupDialogInstance::OnCreated(std::function<void(SetupDialog&)> created) {
  if (dialog_) {
    created(*dialog_);
    return;
  }
  onCreated_.push_back(std::move(created));
}

}  // namespace tarvex
