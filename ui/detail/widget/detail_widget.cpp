#include "ui/detail/widget/detail_widget.h"

#include <QFontDatabase>

#include "platform/ansi_text.h"

namespace tarvex {

namespace {

constexpr int RowHeight = 22;
constexpr int CaptionWidth = 90;
constexpr int ValueWidth = 150;
constexpr int Margin = 10;
constexpr int ColumnWidth = CaptionWidth + ValueWidth + 20;
constexpr int RowsPerColumn = 11;  // Ld(0..10) left, Ld(11..20) right, 21 and 22 below

QLabel* PlainLabel(QWidget* parent, const QString& name) {
  auto* label = new QLabel(parent);
  label->setObjectName(name);
  label->setTextFormat(Qt::PlainText);
  label->setTextInteractionFlags(Qt::NoTextInteraction);
  return label;
}

}  // namespace

DetailWidget::DetailWidget(DetailWindow& window)
    : OperatorWindowWidget([&window] { window.cmdClose_Click(); }, [&window] { window.Form_Activate(); }),
      window_(window) {
  setObjectName(QStringLiteral("frmDetail"));
  const int width = 2 * ColumnWidth + Margin;
  for (int i = 0; i < DetailLabel::Count; ++i) {
    QLabel* value = PlainLabel(this, QStringLiteral("Ld(%1)").arg(i));
    value->setAutoFillBackground(true);
    value->setStyleSheet(QStringLiteral("QLabel { background-color: #C0C0C0; padding-left: 2px; }"));
    Ld_[static_cast<size_t>(i)] = value;
    l_[static_cast<size_t>(i)] = PlainLabel(this, QStringLiteral("l(%1)").arg(i));
  }
  Ld_[DetailLabel::Raw]->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

  // Each value with the caption that stands beside it.
  for (int i = 0; i < DetailLabel::Count; ++i) {
    QRect caption;
    QRect value;
    if (i <= 20) {
      const int column = i / RowsPerColumn;
      const int y = Margin + (i % RowsPerColumn) * (RowHeight + 4);
      const int x = Margin + column * ColumnWidth;
      caption = QRect(x, y, CaptionWidth, RowHeight);
      value = QRect(x + CaptionWidth, y, ValueWidth, RowHeight);
    } else {
      const int y = Margin + (RowsPerColumn + i - 21) * (RowHeight + 4);
      caption = QRect(Margin, y, CaptionWidth, RowHeight);
      value = QRect(Margin + CaptionWidth, y, width - 2 * Margin - CaptionWidth, RowHeight);
    }
    l_[static_cast<size_t>(CaptionBeside(i))]->setGeometry(caption);
    Ld_[static_cast<size_t>(i)]->setGeometry(value);
  }
  const int buttonsTop = Margin + (RowsPerColumn + 2) * (RowHeight + 4) + 6;
  cmdClose_ = new QPushButton(QStringLiteral("&Close"), this);
  cmdClose_->setObjectName(QStringLiteral("cmdClose"));
  cmdClose_->setGeometry(width - Margin - 90, buttonsTop, 90, 28);
  connect(cmdClose_, &QPushButton::clicked, this, [this] { window_.cmdClose_Click(); });
  setFixedSize(width, buttonsTop + 28 + Margin);
  window_.AttachView(this);
}

void DetailWidget::Render(const DetailControls& controls) {
  setWindowTitle(FromAnsi(controls.Caption));
  for (size_t i = 0; i < DetailLabel::Count; ++i) {
    l_[i]->setText(FromAnsi(controls.l[i]));
    l_[i]->setVisible(controls.lVisible[i]);
    Ld_[i]->setText(FromAnsi(controls.Ld[i]));
  }
  ShowAsBehaviourSays(controls.Visible);
}

}  // namespace tarvex
