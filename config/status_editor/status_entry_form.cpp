#include "config/status_editor/status_entry_form.h"

namespace tarvex {

namespace {

constexpr const char* StatusDefinitions[] = {"LB",
                                             "KG",
                                             "Grams",
                                             "MilliGrams",
                                             "MicroGrams",
                                             "Metric Tons",
                                             "Tons",
                                             "Ounces",
                                             "Troy Ounces",
                                             "Penny Weight",
                                             "Pieces",
                                             "Custom Units1",
                                             "Custom Units2",
                                             "Decimal Place XXXX00",
                                             "Decimal Place XXXXX0",
                                             "Decimal Place XXXXXX",
                                             "Decimal Place XXXXX.X",
                                             "Decimal Place XXXX.XX",
                                             "Decimal Place XXX.XXX",
                                             "Decimal Place XX.XXXX",
                                             "Decimal Place X.XXXXX",
                                             "Gross Mode",
                                             "Net Mode",
                                             "Polarity Sign Positive +",
                                             "Polarity Sign Negative -",
                                             "Out Of Range",
                                             "Motion",
                                             "Stable",
                                             "Print Request",
                                             "Setpoint 1 Feeding",
                                             "Setpoint 2 Feeding",
                                             "Setpoint 3, Setpoint 1 Fast Feeding",
                                             "Setpoint 4, Setpoint 2 Fast Feeding",
                                             "Setpoint 1, Weight In Tolerance or Zero In Tolerance",
                                             "Setpoint 2, Weight In Tolerance",
                                             "Expand Data x10",
                                             "User1",
                                             "User2",
                                             "User3",
                                             "User4",
                                             "User5",
                                             "User6",
                                             "User7",
                                             "User8",
                                             "User9",
                                             "Gross <= Mask",
                                             "Gross => Mask",
                                             "Net <= Mask",
                                             "Net => Mask",
                                             "Invalidate",
                                             "ErrorMsg"};

constexpr const char* DDEFields[] = {"1 / MOTION", "2 / MODE", "3 / UNITS", "0 / ERROR", "(WEIGHT)",
                                     "4 / STATUS1", "STATUS2",  "STATUS3",   "STATUS4",   "STATUS5",
                                     "STATUS6",     "STATUS7",  "STATUS8",   "STATUS9",   "INVALIDATE"};

constexpr int RowHeight = 315;

}  // namespace

StatusEntryForm::StatusEntryForm() {
  fEntry.SetCaption("Status Data &Parameter Entry ");
  fEntry.Move(EntryFrameLeft, EntryFrameTop, 7800, 960);
  fEntry.SetVisible(false);

  for (const char* item : StatusDefinitions) cbStatus.AddItem(item);
  for (const char* item : DDEFields) cbDDE.AddItem(item);
  cbStatus.SetToolTip("Select The Status Definition For This Status Entry...");
  cbDDE.SetToolTip("Select DDE Field To Apply Status Field Definition...");
  te[0].SetToolTip(
      "If This Is A Partial Binary Field, Enter \"b\" And The Starting Bit Position After The Starting Char. "
      "Position...");
  te[1].SetToolTip(
      "If This Is A Partial Binary Field, Enter \"b\" And The Bit Field Width After The Field Byte/Char. Length...");
  te[2].SetToolTip(
      "Status Defination Bit Mask. If Field Length Is More Than 1, Enter The Actual Mask ASCII Characters...");
  cke.SetToolTip("Check This Box If This Status Field Is To Be Actually Used...");
  static const int maxLengths[] = {4, 3, 7};
  for (int i = 0; i < 3; ++i) {
    te[i].SetMaxLength(maxLengths[i]);
    // The cells go into the protocol file, which quotes its texts.
    te[i].SetFileText(true);
    te[i].SetSelectAllOnFocus(true);
  }

  cmdInsert.SetCaption("&Insert");
  cmdInsert.SetToolTip("Insert Status Data At Selected Location...");
  cmdReplace.SetCaption("&Replace");
  cmdReplace.SetToolTip("Overwrite Status Data At Selected Location...");
  cmdDelete.SetCaption("&Delete");
  cmdDelete.SetToolTip("Delete Status Data At Selected Location...");
  cmdCancelEntry.SetCaption("&Cancel");
  cmdCancelEntry.SetToolTip("Exit Status Entry Without Making Any Changes...");
  for (Button* button : {&cmdInsert, &cmdReplace, &cmdDelete}) button->SetEnabled(false);
  seRect.SetVisible(false);

  // One row of fields in column order, the buttons below them.
  const Control* frame = &fEntry;
  struct Place {
    Control* control;
    int left, width;
  };
  const Place fields[] = {{&cbStatus, 120, 2760}, {&cbDDE, 2940, 1500}, {&te[0], 4500, 700},
                          {&te[1], 5260, 600},    {&te[2], 5920, 1000}, {&cke, 7080, 240}};
  for (const Place& place : fields) {
    place.control->SetContainer(frame);
    place.control->Move(place.left, 240, place.width, RowHeight);
  }
  seRect.SetContainer(frame);
  seRect.Move(7032, 204, 336, 387);
  int left = 1320;
  for (Button* button : {&cmdInsert, &cmdReplace, &cmdDelete, &cmdCancelEntry}) {
    button->SetContainer(frame);
    button->Move(left, 600, 1224, 300);
    left += 1344;
  }
}

}  // namespace tarvex
