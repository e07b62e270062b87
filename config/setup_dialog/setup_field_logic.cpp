#include "config/setup_dialog/setup_field_logic.h"

#include "core/parse_leading_number.h"
#include "core/screen_layout.h"

namespace tarvex {

namespace {

void Paint(Control& box, bool enabled) { box.SetBackColor(enabled ? DialogColour::White : DialogColour::LightGrey); }

void EnableAndPaint(Control& box, bool enabled) {
  box.SetEnabled(enabled);
  Paint(box, enabled);
}

bool ReadsAsZero(const std::string& text) { return ParseLeadingNumber(text) == 0; }

}  // namespace

SetupFieldLogic::SetupFieldLogic(SetupDialogForm& form, ConfigState& config, StartupState& startup,
                                 SetupHandoverState& handover, ConfigProcedureCalls& cfg, StatusGrid& grid)
    : form_(form), config_(config), startup_(startup), handover_(handover), cfg_(cfg), grid_(grid) {
  for (int i = 0; i < 7; ++i) {
    form_.cb[i].OnClick([this, i] { cb_Click(i); });
    form_.cb[i].OnGotFocus([this, i] { cb_GotFocus(i); });
  }
  form_.ckBidirectional.OnClick([this] { ckBidirectional_Click(); });
  form_.ckOPC.OnClick([this] { ckOPC_Click(); });
  form_.ckAsciiLogFile.OnClick([this] { ckAsciiLogFile_Click(); });
  form_.ckDataMap.OnClick([this] { ckDataMap_Click(); });
  form_.cmdCommands.OnClick([this] { cmdCommands_Click(); });
  form_.cmdOPC.OnClick([this] { cmdOPC_Click(); });
  form_.cmdDataMap.OnClick([this] { cmdDataMap_Click(); });
  for (int i = 0; i < 4; ++i) {
    form_.ck[i].OnGotFocus([this, i] { ck_GotFocus(i); });
    form_.ck[i].OnLostFocus([this, i] { ck_LostFocus(i); });
  }
  for (int i = 0; i < 10; ++i) {
    form_.ckCmd[i].OnGotFocus([this, i] { ckCmd_GotFocus(i); });
    form_.ckCmd[i].OnLostFocus([this, i] { ckCmd_LostFocus(i); });
  }
}

void SetupFieldLogic::cb_Click(int index) {
  switch (index) {
    case 0:
      ConnectionLayout();
      break;
    case 3:
      ProtocolChanged();
      break;
    case 4:
      OtherDriverBox();
      break;
    default:
      break;  // lists 1, 2, 5 and 6 are only read when the dialog is stored
  }
}

void SetupFieldLogic::cb_GotFocus(int index) {
  ListBox& list = form_.cb[index];
  if (list.ListIndex() == -1) list.SetListIndex(0);
}

void SetupFieldLogic::ConnectionLayout() {
  const int layout = form_.cb[0].ListIndex();
  if (layout < 0 || layout > 2) return;
  const bool serial = layout == 0;
  form_.ckEnableVZel.SetEnabled(layout == 1);
  for (int i = 0; i < 2; ++i) {
    form_.lCb1[i].SetEnabled(serial);
    form_.lCb2[i].SetEnabled(serial);
  }
  if (!serial) {
    form_.ltTxDelay[0].SetEnabled(false);
    form_.ltTxDelay[1].SetEnabled(false);
    form_.tTxDelay.SetEnabled(false);
  }
  form_.ckXONXOFF.SetEnabled(serial);
  form_.cb[1].SetEnabled(serial);
  form_.cb[2].SetEnabled(serial);
  Paint(form_.tTxDelay, serial);
  Paint(form_.cb[1], serial);
  Paint(form_.cb[2], serial);
  if (serial) {
    // In the serial layout the Tx Delay box follows Bi-Directional but stays white.
    const bool bidirectional = form_.ckBidirectional.Value() != 0;
    form_.tTxDelay.SetEnabled(bidirectional);
    form_.ltTxDelay[0].SetEnabled(bidirectional);
    form_.ltTxDelay[1].SetEnabled(bidirectional);
  }
  if (layout != 2) {
    if (ReadsAsZero(form_.tRefresh.Text())) form_.tRefresh.SetText("50");
    if (ReadsAsZero(form_.tTxDelay.Text())) form_.tTxDelay.SetText(serial ? "5" : "0");
  }
  for (int i = 1; i <= 4; ++i) {
    if (form_.cb[i].ListIndex() == -1) form_.cb[i].SetListIndex(0);
  }
}

bool SetupFieldLogic::ProtocolLocked() const {
  return !startup_.EditFixedProtocols &&
         config_.Channels[handover_.SetupChannel].ChannelProtocol <= startup_.Tables.LastFixedProtocol;
}

void SetupFieldLogic::ProtocolChanged() {
  // A hidden dialog is being filled by the polling engine or the start-up
  // window (their port recovery runs operation 1): the selection it sets is not
  // the user's choice and must not become the channel's protocol.
  if (!handover_.SetupLoading && form_.frmTarvexStdSetup.Visible()) {
    ChannelSetup& channel = config_.Channels[handover_.SetupChannel];
    channel.ChannelProtocol = form_.cb[3].ListIndex();
    cfg_.CfgProc(10, channel.ChannelProtocol);
    cfg_.CfgProc(13, config_.Channels[handover_.SetupChannel].ChannelProtocol);
  }
  const bool locked = ProtocolLocked();
  FixedFormatMode(locked);
  form_.lWarning[0].SetVisible(!locked);
  form_.lWarning[1].SetVisible(!locked);
  if (form_.cb[3].ListIndex() == 0) {
    DatabaseLayout();
  } else {
    NormalLayout();
  }
}

void SetupFieldLogic::DatabaseLayout() {
  form_.lCb4[0].SetEnabled(true);
  form_.lCb4[1].SetEnabled(true);
  EnableAndPaint(form_.cb[4], true);
  form_.fDataField.SetVisible(false);
  form_.fStatus.SetVisible(false);
  form_.ckDDEServer.SetEnabled(false);
  form_.ckOPC.SetEnabled(false);
  form_.ckOPC.SetValue(0);
  form_.ckBidirectional.SetValue(1);
  form_.ckBidirectional.SetEnabled(false);
  form_.ckPollForData.SetEnabled(false);
  form_.ckPollForData.SetValue(0);
  form_.cmdCommands.SetEnabled(false);
  ClosePanel(PopOutPanel::Commands);
  form_.fMisc.SetTop(1848);
  form_.ckInteractiveDBErrors.SetEnabled(true);
}

void SetupFieldLogic::NormalLayout() {
  form_.lCb4[0].SetEnabled(false);
  form_.lCb4[1].SetEnabled(false);
  EnableAndPaint(form_.cb[4], false);
  form_.fDataField.SetVisible(true);
  form_.fStatus.SetVisible(true);
  form_.ckDDEServer.SetEnabled(true);
  form_.ckOPC.SetEnabled(true);
  // Takes back the check that the database layout forced.
  if (!form_.ckBidirectional.Enabled() && form_.ckBidirectional.Value() != 0) form_.ckBidirectional.SetValue(0);
  form_.ckBidirectional.SetEnabled(true);
  form_.fMisc.SetTop(6360);
  form_.ckInteractiveDBErrors.SetEnabled(false);
}

void SetupFieldLogic::OtherDriverBox() {
  const int driver = form_.cb[4].ListIndex();
  if (driver < 0) return;
  EnableAndPaint(form_.tOtherDriver, driver == 4);
}

void SetupFieldLogic::ckBidirectional_Click() {
  const bool on = form_.ckBidirectional.Value() != 0;
  form_.cmdCommands.SetEnabled(on);
  form_.ckPollForData.SetEnabled(on);
  if (!on) ClosePanel(PopOutPanel::Commands);
  form_.tTxDelay.SetEnabled(on);
  form_.ltTxDelay[0].SetEnabled(on);
  form_.ltTxDelay[1].SetEnabled(on);
}

void SetupFieldLogic::ckOPC_Click() {
  const bool on = form_.ckOPC.Value() != 0;
  if (!on) ClosePanel(PopOutPanel::OPC);
  form_.cmdOPC.SetEnabled(on);
}

void SetupFieldLogic::ckAsciiLogFile_Click() {
  EnableAndPaint(form_.tAsciiLogFileName, form_.ckAsciiLogFile.Value() != 0);
}

void SetupFieldLogic::ckDataMap_Click() { form_.cmdDataMap.SetEnabled(form_.ckDataMap.Value() != 0); }

void SetupFieldLogic::SetCoveredFramesEnabled(bool enabled) {
  form_.fDataField.SetEnabled(enabled);
  form_.fStatus.SetEnabled(enabled);
  form_.fMisc.SetEnabled(enabled);
}

// What tells the two pop-out panels apart.
struct SetupFieldLogic::PanelParts {
  Frame& frame;
  Button& button;
  const char* openCaption;
  const char* openToolTip;
  const char* closedCaption;
  const char* closedToolTip;
  int leftAt1024, leftAt800;
  bool enablesItself;  // the commands panel is enabled while open, disabled while closed
};

SetupFieldLogic::PanelParts SetupFieldLogic::Parts(PopOutPanel panel) {
  if (panel == PopOutPanel::Commands) {
    return {form_.fCommand, form_.cmdCommands, "Commands <<", "Hide Device Commands...", "Commands >>",
            "Display / Edit Device Commands...", 450, 450, true};
  }
  return {form_.fOPC, form_.cmdOPC, "OPC Setup <<", "Hide OPC Setup...", "OPC Setup >>",
          "Display / Edit OPC Setup...", 648, 678, false};
}

void SetupFieldLogic::ClosePanel(PopOutPanel panel) {
  const PanelParts parts = Parts(panel);
  const bool wasOpen = parts.frame.Visible();
  parts.button.SetCaption(parts.closedCaption);
  parts.button.SetToolTip(parts.closedToolTip);
  parts.frame.SetVisible(false);
  if (parts.enablesItself) parts.frame.SetEnabled(false);
  parts.frame.SetLeft(ParkedPanelLeft);
  if (wasOpen) SetCoveredFramesEnabled(true);
}

void SetupFieldLogic::TogglePanel(PopOutPanel panel) {
  const PanelParts parts = Parts(panel);
  if (parts.frame.Visible()) {
    ClosePanel(panel);
    return;
  }
  // The other panel closes through its own button's action first.
  if (panel == PopOutPanel::Commands && form_.fOPC.Visible()) cmdOPC_Click();
  if (panel == PopOutPanel::OPC && form_.fCommand.Visible()) cmdCommands_Click();
  if (form_.fDataMap.Visible()) cmdDataMap_Click();
  parts.button.SetCaption(parts.openCaption);
  parts.button.SetToolTip(parts.openToolTip);
  parts.frame.SetLeft(LayoutFor(startup_.ScreenWidth) == ScreenLayout::Width1024 ? parts.leftAt1024
                                                                                  : parts.leftAt800);
  parts.frame.SetVisible(true);
  if (parts.enablesItself) parts.frame.SetEnabled(true);
  SetCoveredFramesEnabled(false);
}

void SetupFieldLogic::cmdCommands_Click() { TogglePanel(PopOutPanel::Commands); }

void SetupFieldLogic::cmdOPC_Click() { TogglePanel(PopOutPanel::OPC); }

void SetupFieldLogic::FixedFormatMode(bool fixed) {
  const bool editable = !fixed;
  for (int i = 0; i <= 9; ++i) {
    form_.t[i].SetEnabled(editable);
    form_.tCmd[i].SetEnabled(editable);
    form_.ckCmd[i].SetEnabled(editable);
  }
  form_.tCmdStart.SetEnabled(editable);
  form_.tCmdEnd.SetEnabled(editable);
  for (int i = 0; i < 4; ++i) form_.ck[i].SetEnabled(editable);
  grid_.SetEnabled(editable);
  grid_.SetForeColor(fixed ? DialogColour::Grey : DialogColour::Black);
}

void SetupFieldLogic::ck_GotFocus(int index) {
  for (int i = 0; i < 4; ++i) form_.sRect[i].SetVisible(i == index);
}

void SetupFieldLogic::ck_LostFocus(int index) { form_.sRect[index].SetVisible(false); }

void SetupFieldLogic::ckCmd_GotFocus(int index) {
  for (int i = 0; i < 10; ++i) form_.sCmdRect[i].SetVisible(i == index);
}

void SetupFieldLogic::ckCmd_LostFocus(int index) { form_.sCmdRect[index].SetVisible(false); }

}  // namespace tarvex
