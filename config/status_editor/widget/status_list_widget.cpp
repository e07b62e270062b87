#include "config/status_editor/widget/status_list_widget.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>
#include <algorithm>

#include "config/setup_dialog/widget/original_key_code.h"
#include "config/setup_dialog/widget/setup_dialog_widget.h"
#include "platform/ansi_text.h"

namespace tarvex {

namespace {

constexpr int ColumnWidths[] = {132, 84, 42, 42, 54, 30};  // pixels, in the frame's area of 385

int ShiftState(Qt::KeyboardModifiers modifiers) {
  return (modifiers.testFlag(Qt::ShiftModifier) ? 1 : 0) | (modifiers.testFlag(Qt::ControlModifier) ? 2 : 0) |
         (modifiers.testFlag(Qt::AltModifier) ? 4 : 0);
}

}  // namespace

void StatusTableModel::Bind(const DataArray* table) {
  beginResetModel();
  table_ = table;
  endResetModel();
}

void StatusTableModel::CellsChanged() {
  if (rowCount() > 0 && columnCount() > 0) {
    Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
  }
}

void StatusTableModel::SetForeColor(OleColour colour) {
  foreColor_ = colour;
  CellsChanged();
}

int StatusTableModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid() || !table_) return 0;
  return static_cast<int>(table_->UpperBound(1) - table_->LowerBound(1) + 1);
}

int StatusTableModel::columnCount(const QModelIndex& parent) const {
  if (parent.isValid() || !table_) return 0;
  return static_cast<int>(table_->UpperBound(2) - table_->LowerBound(2) + 1);
}

QVariant StatusTableModel::data(const QModelIndex& index, int role) const {
  if (!table_ || !index.isValid()) return {};
  if (role == Qt::DisplayRole) {
    return FromAnsi(table_->Value(table_->LowerBound(1) + index.row(), table_->LowerBound(2) + index.column()).text());
  }
  if (role == Qt::ForegroundRole) return QColorOf(foreColor_);
  return {};
}

StatusListWidget::StatusListWidget(QWidget* parent) : QTableView(parent) {
  setObjectName(QStringLiteral("TDBList1"));
  setModel(&model_);
  horizontalHeader()->hide();
  verticalHeader()->hide();
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(16);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setWordWrap(false);
  setTabKeyNavigation(false);
  for (int c = 0; c < 6; ++c) setColumnWidth(c, ColumnWidths[c]);
}

void StatusListWidget::SetCurrentCell(long row, int column) {
  codeMovesCurrent_ = true;
  if (row >= 0 && row < model_.rowCount()) {
    setCurrentIndex(model_.index(static_cast<int>(row), std::clamp(column, 0, model_.columnCount() - 1)));
  }
  codeMovesCurrent_ = false;
}

void StatusListWidget::SetArray(DataArray& table) {
  const long row = Bookmark();
  const int column = CurrentColumn();
  codeMovesCurrent_ = true;
  model_.Bind(&table);
  codeMovesCurrent_ = false;
  for (int c = 0; c < model_.columnCount() && c < 6; ++c) setColumnWidth(c, ColumnWidths[c]);
  SetCurrentCell(std::min<long>(std::max<long>(row, 0), model_.rowCount() - 1), std::max(column, 0));
}

void StatusListWidget::ReloadData() {
  codeMovesCurrent_ = true;
  model_.Bind(model_.Table());
  codeMovesCurrent_ = false;
  SetCurrentCell(0, 0);
  SetTopRow(0);
}

void StatusListWidget::Refresh() {
  model_.CellsChanged();
  viewport()->update();
}

long StatusListWidget::Bookmark() const {
  const QModelIndex current = currentIndex();
  return current.isValid() ? current.row() : -1;
}

void StatusListWidget::SetBookmark(long row) { SetCurrentCell(row, CurrentColumn()); }

int StatusListWidget::CurrentColumn() const {
  const QModelIndex current = currentIndex();
  return current.isValid() ? current.column() : -1;
}

int StatusListWidget::VisibleRows() const {
  return std::max(1, viewport()->height() / verticalHeader()->defaultSectionSize());
}

long StatusListWidget::TopRow() const { return verticalScrollBar()->value(); }

void StatusListWidget::SetTopRow(long row) {
  QScrollBar* bar = verticalScrollBar();
  bar->setValue(static_cast<int>(std::clamp<long>(row, bar->minimum(), bar->maximum())));
}

void StatusListWidget::SetRowInView(int position) {
  const long row = Bookmark();
  if (row >= 0) SetTopRow(row - position);
}

void StatusListWidget::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  QTableView::currentChanged(current, previous);
  if (codeMovesCurrent_ || !events_ || current.row() == previous.row()) return;
  events_->TDBList1_RowChange();
}

void StatusListWidget::keyPressEvent(QKeyEvent* event) {
  if (!events_) {
    QTableView::keyPressEvent(event);
    return;
  }
  int keyCode = OriginalKeyCode(*event);
  events_->TDBList1_KeyDown(keyCode, ShiftState(event->modifiers()));
  bool pass = keyCode != 0;
  const QString text = event->text();
  if (text.size() == 1 && text.at(0).unicode() < 256) {
    int keyAscii = text.at(0).unicode();
    events_->TDBList1_KeyPress(keyAscii);
    pass = pass && keyAscii != 0;
  }
  if (pass) {
    QTableView::keyPressEvent(event);
  } else {
    event->accept();
  }
}

void StatusListWidget::SyncSelection() {
  const QModelIndex current = currentIndex();
  if (current.isValid() && !selectionModel()->isRowSelected(current.row(), QModelIndex())) {
    selectionModel()->select(current, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  }
}

void StatusListWidget::mousePressEvent(QMouseEvent* event) {
  QTableView::mousePressEvent(event);
  SyncSelection();
}

void StatusListWidget::mouseMoveEvent(QMouseEvent* event) {
  QTableView::mouseMoveEvent(event);
  SyncSelection();
}

void StatusListWidget::mouseReleaseEvent(QMouseEvent* event) {
  QTableView::mouseReleaseEvent(event);
  SyncSelection();
}

void StatusListWidget::mouseDoubleClickEvent(QMouseEvent* event) {
  // The press before it made the row under the mouse current.
  event->accept();
  if (events_) events_->TDBList1_DblClick();
}

}  // namespace tarvex
