#include "config/setup_dialog/setup_dialog.h"

#include "config/setup_dialog/numeric_box.h"

namespace tarvex {

SetupDialog::SetupDialog(SetupDialogServices services, ConfigProcedureCalls& cfg)
    : services_(services),
      cfg_(cfg),
      grid_(&gridState_),
      gridForwarder_(grid_),
      logic_(form_, services.config, services.startup, services.handover, cfg, gridForwarder_),
      transfer_(form_, services.config, services.startup, gridForwarder_) {
  form_.cmdOk.OnClick([this] { cmdOk_Click(); });
  form_.cmdCancel.OnClick([this] { cmdCancel_Click(); });
}

void SetupDialog::SetStatusGrid(StatusGrid& grid) { grid_ = &grid; }

void SetupDialog::OpenForChannel(int channel) {
  SetupHandoverState& handover = services_.handover;
  MainWindowLink& main = services_.mainWindow;
  services_.scan.ReinitChannel = -1;
  main.StopGridDrawing();
  main.CloseTerminalRegistration();
  main.SetMainWindowPointer(MousePointer::Hourglass);
  form_.EnsureLoaded();
  form_.frmTarvexStdSetup.SetMousePointer(MousePointer::Default);
  main.SetMainWindowEnabled(false);
  try {
    main.CloseChannelPort(channel);
    services_.log.WriteLog(LogKind::Activity, "Tarvex Manager Setup Activated");
    handover.SetupChannel = channel;
    services_.scan.ChannelActive[channel] = false;
    if (services_.config.Channels[channel].OPCEnabled) main.RemoveOPCGroup(channel);
    const std::string caption = "SCALE " + std::to_string(channel + 1);
    form_.lDEVICE[0].SetCaption(caption);
    form_.lDEVICE[1].SetCaption(caption);
    Cfg(4, handover.SetupChannel);
    handover.SetupLoading = true;
    Cfg(1, handover.SetupChannel);
    Cfg(10, EditedProtocol());
    Cfg(13, EditedProtocol());
  } catch (const RunTimeError&) {
    // The error goes to the Setup button's handler. The dialog never opened, so
    // its exit hands the channel back and enables the main window again, and
    // the protocol list must not stay deaf for the next opening.
    handover.SetupLoading = false;
    ExitForm();
    throw;
  }
  handover.SetupLoading = false;
  form_.frmTarvexStdSetup.SetVisible(true);
  Form_Activate();
}

void SetupDialog::Form_Activate() { form_.lDebugMode.SetVisible(services_.startup.DebugMode); }

bool SetupDialog::OkStoresProtocol() const {
  return EditedProtocol() > services_.startup.Tables.LastFixedProtocol || services_.startup.EditFixedProtocols;
}

std::optional<std::string> SetupDialog::NumericBoxProblem(bool withProtocol) const {
  try {
    for (const TextBox* box : {&form_.tTxDelay, &form_.tRefresh, &form_.tTimeout}) {
      LeadingNumberBoxValue(box->Text(), box->Name());
    }
    if (withProtocol) {
      for (int i = 0; i <= 7; ++i) WholeNumberBoxValue(form_.t[i].Text(), form_.t[i].Name());
      for (const TextBox* box :
           std::initializer_list<const TextBox*>{&form_.t[8], &form_.t[9], &form_.t[10], &form_.tCmdStart, &form_.tCmdEnd}) {
        LeadingNumberBoxValue(box->Text(), box->Name());
      }
    }
  } catch (const RunTimeError& error) {
    return error.description();
  }
  return std::nullopt;
}

void SetupDialog::ReportFailure(const char* step, const RunTimeError& error) {
  const std::string text =
      std::string("Setup ") + step + " Error " + std::to_string(error.number()) + ": " + error.description();
  try {
    services_.log.WriteLog(LogKind::Error, text);
  } catch (const RunTimeError&) {
    // The log itself failed; the box below still tells the user.
  }
  services_.messageBox.Open(text, MsgBoxStyle::Critical, SetupDialogTitle);
}

void SetupDialog::cmdOk_Click() {
  const int channel = services_.handover.SetupChannel;
  if (const auto problem = NumericBoxProblem(OkStoresProtocol())) {
    services_.messageBox.Open("Nothing was saved: " + *problem, MsgBoxStyle::Exclamation, SetupDialogTitle);
    return;
  }
  try {
    Cfg(2, channel);
    Cfg(5, channel);
    if (OkStoresProtocol()) {
      Cfg(14, EditedProtocol());
      Cfg(11, EditedProtocol());
      Cfg(10, EditedProtocol());
      Cfg(13, EditedProtocol());
    }
    Grid().SetArray(services_.startup.StatusTable());
    Grid().Refresh();
  } catch (const RunTimeError& error) {
    ReportFailure("OK", error);
    return;
  }
  ExitForm();
}

void SetupDialog::cmdCancel_Click() {
  const int channel = services_.handover.SetupChannel;
  try {
    Cfg(4, channel);
    Cfg(1, channel);
    Cfg(10, EditedProtocol());
    Cfg(13, EditedProtocol());
    Cfg(1, channel);
    Grid().SetArray(services_.startup.StatusTable());
    Grid().Refresh();
  } catch (const RunTimeError& error) {
    ReportFailure("Cancel", error);
  }
  ExitForm();
}

void SetupDialog::FrameCloseRequested() {
  if (IsOpen() && form_.cmdCancel.Enabled()) cmdCancel_Click();
}

void SetupDialog::ExitForm() {
  MainWindowLink& main = services_.mainWindow;
  form_.frmTarvexStdSetup.SetMousePointer(MousePointer::Hourglass);
  try {
    services_.log.WriteLog(LogKind::Activity, "Tarvex Std. Manager Setup Deactivated");
  } catch (const RunTimeError& error) {
    // A log that cannot be written must not keep the main window disabled.
    services_.messageBox.Open(error.description(), MsgBoxStyle::Critical, SetupDialogTitle);
  }
  main.EnableScanTimer();
  main.SetMainWindowPointer(MousePointer::Default);
  main.SetMainWindowEnabled(true);
  Grid().Refresh();
  services_.scan.ReinitChannel = static_cast<int16_t>(services_.handover.SetupChannel);
  form_.frmTarvexStdSetup.SetVisible(false);
  logic_.ClosePanel(PopOutPanel::OPC);
  logic_.ClosePanel(PopOutPanel::Commands);
}

}  // namespace tarvex
