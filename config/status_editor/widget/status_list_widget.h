#pragma once
// The status list TDBList1: a table view over the status-table array, one row
// per array row (empty rows included), six columns, no headings (the dialog
// draws its own), cells not edited in place.
//
// The view raises the list's events: a row change only when the user moved the
// current row (not when the code set Bookmark or rebound the array), a double
// click, and each key as KeyDown and, for a key that produced a character,
// KeyPress. A key whose code a handler set to 0 does nothing in the view;
// KeyPress is raised even when KeyDown cancelled the key, as the editor's
// Enter relies on.
#include <QAbstractTableModel>
#include <QTableView>

#include "config/status_editor/status_list.h"

namespace tarvex {

class StatusTableModel final : public QAbstractTableModel {
  Q_OBJECT
public:
  using QAbstractTableModel::QAbstractTableModel;

  // Rebinds to table (nullptr: no rows); the view reads every cell again.
  void Bind(const DataArray* table);
  // Tells the view that every cell may have changed.
  void CellsChanged();
  void SetForeColor(OleColour colour);
  const DataArray* Table() const noexcept { return table_; }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
  const DataArray* table_ = nullptr;
  OleColour foreColor_ = DialogColour::Black;
};

class StatusListWidget final : public QTableView, public StatusList {
  Q_OBJECT
public:
  explicit StatusListWidget(QWidget* parent = nullptr);

  // The array is rebound and the current row kept where the array has it.
  void SetArray(DataArray& table) override;
  // Every cell read again; the first row becomes current.
  void ReloadData() override;
  void Refresh() override;
  void SetEnabled(bool enabled) override { setEnabled(enabled); }
  void SetForeColor(OleColour colour) override { model_.SetForeColor(colour); }

  long Bookmark() const override;
  // A row the array does not have changes nothing.
  void SetBookmark(long row) override;
  int CurrentColumn() const override;
  int VisibleRows() const override;
  void SetTopRow(long row) override;
  void SetRowInView(int position) override;
  bool Enabled() const override { return isEnabled(); }
  void SetFocus() override { setFocus(Qt::OtherFocusReason); }
  void SetEvents(StatusListEvents* events) override { events_ = events; }

  long TopRow() const;

protected:
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
  // Makes (row, column) current without raising a row change.
  void SetCurrentCell(long row, int column);
  // A row change handler may move the current row away from the row
  // the mouse selected; the highlight follows the current row.
  void SyncSelection();

  StatusTableModel model_;
  StatusListEvents* events_ = nullptr;
  bool codeMovesCurrent_ = false;
};

}  // namespace tarvex
