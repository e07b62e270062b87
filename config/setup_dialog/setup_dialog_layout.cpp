// The places of the setup dialog's controls, in twips relative to the frame
// that holds each one. The frames, the panel buttons and the focus markers have
// the places the logic relies on; the rest is this dialog's own arrangement,
// sized to fit a screen 800 pixels wide.
#include "config/setup_dialog/setup_dialog_form.h"

namespace tarvex {

namespace {

constexpr int ListHeight = 315;
constexpr int BoxHeight = 285;
constexpr int LineHeight = 195;
constexpr int CheckHeight = 240;

void Place(Control& control, const Control* container, int left, int top, int width, int height) {
  control.SetContainer(container);
  if (control.Width() == 0) control.Move(left, top, width, height);
}

void PlacePair(ControlArray<Label, 2>& pair, const Control& container, int left, int top, int width) {
  Place(pair[0], &container, left, top, width, LineHeight);
  Place(pair[1], &container, left, top + LineHeight, width, LineHeight);
}

}  // namespace

Label& SetupDialogForm::DesignLabel(const Control& container, std::string caption, int left, int top, int width) {
  auto label = std::make_unique<Label>("lDesign" + std::to_string(designLabels.size()));
  label->SetCaption(std::move(caption));
  Place(*label, &container, left, top, width, LineHeight);
  designLabels.push_back(std::move(label));
  return *designLabels.back();
}

void SetupDialogForm::LayOut() {
  frmTarvexStdSetup.SetCaption("Tarvex Manager Setup");
  frmTarvexStdSetup.Move(0, 0, 11700, 7920);

  // Frames and buttons standing on the window itself.
  for (Control* control : {static_cast<Control*>(&fConnection), static_cast<Control*>(&fCommand),
                           static_cast<Control*>(&fOPC), static_cast<Control*>(&fDataMap),
                           static_cast<Control*>(&fDataField), static_cast<Control*>(&fStatus),
                           static_cast<Control*>(&fMisc), static_cast<Control*>(&cmdOk),
                           static_cast<Control*>(&cmdCancel), static_cast<Control*>(&cmdCommands),
                           static_cast<Control*>(&cmdOPC), static_cast<Control*>(&cmdDataMap)}) {
    control->SetContainer(nullptr);
  }
  Place(lDEVICE[0], nullptr, 10332, 240, 1224, 300);
  Place(lDEVICE[1], nullptr, 672, 2160, 2988, 300);
  Place(lDebugMode, nullptr, 10332, 6960, 1224, LineHeight);
  Place(lWarning[0], nullptr, 672, 7380, 10000, LineHeight);
  Place(lWarning[1], nullptr, 672, 7600, 10000, LineHeight);

  // Connection settings: lists in two rows, then the texts, then the switches.
  const Frame& c = fConnection;
  PlacePair(lCb0, c, 120, 210, 660);
  Place(cb[0], &c, 800, 240, 1700, ListHeight);
  PlacePair(lCb1, c, 2620, 210, 420);
  Place(cb[1], &c, 3060, 240, 960, ListHeight);
  PlacePair(lCb2, c, 4140, 210, 520);
  Place(cb[2], &c, 4680, 240, 1320, ListHeight);
  PlacePair(lCb3, c, 6120, 210, 680);
  Place(cb[3], &c, 6820, 240, 3160, ListHeight);
  PlacePair(lCb4, c, 120, 630, 700);
  Place(cb[4], &c, 830, 660, 1800, ListHeight);
  Place(tOtherDriver, &c, 2680, 675, 1150, BoxHeight);
  DesignLabel(c, "Primary Units:", 3880, 720, 1100);
  Place(cb[5], &c, 5000, 660, 1250, ListHeight);
  DesignLabel(c, "Fixed Format", 6340, 630, 1200);
  DesignLabel(c, "Decimal Places:", 6340, 630 + LineHeight, 1200);
  Place(cb[6], &c, 7560, 660, 1150, ListHeight);
  Place(ckUseLog, &c, 8800, 690, 1200, CheckHeight);

  DesignLabel(c, "Description:", 120, 1110, 860);
  Place(tDeviceDesc, &c, 1000, 1080, 2500, BoxHeight);
  DesignLabel(c, "Device ID:", 3600, 1110, 780);
  Place(tDeviceID, &c, 4400, 1080, 800, BoxHeight);
  DesignLabel(c, "Refresh:", 5300, 1110, 620);
  Place(tRefresh, &c, 5940, 1080, 600, BoxHeight);
  Place(ltTxDelay[1], &c, 6620, 1110, 660, LineHeight);
  Place(tTxDelay, &c, 7300, 1080, 540, BoxHeight);
  Place(ltTxDelay[0], &c, 7880, 1110, 480, LineHeight);
  DesignLabel(c, "Time-out:", 8420, 1110, 660);
  Place(tTimeout, &c, 9100, 1080, 700, BoxHeight);

  struct Switch {
    CheckBox* box;
    int width;
  };
  int left = 120;
  for (const Switch& s : {Switch{&ckEnableDevice, 1450}, Switch{&ckXONXOFF, 1500}, Switch{&ckEnableVZel, 1650},
                          Switch{&ckBidirectional, 1425}, Switch{&ckPollForData, 1320}, Switch{&ckDDEServer, 1200},
                          Switch{&ckOPC, 1330}}) {
    Place(*s.box, &c, left, 1460, s.width, CheckHeight);
    left += s.width;
  }

  // Miscellaneous features.
  const Frame& m = fMisc;
  Place(ckAsciiLogFile, &m, 120, 250, 1425, CheckHeight);
  Place(tAsciiLogFileName, &m, 1560, 230, 1900, BoxHeight);
  Place(ckDataMap, &m, 3500, 250, 1660, CheckHeight);
  Place(ckInteractiveDBErrors, &m, 120, 560, 4960, CheckHeight);

  // Data fields: one row per field, its enable box inside its focus marker.
  const Frame& d = fDataField;
  DesignLabel(d, "Start", 1080, 560, 540);
  DesignLabel(d, "Length", 1700, 560, 600);
  DesignLabel(d, "On", 2480, 560, 300);
  static const char* const fields[] = {"Gross_Wt:", "Tare_Wt:", "Net_Wt:", "ID:"};
  for (int i = 0; i < 4; ++i) {
    const int top = sRect[i].Top();
    sRect[i].SetContainer(&d);
    DesignLabel(d, fields[i], 120, top + 30, 900);
    Place(t[2 * i], &d, 1080, top - 16, 540, BoxHeight);
    Place(t[2 * i + 1], &d, 1700, top - 16, 540, BoxHeight);
    Place(ck[i], &d, sRect[i].Left() + 30, top + 30, 195, 195);
  }
  static const char* const streamLabels[] = {"Stream Start Char:", "Stream End Char:", "Max. Stream Length:"};
  for (int k = 0; k < 3; ++k) {
    DesignLabel(d, streamLabels[k], 120, 2260 + 420 * k, 1600);
    Place(t[8 + k], &d, 1800, 2230 + 420 * k, 700, BoxHeight);
  }

  // Status table: the rotated headings and the list belong to the status-table
  // editor; the frame keeps their place.
  const Frame& s = fStatus;
  DesignLabel(s, "Status Definition", 180, 1020, 2000);
  DesignLabel(s, "DDE Field", 2280, 1020, 1300);
  DesignLabel(s, "(Numeric Value Of 'DDE Field' (n/) Indicates OPC 'SCALESTAT' Bit.)", 120, 3000, 5772);

  // Device commands.
  const Frame& k = fCommand;
  DesignLabel(k, "Command Name", 360, 700, 1900);
  DesignLabel(k, "Command Definition ( ~ = Parameter )", 2400, 700, 3000);
  DesignLabel(k, "OPC/DDE Value", 5600, 700, 1400);
  DesignLabel(k, "On", 7580, 700, 400);
  for (int i = 0; i < 10; ++i) {
    const int top = sCmdRect[i].Top();
    sCmdRect[i].SetContainer(&k);
    Place(tCmdName[i], &k, 360, top - 16, 1900, BoxHeight);
    Place(tCmd[i], &k, 2400, top - 16, 3000, BoxHeight);
    Place(tCmdValue[i], &k, 5600, top - 16, 1200, BoxHeight);
    Place(ckCmd[i], &k, sCmdRect[i].Left() + 30, top + 30, 195, 195);
  }
  DesignLabel(k, "Command Start Char:", 360, 4200, 1640);
  Place(tCmdStart, &k, 2040, 4170, 600, BoxHeight);
  DesignLabel(k, "Command End Char:", 2840, 4200, 1600);
  Place(tCmdEnd, &k, 4480, 4170, 600, BoxHeight);
  DesignLabel(k, "( 1310 = CR LF )", 5180, 4200, 1400);

  // OPC server and item names.
  const Frame& o = fOPC;
  DesignLabel(o, "OPC Node Name:", 360, 560, 1700);
  Place(tNodeName, &o, 2200, 530, 3200, BoxHeight);
  DesignLabel(o, "OPC Server Name:", 360, 980, 1700);
  Place(tServerName, &o, 2200, 950, 3200, BoxHeight);
  static const char* const tags[] = {"Gross Tag:",   "Tare Tag:",        "Net Tag:",          "Scale Status Tag:",
                                     "Command Tag:", "Command Parm Tag:", "Command Status Tag:"};
  for (int i = 0; i < 7; ++i) {
    DesignLabel(o, tags[i], 360, 1640 + 480 * i, 1700);
    Place(tOpcTag[i], &o, 2200, 1610 + 480 * i, 6700, BoxHeight);
  }
}

}  // namespace tarvex
