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

constexpr int RowPixels = 16;
constexpr int ColumnWidths[] = {132, 84, 42, 42, 54, 30};  // pixels

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

StatusListWidget::StatusListWidget(StatusListState& state, QWidget* parent) : QTableView(parent), state_(state) {
  setObjectName(QStringLiteral("TDBList1"));
  setModel(&model_);
  horizontalHeader()->hide();
  verticalHeader()->hide();
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(RowPixels);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setWordWrap(false);
  setTabKeyNavigation(false);

  connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
    if (!following_) state_.UserScrollsTo(value);
  });
  state_.Watch([this](StatusListChange change) { Follow(change); });
  for (StatusListChange change : {StatusListChange::Array, StatusListChange::Enabled, StatusListChange::ForeColor}) {
    Follow(change);
  }
}

void StatusListWidget::Follow(StatusListChange change) {
  const bool wasFollowing = following_;
  following_ = true;
  switch (change) {
    case StatusListChange::Array:
      model_.Bind(state_.Array());
      for (int c = 0; c < model_.columnCount() && c < 6; ++c) setColumnWidth(c, ColumnWidths[c]);
      ShowCurrent();
      ShowScroll();
      break;
    case StatusListChange::Cells:
      model_.CellsChanged();
      viewport()->update();
      break;
    case StatusListChange::Current: ShowCurrent(); break;
    case StatusListChange::Scroll: ShowScroll(); break;
    case StatusListChange::Enabled: setEnabled(state_.Enabled()); break;
    case StatusListChange::ForeColor: model_.SetForeColor(state_.ForeColor()); break;
    case StatusListChange::Focus: setFocus(Qt::OtherFocusReason); break;
  }
  following_ = wasFollowing;
}

void StatusListWidget::ShowCurrent() {
  const long row = state_.Bookmark();
  if (row < 0 || row >= model_.rowCount()) return;
  const QModelIndex index = model_.index(static_cast<int>(row), std::clamp(state_.CurrentColumn(), 0, 5));
  if (currentIndex() != index) setCurrentIndex(index);
  SyncSelection();
}

void StatusListWidget::ShowScroll() {
  QScrollBar* bar = verticalScrollBar();
  if (bar->value() != state_.TopRow()) bar->setValue(static_cast<int>(state_.TopRow()));
}

void StatusListWidget::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  QTableView::currentChanged(current, previous);
  if (!following_ && current.isValid()) state_.UserMovesTo(current.row(), current.column());
}

void StatusListWidget::keyPressEvent(QKeyEvent* event) {
  bool pass = state_.UserKeyDown(OriginalKeyCode(*event), ShiftState(event->modifiers())) != 0;
  const QString text = event->text();
  if (text.size() == 1 && text.at(0).unicode() < 256) {
    pass = state_.UserKeyPress(text.at(0).unicode()) != 0 && pass;
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
  // The second press of a double click comes as this event alone; like a
  // press it makes the row under the mouse current (the row change rule runs)
  // before the double click opens the current row.
  event->accept();
  const QModelIndex index = indexAt(event->position().toPoint());
  if (index.isValid() && index != currentIndex()) setCurrentIndex(index);
  SyncSelection();
  state_.UserDoubleClicks();
}

void StatusListWidget::resizeEvent(QResizeEvent* event) {
  QTableView::resizeEvent(event);
  // The style may give the rows more height than asked for: count whole rows
  // of the height they really have.
  state_.SetVisibleRows(viewport()->height() / std::max(1, verticalHeader()->defaultSectionSize()));
}

}  // namespace tarvex
