#include "config/setup_dialog/setup_dialog_form.h"

#include "core/fixed_tables.h"

namespace tarvex {

namespace {

void Grey(TextBox& box) {
  box.SetEnabled(false);
  box.SetBackColor(DialogColour::LightGrey);
}

void Grey(ListBox& list) {
  list.SetEnabled(false);
  list.SetBackColor(DialogColour::LightGrey);
}

void Caption(ControlArray<Label, 2>& pair, const char* first, const char* second) {
  pair[0].SetCaption(first);
  pair[1].SetCaption(second);
}

}  // namespace

std::string DeviceProtocolName(int protocol) {
  static const char* const builtIn[] = {"ZelODBC",
                                        "VO Short Form Continuous Format",
                                        "VO Standard Continuous Format",
                                        "VO QXL Host Mode",
                                        "VO Q380 Format",
                                        "VO Q270 Short Form Cont. Format",
                                        "VO Q270 Standard Cont. Format",
                                        "VO RK75 ContinuousFormat",
                                        "VO RK Single Line Format",
                                        "VO Quenby Format"};
  CheckSubscript(protocol, 0, 41, "Device Protocol list");
  if (protocol <= 9) return builtIn[protocol];
  return "VOCustom Format " + std::to_string(protocol - 9);
}

SetupDialogForm::SetupDialogForm() {
  frmTarvexStdSetup.SetVisible(false);
  frmTarvexStdSetup.SetBackColor(DialogColour::LightGrey);

  // The fixed list entries of the dialog's design.
  for (const char* entry : {"PC Serial Port", "ArcNet (Zelvar)", "Other..."}) cb[0].AddItem(entry);
  for (int port = 1; port <= 68; ++port) cb[1].AddItem("COM" + std::to_string(port));
  FixedTables tables;
  InitCommSettings(tables);
  InitWeightUnits(tables);
  for (int k = 0; k < 54; ++k) cb[2].AddItem(tables.CommSettings(k));
  for (const char* entry : {"Native Access Jet", "Access ODBC", "Oracle ODBC", "SQL Server", "Other ODBC..."}) {
    cb[4].AddItem(entry);
  }
  for (int k = 0; k < 13; ++k) cb[5].AddItem(tables.WeightUnits(k));
  for (const char* entry : {"Disabled ", "XXXXXX", "XXXXX.X", "XXXX.XX", "XXX.XXX", "XX.XXXX", "X.XXXXX"}) {
    cb[6].AddItem(entry);
  }

  Caption(lCb0, "Connect", "Using:");
  Caption(lCb1, "PC", "Port:");
  Caption(lCb2, "Port", "Setup:");
  Caption(lCb3, "Device", "Protocol:");
  Caption(lCb4, "Database", "Driver:");
  Caption(ltTxDelay, "( mS )", "Tx Delay:");

  ckXONXOFF.SetCaption("Use XON/XOFF");
  ckEnableDevice.SetCaption("Enable Device");
  ckDDEServer.SetCaption("DDE Server");
  ckOPC.SetCaption("OPC Interface");
  ckBidirectional.SetCaption("Bi-Directional ");
  ckPollForData.SetCaption("Poll For Data");
  ckAsciiLogFile.SetCaption("ASCII Log File");
  ckUseLog.SetCaption("Use Log");
  ckInteractiveDBErrors.SetCaption("  Allow Interactive SQL Error Messaging While Maximized");
  ckEnableVZel.SetCaption("Enable Virtual Zel");
  ckDataMap.SetCaption("Enable DataMap");

  // Disabled and grey as laid out.
  Grey(cb[4]);
  Grey(tOtherDriver);
  Grey(tTxDelay);
  Grey(tAsciiLogFileName);
  lCb4[0].SetEnabled(false);
  lCb4[1].SetEnabled(false);
  ltTxDelay[0].SetEnabled(false);
  ltTxDelay[1].SetEnabled(false);
  ckPollForData.SetEnabled(false);

  fConnection.SetCaption("Connection Setup ");
  fConnection.Move(72, 60, 10104, 1764);
  fCommand.SetCaption(" Device Protocol Bidirectional Command Setup ");
  fCommand.Move(ParkedPanelLeft, 2820, 9564, 4956);
  fCommand.SetVisible(false);
  fOPC.SetCaption(" OPC Setup ");
  fOPC.Move(ParkedPanelLeft, 1872, 9276, 5892);
  fOPC.SetVisible(false);
  fDataMap.SetCaption(" DataMap Option Setup ");
  fDataMap.Move(ParkedPanelLeft, 2784, 9552, 4956);
  fDataMap.SetVisible(false);
  fDataField.SetCaption(" Device Protocol Data Field Setup ");
  fDataField.Move(672, 3000, 2988, 4272);
  fStatus.SetCaption("Device Protocol Status Data Setup ");
  fStatus.Move(3912, 3000, 6012, 3264);
  fMisc.SetCaption(" &Misc. Features ");
  fMisc.Move(3924, 6432, 5208, 852);

  cmdOk.SetCaption("&OK");
  cmdOk.Move(10332, 1200, 1224, 408);
  cmdCancel.SetCaption("&Cancel");
  cmdCancel.Move(10332, 1725, 1224, 408);
  cmdCommands.SetCaption("Commands >>");
  cmdCommands.SetToolTip("Define/Edit Device Commands...");
  cmdCommands.Move(10332, 3870, 1224, 408);
  cmdOPC.SetCaption("OPC Setup >>");
  cmdOPC.SetToolTip("Define/Edit OPC Server Tag Links...");
  cmdOPC.Move(10332, 4395, 1224, 408);
  cmdDataMap.SetCaption("DataMap >>");
  cmdDataMap.SetToolTip("Define/Edit OPC Server Tag Links...");
  cmdDataMap.Move(10332, 4920, 1224, 408);
  for (Button* button : {&cmdCommands, &cmdOPC, &cmdDataMap}) button->SetEnabled(false);

  static const int rowTops[] = {816, 1128, 1428, 1728};
  for (int i = 0; i < 4; ++i) {
    sRect[i].Move(2472, rowTops[i], 252, 252);
    sRect[i].SetVisible(false);
  }
  static const int commandTops[] = {960, 1272, 1560, 1860, 2160, 2460, 2760, 3060, 3360, 3660};
  for (int i = 0; i < 10; ++i) {
    sCmdRect[i].Move(7560, commandTops[i], 252, 252);
    sCmdRect[i].SetVisible(false);
  }

  lWarning[0].SetCaption("WARNING!   Changing Device Protocol And Selecting 'OK' Will Save Modified Device Protocol.");
  lWarning[0].SetForeColor(DialogColour::DarkRed);
  lWarning[1].SetCaption("( Device Protocols Are Globally Defined For ALL Channels )");
  lWarning[1].SetForeColor(DialogColour::DarkBlue);
  lWarning[0].SetVisible(false);
  lWarning[1].SetVisible(false);
  lDebugMode.SetCaption("DEBUG MODE");
  lDebugMode.SetVisible(false);

  // Texts that go into the channel or protocol file.
  for (TextBox* box : {&tDeviceDesc, &tDeviceID, &tAsciiLogFileName, &tOtherDriver, &tNodeName, &tServerName}) {
    box->SetFileText(true);
  }
  for (int k = 0; k < 7; ++k) tOpcTag[k].SetFileText(true);
  for (int i = 0; i < 10; ++i) {
    tCmd[i].SetFileText(true);
    tCmdName[i].SetFileText(true);
    tCmdValue[i].SetFileText(true);
  }
  for (int i = 0; i <= 10; ++i) t[i].SetNumericKeys(true);
  LayOut();

  for (TextBox* box : {&tAsciiLogFileName, &tCmdEnd, &tCmdStart, &tDeviceDesc, &tDeviceID, &tNodeName,
                       &tOtherDriver, &tRefresh, &tServerName, &tTxDelay}) {
    box->SetSelectAllOnFocus(true);
  }
  for (int k = 0; k < 7; ++k) tOpcTag[k].SetSelectAllOnFocus(true);
  for (int i = 0; i < 10; ++i) {
    tCmd[i].SetSelectAllOnFocus(true);
    tCmdName[i].SetSelectAllOnFocus(true);
    tCmdValue[i].SetSelectAllOnFocus(true);
  }
}

void SetupDialogForm::EnsureLoaded() {
  if (loaded_) return;
  loaded_ = true;
  // SetAvailableDeviceProtocols: appends, it does not clear the list first.
  for (int p = 0; p <= 41; ++p) cb[3].AddItem(DeviceProtocolName(p));
}

}  // namespace tarvex
