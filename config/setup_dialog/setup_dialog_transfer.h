#pragma once
// Operations 1, 2, 13 and 14 of the configuration procedure: a channel's
// settings and a protocol's definition to the setup dialog's controls and back.
//
// The order of the fields is part of the behaviour: setting a list or a check
// box runs its click logic at once, so operation 1 sets the lists, then the
// check boxes, then the texts, and the stored texts replace whatever defaults
// the Connect Using logic wrote into Refresh and Tx Delay. An error ends the
// operation at the field where it occurs; the fields before it keep their new
// values.
#include "config/config_state.h"
#include "config/dialog_transfer.h"
#include "config/setup_dialog/setup_dialog_form.h"
#include "config/setup_dialog/status_grid.h"
#include "core/startup_state.h"

namespace tarvex {

class SetupDialogTransfer final : public DialogTransfer {
public:
  SetupDialogTransfer(SetupDialogForm& form, ConfigState& config, StartupState& startup, StatusGrid& grid)
      : form_(form), config_(config), startup_(startup), grid_(grid) {}

  void ChannelToDialog(int channel) override;
  void DialogToChannel(int channel) override;
  void ProtocolToDialog(int protocol) override;
  void DialogToProtocol(int protocol) override;

private:
  SetupDialogForm& form_;
  ConfigState& config_;
  StartupState& startup_;
  StatusGrid& grid_;
};

}  // namespace tarvex
