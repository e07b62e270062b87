#pragma once
// The controls of the setup dialog frmTarvexStdSetup with their design-time
// state: captions, fixed list entries, the frames' and panel buttons' places,
// and which controls start disabled and grey. The logic that drives them is
// SetupFieldLogic; the widgets that show them live in the widget library.
#include <memory>
#include <string>
#include <vector>

#include "config/setup_dialog/dialog_controls.h"

namespace tarvex {

// Where a parked pop-out panel waits, off the dialog.
constexpr int ParkedPanelLeft = -20000;

// The Device Protocol list's entry for protocol k (0 to 41).
std::string DeviceProtocolName(int protocol);

class SetupDialogForm {
public:
  SetupDialogForm();

  // The load event: runs once, the first time anything touches the controls.
  // Appends the 42 protocol entries to cb(3).
  void EnsureLoaded();
  bool Loaded() const noexcept { return loaded_; }

  Window frmTarvexStdSetup{"frmTarvexStdSetup"};

  // Channel settings.
  ControlArray<ListBox, 7> cb{"cb"};
  ControlArray<Label, 2> lCb0{"lCb0"}, lCb1{"lCb1"}, lCb2{"lCb2"}, lCb3{"lCb3"}, lCb4{"lCb4"};
  ControlArray<Label, 2> ltTxDelay{"ltTxDelay"};
  CheckBox ckXONXOFF{"ckXONXOFF"}, ckEnableDevice{"ckEnableDevice"}, ckDDEServer{"ckDDEServer"}, ckOPC{"ckOPC"},
      ckBidirectional{"ckBidirectional"}, ckPollForData{"ckPollForData"}, ckAsciiLogFile{"ckAsciiLogFile"},
      ckUseLog{"ckUseLog"}, ckInteractiveDBErrors{"ckInteractiveDBErrors"}, ckEnableVZel{"ckEnableVZel"},
      ckDataMap{"ckDataMap"};
  TextBox tDeviceDesc{"tDeviceDesc"}, tDeviceID{"tDeviceID"}, tTxDelay{"tTxDelay"}, tRefresh{"tRefresh"},
      tTimeout{"tTimeout"}, tAsciiLogFileName{"tAsciiLogFileName"}, tOtherDriver{"tOtherDriver"},
      tNodeName{"tNodeName"}, tServerName{"tServerName"};
  ControlArray<TextBox, 7> tOpcTag{"tOpcTag"};

  // Protocol definition: data fields (start, length) of gross, tare, net and ID,
  // then the stream start and end character codes and the maximum stream length.
  ControlArray<TextBox, 11> t{"t"};
  ControlArray<CheckBox, 4> ck{"ck"};
  ControlArray<Shape, 4> sRect{"sRect"};
  ControlArray<CheckBox, 10> ckCmd{"ckCmd"};
  ControlArray<TextBox, 10> tCmd{"tCmd"}, tCmdName{"tCmdName"}, tCmdValue{"tCmdValue"};
  ControlArray<Shape, 10> sCmdRect{"sCmdRect"};
  TextBox tCmdStart{"tCmdStart"}, tCmdEnd{"tCmdEnd"};

  Frame fConnection{"fConnection"}, fCommand{"fCommand"}, fOPC{"fOPC"}, fDataMap{"fDataMap"},
      fDataField{"fDataField"}, fStatus{"fStatus"}, fMisc{"fMisc"};
  Button cmdOk{"cmdOk"}, cmdCancel{"cmdCancel"}, cmdCommands{"cmdCommands"}, cmdOPC{"cmdOPC"},
      cmdDataMap{"cmdDataMap"};
  ControlArray<Label, 2> lDEVICE{"lDEVICE"};
  ControlArray<Label, 2> lWarning{"lWarning"};
  Label lDebugMode{"lDebugMode"};

  // The captions of the design that no logic touches.
  std::vector<std::unique_ptr<Label>> designLabels;

  // Every control except the window, frames first, in the order the widgets
  // are made (so a frame exists before the controls it holds).
  template <typename V>
  void VisitControls(V&& visit) {
    for (Frame* frame : {&fConnection, &fDataField, &fStatus, &fMisc, &fDataMap, &fCommand, &fOPC}) visit(*frame);
    for (auto& label : designLabels) visit(*label);
    cb.ForEach(visit);
    for (auto* pair : {&lCb0, &lCb1, &lCb2, &lCb3, &lCb4, &ltTxDelay, &lDEVICE, &lWarning}) pair->ForEach(visit);
    visit(lDebugMode);
    for (CheckBox* box : {&ckXONXOFF, &ckEnableDevice, &ckDDEServer, &ckOPC, &ckBidirectional, &ckPollForData,
                          &ckAsciiLogFile, &ckUseLog, &ckInteractiveDBErrors, &ckEnableVZel, &ckDataMap}) {
      visit(*box);
    }
    for (TextBox* box : {&tDeviceDesc, &tDeviceID, &tRefresh, &tTxDelay, &tTimeout, &tAsciiLogFileName,
                         &tOtherDriver, &tNodeName, &tServerName}) {
      visit(*box);
    }
    tOpcTag.ForEach(visit);
    for (int i = 0; i < 4; ++i) {
      visit(t[2 * i]);
      visit(t[2 * i + 1]);
      visit(ck[i]);
    }
    for (int i = 8; i <= 10; ++i) visit(t[i]);
    for (int i = 0; i < 10; ++i) {
      visit(tCmdName[i]);
      visit(tCmd[i]);
      visit(tCmdValue[i]);
      visit(ckCmd[i]);
    }
    visit(tCmdStart);
    visit(tCmdEnd);
    for (Button* button : {&cmdOk, &cmdCancel, &cmdCommands, &cmdOPC, &cmdDataMap}) visit(*button);
    sRect.ForEach(visit);
    sCmdRect.ForEach(visit);
  }

private:
  void LayOut();
  Label& DesignLabel(const Control& container, std::string caption, int left, int top, int width);

  bool loaded_ = false;
};

}  // namespace tarvex
