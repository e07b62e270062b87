#include "config/status_editor/status_table_editor.h"

namespace tarvex {

namespace {

constexpr int KeyEnter = 13;
constexpr int KeyPageUp = 33;
constexpr int KeyPageDown = 34;
constexpr int KeyEnd = 35;
constexpr int KeyHome = 36;
constexpr int KeyRight = 39;
constexpr int KeyDown = 40;

// Runs handler after each change of the box's text (the box tells its
// watchers of every property change).
void OnTextChange(TextBox& box, std::function<void()> handler) {
  box.Watch([&box, last = box.Text(), handler = std::move(handler)]() mutable {
    if (box.Text() == last) return;
    last = box.Text();
    handler();
  });
}

}  // namespace

StatusTableEditor::StatusTableEditor(SetupDialogForm& dialog, StatusEntryForm& entry, StartupState& startup,
                                     StatusList& list, ControlFocus& focus)
    : dialog_(dialog), entry_(entry), startup_(startup), list_(list), focus_(focus) {
  for (int i = 0; i < 3; ++i) OnTextChange(entry_.te[i], [this] { EnableEntryExitTest(); });
  entry_.cbStatus.OnClick([this] { EnableEntryExitTest(); });
  entry_.cbDDE.OnClick([this] { EnableEntryExitTest(); });
  entry_.cke.OnClick([this] { EnableEntryExitTest(); });
  entry_.cke.OnGotFocus([this] { entry_.seRect.SetVisible(true); });
  entry_.cke.OnLostFocus([this] { entry_.seRect.SetVisible(false); });
  entry_.cmdInsert.OnClick([this] { cmdInsert_Click(); });
  entry_.cmdReplace.OnClick([this] { cmdReplace_Click(); });
  entry_.cmdDelete.OnClick([this] { cmdDelete_Click(); });
  entry_.cmdCancelEntry.OnClick([this] { cmdCancelEntry_Click(); });
  list_.SetEvents(this);
}

StatusTableEditor::~StatusTableEditor() { list_.SetEvents(nullptr); }

long StatusTableEditor::FirstEmptyEntry() { return tarvex::FirstEmptyEntry(Table()); }

long StatusTableEditor::EditableCurrentRow() {
  const long row = list_.Bookmark();
  return IsEditableRow(Table(), row) ? row : -1;
}

void StatusTableEditor::EnableEntryExitTest() {
  const bool complete = !TrimBlanks(entry_.te[0].Text()).empty() && !TrimBlanks(entry_.te[1].Text()).empty() &&
                        !TrimBlanks(entry_.cbStatus.Text()).empty() && !TrimBlanks(entry_.cbDDE.Text()).empty();
  if (complete) {
    entry_.cmdInsert.SetEnabled(FirstEmptyEntry() != -1);
    entry_.cmdReplace.SetEnabled(true);
  } else {
    entry_.cmdInsert.SetEnabled(false);
    entry_.cmdReplace.SetEnabled(false);
  }
}

StatusEntryTexts StatusTableEditor::EntryTexts() const {
  return {entry_.cbStatus.Text(),  entry_.cbDDE.Text(),   entry_.te[0].Text(),
          entry_.te[1].Text(),     entry_.te[2].Text(),   entry_.cke.Value() == 0 ? " " : "X"};
}

void StatusTableEditor::InsertEntry() {
  const long row = EditableCurrentRow();
  if (row < 0) return;
  tarvex::InsertEntry(Table(), row, EntryTexts());
  list_.SetArray(Table());
  list_.Refresh();
}

void StatusTableEditor::DeleteEntry() {
  const long row = EditableCurrentRow();
  if (row < 0) return;
  tarvex::DeleteEntry(Table(), row);
  ClearEntryFields();
  list_.SetArray(Table());
}

void StatusTableEditor::ClearEntryFields() {
  entry_.cbStatus.SetListIndex(-1);
  entry_.cbDDE.SetListIndex(-1);
  for (int i = 0; i < 3; ++i) entry_.te[i].SetText("");
  entry_.cke.SetValue(0);
}

void StatusTableEditor::SetupEntryMode(bool Mode) {
  const bool m = !Mode;
  dialog_.fConnection.SetEnabled(m);
  dialog_.cmdCancel.SetEnabled(m);
  dialog_.cmdOk.SetEnabled(m);
  dialog_.cmdCommands.SetEnabled(m && dialog_.ckBidirectional.Value() != 0);
  list_.SetEnabled(m);
}

void StatusTableEditor::TDBList1_RowChange() {
  const long limit = RowChangeLimit(Table());
  const long row = list_.Bookmark();
  list_.Refresh();
  if (row <= limit) return;
  list_.SetBookmark(limit);
  const int visible = list_.VisibleRows();
  const long current = list_.Bookmark();
  if (current < visible) {
    list_.SetTopRow(0);
    list_.SetRowInView(static_cast<int>(current));
  } else {
    list_.SetTopRow(current - visible + 2);
    list_.SetRowInView(visible - 2);
    list_.Refresh();
  }
}

void StatusTableEditor::TDBList1_DblClick() { OpenCurrentRow(); }

void StatusTableEditor::SelectMatching(ListBox& list, const std::string& text) {
  const std::string wanted = TrimBlanks(text);
  for (int i = 0; i < list.ListCount(); ++i) {
    if (TrimBlanks(list.List(i)) == wanted) {
      list.SetListIndex(i);
      return;
    }
  }
}

void StatusTableEditor::OpenCurrentRow() {
  // Only the rows the editor fills open.
  const long row = EditableCurrentRow();
  if (row < 0) return;
  DataArray& table = Table();
  const long c = table.LowerBound(2);

  entry_.fEntry.SetLeft(EntryFrameLeft);
  entry_.fEntry.SetTop(EntryFrameTop);
  entry_.fEntry.SetVisible(true);
  SetupEntryMode(true);

  const bool blank = PrepareRowForOpening(table, row);
  const std::string& definition = table.Value(row, c + 0).text();
  if (!definition.empty()) {
    entry_.cmdDelete.SetEnabled(true);
    SelectMatching(entry_.cbStatus, definition);
  } else {
    entry_.cmdDelete.SetEnabled(false);
  }
  const std::string& ddeField = table.Value(row, c + 1).text();
  if (!ddeField.empty()) SelectMatching(entry_.cbDDE, ddeField);
  for (int i = 0; i < 3; ++i) {
    const std::string& cell = table.Value(row, c + 2 + i).text();
    if (!cell.empty()) entry_.te[i].SetText(cell);
  }
  entry_.cke.SetValue(TrimBlanks(table.Value(row, c + 5).text()) == "X" ? 1 : 0);
  if (entry_.cbStatus.ListIndex() < 0) entry_.cbStatus.SetListIndex(0);
  if (entry_.cbDDE.ListIndex() < 0) entry_.cbDDE.SetListIndex(0);
  if (blank) entry_.cke.SetValue(1);

  Control* const fields[] = {&entry_.cbStatus, &entry_.cbDDE, &entry_.te[0], &entry_.te[1], &entry_.te[2],
                             &entry_.cke};
  const int column = list_.CurrentColumn();
  if (column >= 0 && column <= 5) focus_.SetFocus(*fields[column]);
}

void StatusTableEditor::TDBList1_KeyDown(int& KeyCode, int) {
  const long first = FirstEmptyEntry();
  switch (KeyCode) {
    case KeyEnter:
    case KeyHome:
    case KeyEnd:
    case KeyPageDown:
    case KeyPageUp:
    case KeyRight: KeyCode = 0; break;
    case KeyDown:
      if (list_.Bookmark() >= first) KeyCode = 0;
      break;
    default: break;
  }
}

void StatusTableEditor::TDBList1_KeyPress(int& KeyAscii) {
  if (KeyAscii != KeyEnter) return;
  KeyAscii = 0;
  OpenCurrentRow();
}

void StatusTableEditor::LeaveEntryMode() {
  SetupEntryMode(false);
  entry_.fEntry.SetVisible(false);
}

void StatusTableEditor::cmdInsert_Click() {
  LeaveEntryMode();
  InsertEntry();
  ClearEntryFields();
  list_.Refresh();
  const long first = FirstEmptyEntry();
  const int visible = list_.VisibleRows();
  const long current = list_.Bookmark();
  if (current < visible) {
    list_.SetRowInView(static_cast<int>(first >= 0 ? first : current));
  } else {
    list_.SetTopRow(current - visible + 2);
    list_.SetRowInView(visible - 2);
    list_.Refresh();
  }
  list_.SetFocus();
}

void StatusTableEditor::cmdReplace_Click() {
  LeaveEntryMode();
  const long row = EditableCurrentRow();
  if (row >= 0) WriteEntry(Table(), row, EntryTexts());
  list_.SetArray(Table());
  ClearEntryFields();
  list_.Refresh();
  list_.SetFocus();
}

void StatusTableEditor::cmdDelete_Click() {
  LeaveEntryMode();
  DeleteEntry();
  ClearEntryFields();
  list_.Refresh();
  list_.SetFocus();
}

void StatusTableEditor::cmdCancelEntry_Click() {
  LeaveEntryMode();
  ClearEntryFields();
  list_.SetFocus();
}

}  // namespace tarvex
