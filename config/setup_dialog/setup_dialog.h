#pragma once
// The setup dialog frmTarvexStdSetup as a whole: one instance for the run,
// opened for one channel by the main window's Setup button, closed by OK or
// Cancel through one exit that hands the channel back to the polling engine.
//
// OK and Cancel run their configuration steps in a fixed order. A failing step
// is caught, logged (kind 1) and shown: after OK the dialog stays open so that
// the user can retry or cancel; Cancel always goes on to the exit, so the main
// window is never left disabled. Before OK writes anything it checks the number
// boxes it is about to store; a bad one is shown and nothing is written.
#include <optional>
#include <string>

#include "config/config_procedure_calls.h"
#include "config/config_state.h"
#include "config/scan_handover.h"
#include "config/config_procedure_calls.h"
#include "config/setup_dialog/main_window_link.h"
#include "config/setup_dialog/setup_dialog_form.h"
#include "config/setup_dialog/setup_dialog_transfer.h"
#include "config/setup_dialog/setup_field_logic.h"
#include "config/setup_dialog/setup_handover_state.h"
#include "config/setup_dialog/status_grid.h"
#include "core/log_writer.h"
#include "core/startup_state.h"
#include "platform/message_box.h"

namespace tarvex {

struct SetupDialogServices {
  ConfigState& config;
  StartupState& startup;
  SetupHandoverState& handover;
  LogWriter& log;
  MessageBox& messageBox;
  MainWindowLink& mainWindow;
  ScanHandover scan;
};

inline constexpr const char* SetupDialogTitle = "Tarvex Manager Setup";

class SetupDialog {
public:
  // cfg runs the configuration procedure; its operations 1, 2, 13 and 14 are
  // this dialog's Transfer(). The status grid defaults to the stand-in state
  // until the status-table editor supplies its list (SetStatusGrid).
  SetupDialog(SetupDialogServices services, ConfigProcedureCalls& cfg);

  SetupDialogForm& Form() noexcept { return form_; }
  SetupFieldLogic& Logic() noexcept { return logic_; }
  DialogTransfer& Transfer() noexcept { return transfer_; }
  StatusGrid& Grid() noexcept { return *grid_; }
  // Replaces the grid the dialog talks to (the status-table editor's list).
  void SetStatusGrid(StatusGrid& grid);

  // The main window's Setup button for channel ch (cmdSetup_Click): takes the
  // channel out of polling, fills the dialog and shows it. A step that fails
  // once the main window is disabled runs the exit (main window enabled, the
  // channel handed back) and then reaches the caller.
  void OpenForChannel(int channel);
  // The activation at every showing.
  void Form_Activate();
  void cmdOk_Click();
  void cmdCancel_Click();
  // The window's frame asked to close: Cancel while Cancel can be pressed;
  // ignored while a status row is open (Cancel is disabled then).
  void FrameCloseRequested();

  bool IsOpen() const noexcept { return form_.frmTarvexStdSetup.Visible(); }

private:
  void ExitForm();
  void Cfg(int op, int index) { cfg_.CfgProc(op, index); }
  int EditedProtocol() const { return services_.config.Channels[services_.handover.SetupChannel].ChannelProtocol; }
  bool OkStoresProtocol() const;
  // The first number box OK would store that cannot be stored, as a text for the
  // user; nothing when all can.
  std::optional<std::string> NumericBoxProblem(bool withProtocol) const;
  void ReportFailure(const char* step, const RunTimeError& error);

  SetupDialogServices services_;
  ConfigProcedureCalls& cfg_;
  SetupDialogForm form_;
  StatusGridState gridState_;
  // Each forwards to *grid_, so the editor's list can take over later.
  class GridForwarder final : public StatusGrid {
  public:
    explicit GridForwarder(StatusGrid*& target) : target_(target) {}
    void SetArray(DataArray& table) override { target_->SetArray(table); }
    void ReloadData() override { target_->ReloadData(); }
    void Refresh() override { target_->Refresh(); }
    void SetEnabled(bool enabled) override { target_->SetEnabled(enabled); }
    void SetForeColor(OleColour colour) override { target_->SetForeColor(colour); }

  private:
    StatusGrid*& target_;
  };
  StatusGrid* grid_;
  GridForwarder gridForwarder_;
  SetupFieldLogic logic_;
  SetupDialogTransfer transfer_;
};

}  // namespace tarvex
