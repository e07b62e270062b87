#pragma once
// The entry frame fEntry of the status-table editor with its design-time
// state: the two fixed drop-down lists, the three text boxes with their length
// limits, the enable box and its focus rectangle, and the four buttons.
//
// The length limits bind what the user types only: a longer cell read from a
// protocol file is shown whole and stored back unchanged.
#include "config/setup_dialog/dialog_controls.h"

namespace tarvex {

// Where the entry frame is shown while a row is open (twips, on the dialog).
constexpr int EntryFrameLeft = 2088;
constexpr int EntryFrameTop = 6900;

class StatusEntryForm {
public:
  StatusEntryForm();

  Frame fEntry{"fEntry"};
  ListBox cbStatus{"cbStatus"};
  ListBox cbDDE{"cbDDE"};
  ControlArray<TextBox, 3> te{"te"};
  CheckBox cke{"cke"};
  Shape seRect{"seRect"};
  Button cmdInsert{"cmdInsert"}, cmdReplace{"cmdReplace"}, cmdDelete{"cmdDelete"}, cmdCancelEntry{"cmdCancelEntry"};

  // The frame first, so that it exists before the controls it holds.
  template <typename V>
  void VisitControls(V&& visit) {
    visit(fEntry);
    visit(cbStatus);
    visit(cbDDE);
    te.ForEach(visit);
    visit(cke);
    visit(seRect);
    for (Button* button : {&cmdInsert, &cmdReplace, &cmdDelete, &cmdCancelEntry}) visit(*button);
  }
};

}  // namespace tarvex
