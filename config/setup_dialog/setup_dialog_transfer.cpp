#include "config/setup_dialog/setup_dialog_transfer.h"

#include "config/setup_dialog/numeric_box.h"

namespace tarvex {

namespace {

// A stored Long becomes a 16-bit list index; beyond that range it overflows.
int16_t ListIndexOf(int32_t value, const ListBox& list) {
  if (value < -32768 || value > 32767) {
    throw RunTimeError(ErrorNumber::Overflow, "Overflow: " + list.Name() + " cannot show " + std::to_string(value));
  }
  return static_cast<int16_t>(value);
}

void Show(ListBox& list, int32_t value) { list.SetListIndex(ListIndexOf(value, list)); }
void Show(CheckBox& box, bool value) { box.SetValue(value ? 1 : 0); }
bool Ticked(const CheckBox& box) { return box.Value() != 0; }

int32_t LeadingNumber(const TextBox& box) { return LeadingNumberBoxValue(box.Text(), box.Name()); }
int32_t WholeNumber(const TextBox& box) { return WholeNumberBoxValue(box.Text(), box.Name()); }

}  // namespace

void SetupDialogTransfer::ChannelToDialog(int channel) {
  ChannelSetup& c = config_.Channels[channel];
  form_.EnsureLoaded();
  Show(form_.cb[0], c.ConnectUsing);
  Show(form_.cb[1], c.ComPortIndex);
  Show(form_.cb[2], c.PortSettingsIndex);
  Show(form_.cb[3], c.ChannelProtocol);
  Show(form_.cb[4], c.DBDriver);
  Show(form_.cb[5], c.PrimaryUnits);
  Show(form_.cb[6], c.DecimalPlaces);

  Show(form_.ckXONXOFF, c.XonXoff);
  Show(form_.ckEnableDevice, c.DeviceEnabled);
  Show(form_.ckDDEServer, c.DDEServerEnabled);
  Show(form_.ckOPC, c.OPCEnabled);
  Show(form_.ckBidirectional, c.Bidirectional);
  Show(form_.ckPollForData, c.PollForData);
  Show(form_.ckAsciiLogFile, c.AsciiLogEnabled);
  Show(form_.ckUseLog, startup_.ChannelLogEnabled[static_cast<size_t>(channel)]);
  Show(form_.ckInteractiveDBErrors, c.InteractiveDBErrors);
  Show(form_.ckEnableVZel, c.VirtualTerminalEnabled);
  Show(form_.ckDataMap, c.DataMapEnabled);

  form_.tDeviceDesc.SetText(c.DeviceDescs);
  form_.tDeviceID.SetText(c.DeviceID);
  form_.tTxDelay.SetText(std::to_string(c.TxDelay));
  form_.tRefresh.SetText(std::to_string(c.RefreshInterval));
  form_.tTimeout.SetText(std::to_string(c.Timeout));
  form_.tAsciiLogFileName.SetText(c.AsciiLogFileName);
  form_.tOtherDriver.SetText(c.OtherDriver);
  form_.tNodeName.SetText(c.OPCNodeName);
  form_.tServerName.SetText(c.OPCServerName);
  for (int k = 0; k < 7; ++k) form_.tOpcTag[k].SetText(c.OPCTags[static_cast<size_t>(k)]);
}

void SetupDialogTransfer::DialogToChannel(int channel) {
  ChannelSetup& c = config_.Channels[channel];
  form_.EnsureLoaded();
  for (int i = 0; i <= 4; ++i) {
    if (form_.cb[i].ListIndex() == -1) form_.cb[i].SetListIndex(0);
  }
  c.ConnectUsing = form_.cb[0].ListIndex();
  c.ComPortIndex = form_.cb[1].ListIndex();
  c.PortSettingsIndex = form_.cb[2].ListIndex();
  c.ChannelProtocol = form_.cb[3].ListIndex();
  c.DBDriver = form_.cb[4].ListIndex();
  c.PrimaryUnits = form_.cb[5].ListIndex();
  c.DecimalPlaces = form_.cb[6].ListIndex();

  c.XonXoff = Ticked(form_.ckXONXOFF);
  c.DeviceEnabled = Ticked(form_.ckEnableDevice);
  c.DDEServerEnabled = Ticked(form_.ckDDEServer);
  c.OPCEnabled = Ticked(form_.ckOPC);
  c.Bidirectional = Ticked(form_.ckBidirectional);
  c.PollForData = Ticked(form_.ckPollForData);
  c.AsciiLogEnabled = Ticked(form_.ckAsciiLogFile);
  startup_.ChannelLogEnabled[static_cast<size_t>(channel)] = Ticked(form_.ckUseLog);
  c.InteractiveDBErrors = Ticked(form_.ckInteractiveDBErrors);
  c.VirtualTerminalEnabled = Ticked(form_.ckEnableVZel);
  c.DataMapEnabled = Ticked(form_.ckDataMap);

  c.DeviceDescs = form_.tDeviceDesc.Text();
  c.DeviceID = form_.tDeviceID.Text();
  c.TxDelay = LeadingNumber(form_.tTxDelay);
  c.RefreshInterval = LeadingNumber(form_.tRefresh);
  c.Timeout = LeadingNumber(form_.tTimeout);
  c.AsciiLogFileName = form_.tAsciiLogFileName.Text();
  c.OtherDriver = form_.tOtherDriver.Text();
  c.OPCNodeName = form_.tNodeName.Text();
  c.OPCServerName = form_.tServerName.Text();
  for (int k = 0; k < 7; ++k) c.OPCTags[static_cast<size_t>(k)] = form_.tOpcTag[k].Text();
}

void SetupDialogTransfer::ProtocolToDialog(int protocol) {
  const ProtocolDefinition& d = config_.Protocols[protocol];
  form_.EnsureLoaded();
  form_.t[0].SetText(PositiveNumberText(d.GrossStart));
  form_.t[1].SetText(PositiveNumberText(d.GrossLength));
  Show(form_.ck[0], d.GrossEnabled);
  form_.t[2].SetText(PositiveNumberText(d.TareStart));
  form_.t[3].SetText(PositiveNumberText(d.TareLength));
  Show(form_.ck[1], d.TareEnabled);
  form_.t[4].SetText(PositiveNumberText(d.NetStart));
  form_.t[5].SetText(PositiveNumberText(d.NetLength));
  Show(form_.ck[2], d.NetEnabled);
  form_.t[6].SetText(PositiveNumberText(d.IDStart));
  form_.t[7].SetText(PositiveNumberText(d.IDLength));
  Show(form_.ck[3], d.IDEnabled);
  form_.t[8].SetText(PositiveNumberText(d.StreamStartChar));
  form_.t[9].SetText(PositiveNumberText(d.StreamEndChar));
  form_.t[10].SetText(PositiveNumberText(d.MaxStreamLength));

  for (int i = 0; i < CommandsPerProtocol; ++i) {
    const CommandEntry& command = d.Commands[static_cast<size_t>(i)];
    Show(form_.ckCmd[i], command.CommandEnabled);
    form_.tCmd[i].SetText(command.ProtocolCommands[0]);
    form_.tCmdName[i].SetText(command.ProtocolCommands[1]);
    form_.tCmdValue[i].SetText(command.ProtocolCommands[2]);
  }
  form_.tCmdStart.SetText(PositiveNumberText(d.CmdStartChar));
  form_.tCmdEnd.SetText(PositiveNumberText(d.CmdEndChar));

  DataArray& table = startup_.StatusTable();
  for (int r = 0; r < StatusFileRows; ++r) {
    for (int c = 0; c < StatusFileColumns; ++c) {
      table.SetValue(r, c, d.StatusData[static_cast<size_t>(r)][static_cast<size_t>(c)]);
    }
  }
  grid_.SetArray(table);
  grid_.ReloadData();
}

void SetupDialogTransfer::DialogToProtocol(int protocol) {
  ProtocolDefinition& d = config_.Protocols[protocol];
  form_.EnsureLoaded();
  d.GrossStart = WholeNumber(form_.t[0]);
  d.GrossLength = WholeNumber(form_.t[1]);
  d.GrossEnabled = Ticked(form_.ck[0]);
  d.TareStart = WholeNumber(form_.t[2]);
  d.TareLength = WholeNumber(form_.t[3]);
  d.TareEnabled = Ticked(form_.ck[1]);
  d.NetStart = WholeNumber(form_.t[4]);
  d.NetLength = WholeNumber(form_.t[5]);
  d.NetEnabled = Ticked(form_.ck[2]);
  d.IDStart = WholeNumber(form_.t[6]);
  d.IDLength = WholeNumber(form_.t[7]);
  d.IDEnabled = Ticked(form_.ck[3]);

  d.StreamStartChar = LeadingNumber(form_.t[8]);
  d.StreamEndChar = LeadingNumber(form_.t[9]);
  d.MaxStreamLength = LeadingNumber(form_.t[10]);
  d.CmdStartChar = LeadingNumber(form_.tCmdStart);
  d.CmdEndChar = LeadingNumber(form_.tCmdEnd);

  for (int i = 0; i < CommandsPerProtocol; ++i) {
    CommandEntry& command = d.Commands[static_cast<size_t>(i)];
    command.CommandEnabled = Ticked(form_.ckCmd[i]);
    command.ProtocolCommands[0] = form_.tCmd[i].Text();
    command.ProtocolCommands[1] = form_.tCmdName[i].Text();
    command.ProtocolCommands[2] = form_.tCmdValue[i].Text();
  }

  for (int r = 0; r < StatusFileRows; ++r) {
    for (int c = 0; c < StatusFileColumns; ++c) {
      d.StatusData[static_cast<size_t>(r)][static_cast<size_t>(c)] = DataCell::Text("");
    }
  }
  const DataArray& table = startup_.StatusTable();
  for (int r = 0; r < StatusFileRows; ++r) {
    for (int c = 0; c < StatusFileColumns; ++c) {
      d.StatusData[static_cast<size_t>(r)][static_cast<size_t>(c)] = table.Value(r, c);
    }
  }
}

}  // namespace tarvex
