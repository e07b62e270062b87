#pragma once
// The setup dialog's reactive field logic: what a change of a list selection or
// a check box does to the rest of the dialog, the pop-out panels, the protocol
// lock, and the focus markers.
//
// The handlers are connected to the controls' click events, so they run nested
// inside whatever statement changed the value, the transfer operations
// included. The only guard is SetupLoading (and a hidden dialog, see
// ProtocolChanged): while the main window fills the dialog the Device Protocol
// list does not store or reload the protocol.
//
// Every way a pop-out panel closes (its own button, the check box that enables
// it, the database layout, the dialog's exit) goes through ClosePanel, so the
// frames it disabled are enabled again and its button reads ">>" again.
#include "config/config_state.h"
#include "config/config_procedure_calls.h"
#include "config/setup_dialog/setup_dialog_form.h"
#include "config/setup_dialog/setup_handover_state.h"
#include "config/setup_dialog/status_grid.h"
#include "core/startup_state.h"

namespace tarvex {

enum class PopOutPanel { Commands, OPC };

class SetupFieldLogic {
public:
  SetupFieldLogic(SetupDialogForm& form, ConfigState& config, StartupState& startup, SetupHandoverState& handover,
                  ConfigProcedureCalls& cfg, StatusGrid& grid);

  // Locks (True) or unlocks the protocol-definition controls and the status
  // grid.
  void FixedFormatMode(bool fixed);
  // Hides a panel, parks it off the dialog and sets its button back to
  // ">>"; when it was open, the frames it covered are enabled again.
  void ClosePanel(PopOutPanel panel);

  // The handlers, public so that tests and the widgets can run them the way the
  // controls do.
  void cb_Click(int index);
  void cb_GotFocus(int index);
  void ckBidirectional_Click();
  void ckOPC_Click();
  void ckAsciiLogFile_Click();
  void ckDataMap_Click();
  void cmdCommands_Click();
  void cmdOPC_Click();
  void cmdDataMap_Click() {}  // the data-map panel is never shown
  void ck_GotFocus(int index);
  void ck_LostFocus(int index);
  void ckCmd_GotFocus(int index);
  void ckCmd_LostFocus(int index);

private:
  void ConnectionLayout();
  void ProtocolChanged();
  void DatabaseLayout();
  void NormalLayout();
  void OtherDriverBox();
  void SetCoveredFramesEnabled(bool enabled);
  bool ProtocolLocked() const;
  struct PanelParts;
  PanelParts Parts(PopOutPanel panel);
  // A panel button's action: opens its panel (closing the other first) or
  // closes it.
  void TogglePanel(PopOutPanel panel);

  SetupDialogForm& form_;
  ConfigState& config_;
  StartupState& startup_;
  SetupHandoverState& handover_;
  ConfigProcedureCalls& cfg_;
  StatusGrid& grid_;
};

}  // namespace tarvex
