#pragma once
// The one setup dialog of the run. It comes into being the first time anything
// uses it: the configuration procedure's dialog operations (the polling engine
// and the start-up window may run them before anybody opens the dialog) or the
// main window's Setup button. It is then kept, hidden between uses.
//
// Give the instance to the configuration procedure as its dialog transfer:
//   SetupDialogInstance setup(services, cfg);
//   cfg.SetDialogTransfer(&setup);
#include <functional>
#include <memory>
#include <vector>

#include "config/cfg_proc.h"
#include "config/setup_dialog/setup_dialog.h"

namespace tarvex {

class SetupDialogInstance final : public DialogTransfer {
public:
  SetupDialogInstance(SetupDialogServices services, ConfigProcedure& cfg) : services_(services), cfg_(cfg) {}

  // The dialog, made on the first call.
  SetupDialog& Get();
  bool Exists() const noexcept { return dialog_ != nullptr; }
  // Runs once for the dialog when it is made, or at once when it exists
  // already (the window host, the status table editor attach themselves here);
  // each registration is kept.
  void OnCreated(std::function<void(SetupDialog&)> created);

  void ChannelToDialog(int channel) override { Get().Transfer().ChannelToDialog(channel); }
  void DialogToChannel(int channel) override { Get().Transfer().DialogToChannel(channel); }
  void ProtocolToDialog(int protocol) override { Get().Transfer().ProtocolToDialog(protocol); }
  void DialogToProtocol(int protocol) override { Get().Transfer().DialogToProtocol(protocol); }

private:
  SetupDialogServices services_;
  ConfigProcedure& cfg_;
  std::vector<std::function<void(SetupDialog&)>> onCreated_;
  std::unique_ptr<SetupDialog> dialog_;
};

}  // namespace tarvex
