#pragma once
// The view of the status list: a table view over the bound status-table array,
// one row per array row (empty rows included), six columns, no headings (the
// dialog draws its own), cells not edited in place.
//
// The view follows the list state (StatusListState) and reports the user's
// moves, scrolling, double clicks and keys to it. Each key goes to the state
// as KeyDown and, when it produced a character, as KeyPress; KeyPress is
// raised even when KeyDown cancelled the key, as the editor's Enter relies on.
// A key cancelled by either does nothing in the view.
#include <QAbstractTableModel>
#include <QTableView>

#include "config/status_editor/status_list_state.h"

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

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
  const DataArray* table_ = nullptr;
  OleColour foreColor_ = DialogColour::Black;
};

class StatusListWidget final : public QTableView {
  Q_OBJECT
public:
  StatusListWidget(StatusListState& state, QWidget* parent = nullptr);

  // The list does not jump to a row by typed letters.
  void keyboardSearch(const QString&) override {}

protected:
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

private:
  void Follow(StatusListChange change);
  void ShowCurrent();
  void ShowScroll();
  // A row change handler may move the current row away from the row the mouse
  // selected; the highlight follows the current row.
  void SyncSelection();

  StatusListState& state_;
  StatusTableModel model_;
  bool following_ = false;  // true while the view follows the state
};

}  // namespace tarvex
