#include "ui/refresh/widget/refresh_dialog_widget.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>

#include "platform/qt_message_box.h"

namespace tarvex {

namespace {

constexpr int TwipsPerPixel = 15;
constexpr int FrameAndCaption = 30;  // pixels of the window's height outside its client area
constexpr int Width = 300;
constexpr int SpinnerMax = 100;
constexpr int TransmitIdleBox = 3;

}  // namespace

int RefreshDialogWidget::ClientHeight(int twips) { return twips / TwipsPerPixel - FrameAndCaption; }

RefreshDialogWidget::RefreshDialogWidget() : QWidget(nullptr, Qt::Window | Qt::WindowStaysOnTopHint) {
  setObjectName(QStringLiteral("frmRefresh"));
  setWindowTitle(QString::fromLatin1(RefreshDialogTitle));
  setFixedSize(Width, ClientHeight(SimpleViewHeight));

  Slider1_ = new QSlider(Qt::Horizontal, this);
  Slider1_->setObjectName(QStringLiteral("Slider1"));
  Slider1_->setRange(SliderPosition::Slow, SliderPosition::Fast);
  Slider1_->setPageStep(1);
  Slider1_->setTickPosition(QSlider::TicksBelow);
  Slider1_->setTickInterval(1);
  Slider1_->setGeometry(24, 8, Width - 48, 26);
  const std::array<const char*, 3> captions = {"Slow", "Normal", "Fast"};
  const std::array<Qt::Alignment, 3> alignments = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight};
  for (size_t position = 0; position < captions.size(); ++position) {
    auto* caption = new QLabel(QString::fromLatin1(captions[position]), this);
    caption->setAlignment(alignments[position] | Qt::AlignTop);
    caption->setGeometry(16 + static_cast<int>(position) * (Width - 32) / 3, 36, (Width - 32) / 3, 18);
  }
  connect(Slider1_, &QSlider::valueChanged, this, [this](int position) {
    if (dialog_) dialog_->Slider1_Scroll(position);
  });
  cmdAdvanced_ = button(this, QStringLiteral("cmdAdvanced"), QStringLiteral("&Advanced >>"), {24, 62, 120, 26});
  cmdSimpleClose_ = button(this, QStringLiteral("cmdSimpleClose"), QStringLiteral("&Close"), {Width - 144, 62, 120, 26});
  connect(cmdAdvanced_, &QPushButton::clicked, this, [this] {
    if (dialog_) dialog_->cmdAdvanced_Click();
  });
  connect(cmdSimpleClose_, &QPushButton::clicked, this, [this] {
    if (dialog_) dialog_->cmdSimpleClose_Click();
  });

  fRefresh_ = new QGroupBox(QStringLiteral(" Refresh Rate "), this);
  fRefresh_->setObjectName(QStringLiteral("fRefresh"));
  fRefresh_->setAutoFillBackground(true);
  fRefresh_->setGeometry(4, 0, Width - 8, ClientHeight(AdvancedViewHeight) - 4);
  const std::array<const char*, 3> columns = {"Rx", "Tx", "GDI"};
  const int columnWidth = (Width - 24) / 3;
  for (int column = 0; column < 3; ++column) {
    const int left = 8 + column * columnWidth;
    auto* heading = new QLabel(QString::fromLatin1(columns[static_cast<size_t>(column)]), fRefresh_);
    heading->setAlignment(Qt::AlignCenter);
    heading->setGeometry(left, 20, columnWidth - 8, 18);
    for (int row = 0; row < 2; ++row) {
      const int index = column * 2 + row;
      const int boxLeft = left + row * (columnWidth / 2);
      auto* rowName = new QLabel(row == 0 ? QStringLiteral("Int.") : QStringLiteral("Idle"), fRefresh_);
      rowName->setAlignment(Qt::AlignCenter);
      rowName->setGeometry(boxLeft, 40, columnWidth / 2 - 6, 16);
      if (index == TransmitIdleBox) {
        lTxIdle_ = rowName;
        rowName->setEnabled(false);
      }
      QScrollBar* spinner = new QScrollBar(Qt::Vertical, fRefresh_);
      spinner->setObjectName(QStringLiteral("VScroll1(%1)").arg(index));
      // The scroll bar counts down from its top; the spinner's value is
      // 100 minus its position, so that its up arrow raises the value.
      spinner->setRange(0, SpinnerMax);
      spinner->setPageStep(1);
      spinner->setGeometry(boxLeft + (columnWidth / 2 - 6) / 2 - 8, 58, 16, 40);
      QLineEdit* box = new QLineEdit(fRefresh_);
      box->setObjectName(QStringLiteral("tVal(%1)").arg(index));
      // Typing is held to three digits by the validator, not by a maximum
      // length, which would cut a longer value from the file when shown.
      box->setAlignment(Qt::AlignCenter);
      box->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,3}")), box));
      box->setGeometry(boxLeft, 102, columnWidth / 2 - 6, 24);
      spinner->setEnabled(index != TransmitIdleBox);
      box->setEnabled(index != TransmitIdleBox);
      connect(spinner, &QScrollBar::valueChanged, this, [this, index](int position) {
        if (dialog_) dialog_->VScroll1_Change(index, SpinnerMax - position);
      });
      connect(box, &QLineEdit::textEdited, this, [this, index](const QString& text) {
        if (dialog_ && !dialog_->tVal_Change(index, text.toStdString())) Render(dialog_->Controls());
      });
      tVal_[static_cast<size_t>(index)] = box;
      VScroll1_[static_cast<size_t>(index)] = spinner;
    }
    QLabel* rate = new QLabel(fRefresh_);
    rate->setObjectName(QStringLiteral("lScan%1").arg(column + 1));
    rate->setAlignment(Qt::AlignCenter);
    rate->setFrameShape(QFrame::Panel);
    rate->setFrameShadow(QFrame::Sunken);
    rate->setGeometry(left, 134, columnWidth - 8, 22);
    lScan_[static_cast<size_t>(column)] = rate;
  }
  const int buttonsTop = ClientHeight(AdvancedViewHeight) - 44;
  const int buttonWidth = (Width - 40) / 3;
  cmdUnAdvanced_ = button(fRefresh_, QStringLiteral("cmdUnAdvanced"), QStringLiteral("&Advanced <<"),
                          {8, buttonsTop, buttonWidth, 26});
  cmdUpdate_ = button(fRefresh_, QStringLiteral("cmdUpdate"), QStringLiteral("&Update"),
                      {16 + buttonWidth, buttonsTop, buttonWidth, 26});
  cmdClose_ = button(fRefresh_, QStringLiteral("cmdClose"), QStringLiteral("&Close"),
                     {24 + 2 * buttonWidth, buttonsTop, buttonWidth, 26});
  connect(cmdUnAdvanced_, &QPushButton::clicked, this, [this] {
    if (dialog_) dialog_->cmdUnAdvanced_Click();
  });
  connect(cmdUpdate_, &QPushButton::clicked, this, [this] {
    if (dialog_) dialog_->cmdUpdate_Click();
  });
  connect(cmdClose_, &QPushButton::clicked, this, [this] {
    if (dialog_) dialog_->cmdClose_Click();
  });
  fRefresh_->hide();
}

QPushButton* RefreshDialogWidget::button(QWidget* parent, const QString& name, const QString& caption,
                                         const QRect& place) {
  auto* created = new QPushButton(caption, parent);
  created->setObjectName(name);
  created->setGeometry(place);
  return created;
}

void RefreshDialogWidget::Render(const RefreshControls& controls) {
  setFixedSize(Width, ClientHeight(controls.Height));
  fRefresh_->setVisible(controls.fRefreshVisible);
  if (controls.fRefreshVisible) fRefresh_->raise();
  cmdAdvanced_->setEnabled(controls.cmdAdvancedEnabled);
  Slider1_->setEnabled(controls.Slider1Enabled);
  cmdSimpleClose_->setEnabled(controls.cmdSimpleCloseEnabled);
  {
    const QSignalBlocker block(Slider1_);
    Slider1_->setValue(controls.Slider1);
  }
  for (size_t index = 0; index < tVal_.size(); ++index) {
    const QString text = QString::fromStdString(controls.tVal[index]);
    if (tVal_[index]->text() != text) tVal_[index]->setText(text);
    const QSignalBlocker block(VScroll1_[index]);
    VScroll1_[index]->setValue(SpinnerMax - controls.VScroll1[index]);
  }
  for (size_t index = 0; index < lScan_.size(); ++index) lScan_[index]->setText(QString::fromStdString(controls.lScan[index]));
  if (controls.Visible && !isVisible()) {
    show();
    raise();
    activateWindow();
  } else if (!controls.Visible && isVisible()) {
    hide();
  }
}

void RefreshDialogWidget::closeEvent(QCloseEvent* event) {
  // Hidden, never closed, while the program runs: its Close does that.
  event->ignore();
  if (dialog_) dialog_->CloseRequested();
}

void RefreshDialogWidget::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && dialog_) {
    dialog_->CloseRequested();
    return;
  }
  QWidget::keyPressEvent(event);
}

bool RefreshDialogWidget::event(QEvent* event) {
  // Only the operator's activation returns to the simple view, not the focus
  // coming back from a box of the program the dialog owned (its refusal of
  // a value): the advanced view and what was typed stay.
  if (event->type() == QEvent::WindowActivate && dialog_ && isVisible() && !ReturnsFromProgramBox(this)) {
    dialog_->Form_Activate();
  }
  return QWidget::event(event);
}

}  // namespace tarvex
