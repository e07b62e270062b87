#include "startup_widget.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

#include "platform/ansi_text.h"
#include "ui/startup/startup_artwork.h"

namespace tarvex {

namespace {

const QColor LightGrey(192, 192, 192);
const QColor TitleColour(0x1f, 0x3a, 0x68);

QFont Arial(int pixelSize, bool bold = false, bool italic = false) {
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(pixelSize);
  font.setBold(bold);
  font.setItalic(italic);
  return font;
}

void SetTextColour(QWidget* widget, const QColor& colour) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::WindowText, colour);
  widget->setPalette(palette);
}

QLabel* Picture(const QString& name, const QPixmap& pixmap, QPoint at, QWidget* parent) {
  auto* image = new QLabel(parent);
  image->setObjectName(name);
  image->setPixmap(pixmap);
  image->setGeometry(QRect(at, pixmap.size()));
  image->setVisible(false);
  return image;
}

}  // namespace

int StartupWidget::px(int value) const { return static_cast<int>(value * scale_ + 0.5); }

QLabel* StartupWidget::label(const QString& name, const QString& text, const QRect& geometry, QWidget* parent) {
  auto* l = new QLabel(text, parent);
  l->setObjectName(name);
  l->setGeometry(geometry);
  return l;
}

StartupWidget::StartupWidget(ScreenLayout layout)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint),
      scale_(layout == ScreenLayout::Width800 ? 0.8 : 1.0) {
  setObjectName(QStringLiteral("frmTarvexStartup"));
  setWindowTitle(QStringLiteral("Tarvex Manager"));
  const int width = px(720), height = px(480);
  setFixedSize(width, height);
  QPalette background = palette();
  background.setColor(QPalette::Window, QColor(0xe9, 0xed, 0xf3));
  setPalette(background);
  setAutoFillBackground(true);

  cmdEnd_ = new QPushButton(QStringLiteral("X"), this);
  cmdEnd_->setObjectName(QStringLiteral("cmdEnd"));
  cmdEnd_->setFont(Arial(px(16), true));
  cmdEnd_->setGeometry(width - px(40), px(12), px(28), px(26));
  cmdEnd_->setToolTip(QStringLiteral("End Tarvex Manager"));

  Frame1_ = new QFrame(this);
  Frame1_->setObjectName(QStringLiteral("Frame1"));
  Frame1_->setFrameShape(QFrame::StyledPanel);
  Frame1_->setGeometry(px(20), px(12), width - px(70), px(72));
  const QString title = QStringLiteral("Tarvex Manager");
  const QRect titleBox(px(12), px(8), Frame1_->width() - px(24), px(56));
  QLabel* shadow = label(QStringLiteral("lSetupTitleShadow"), title, titleBox.translated(px(3), px(3)), Frame1_);
  QLabel* foreground = label(QStringLiteral("lSetupTitleForeground"), title, titleBox, Frame1_);
  for (QLabel* l : {shadow, foreground}) l->setFont(Arial(px(34), true));
  SetTextColour(shadow, LightGrey);
  SetTextColour(foreground, TitleColour);

  iVOLogo800_ = Picture(QStringLiteral("iVOLogo800"), DrawMakerLogo(ScreenLayout::Width800), {px(30), px(104)}, this);
  iVOLogo1024_ =
      Picture(QStringLiteral("iVOLogo1024"), DrawMakerLogo(ScreenLayout::Width1024), {px(30), px(104)}, this);

  const QRect nameBox(px(34), px(268), px(330), px(52));
  QLabel* Label3 = label(QStringLiteral("Label3"), QStringLiteral("Tarvex  "), nameBox.translated(px(3), px(3)), this);
  QLabel* Label2 = label(QStringLiteral("Label2"), QStringLiteral("Tarvex  "), nameBox, this);
  for (QLabel* l : {Label3, Label2}) l->setFont(Arial(px(44), true, true));
  SetTextColour(Label3, LightGrey);
  SetTextColour(Label2, TitleColour);

  for (int element = 0; element < 2; ++element) {
    const QRect box = element == 0 ? QRect(px(36), px(322), px(330), px(22))
                                   : QRect(width - px(330), height - px(36), px(300), px(20));
    QLabel* caption = label(QStringLiteral("lTitleCaptionName(%1)").arg(element), title, box, this);
    caption->setFont(Arial(px(element == 0 ? 18 : 13)));
    if (element == 1) caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  }

  const QString slogan = QStringLiteral("Every scale on one screen");
  const QRect sloganBox(px(36), px(356), px(360), px(24));
  QLabel* Label1 = label(QStringLiteral("Label1"), slogan, sloganBox.translated(px(2), px(2)), this);
  QLabel* Label4 = label(QStringLiteral("Label4"), slogan, sloganBox, this);
  for (QLabel* l : {Label1, Label4}) l->setFont(Arial(px(18), false, true));
  SetTextColour(Label1, LightGrey);
  SetTextColour(Label4, TitleColour);

  lRevision_ = label(QStringLiteral("lRevision"), QStringLiteral("Revision:"),
                     QRect(px(36), height - px(36), px(200), px(20)), this);
  lRevision_->setFont(Arial(px(14)));

  const QPoint menuAt(width - px(330), px(104));
  iMenu800_ = Picture(QStringLiteral("iMenu800"), DrawMainChoicePanel(ScreenLayout::Width800), menuAt, this);
  iMenu1024_ = Picture(QStringLiteral("iMenu1024"), DrawMainChoicePanel(ScreenLayout::Width1024), menuAt, this);

  CmdContinue_ = new QPushButton(QStringLiteral("&Continue..."), this);
  CmdContinue_->setObjectName(QStringLiteral("CmdContinue"));
  CmdContinue_->setGeometry(menuAt.x() + px(60), menuAt.y() + px(166), px(180), px(40));
  CmdContinue_->setFont(Arial(px(16), true));
  CmdContinue_->setAutoDefault(true);
  CmdContinue_->setVisible(false);

  connect(CmdContinue_, &QPushButton::clicked, this, &StartupWidget::continueClicked);
  connect(cmdEnd_, &QPushButton::clicked, this, &StartupWidget::endClicked);

  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->geometry().center() - rect().center());
  }
}

void StartupWidget::Render(const StartupControls& controls) {
  lRevision_->setText(FromAnsi(controls.lRevision));
  iVOLogo800_->setVisible(controls.iVOLogo800Visible);
  iVOLogo1024_->setVisible(controls.iVOLogo1024Visible);
  iMenu800_->setVisible(controls.iMenu800Visible);
  iMenu1024_->setVisible(controls.iMenu1024Visible);
  CmdContinue_->setVisible(controls.CmdContinueVisible);
  CmdContinue_->setEnabled(controls.CmdContinueEnabled);
  if (controls.MousePointer == MousePointer::Hourglass) setCursor(Qt::WaitCursor);
  else unsetCursor();
  if (controls.Visible != isVisible()) setVisible(controls.Visible);
  if (controls.Visible && controls.CmdContinueFocused && CmdContinue_->isVisible() && CmdContinue_->isEnabled()) {
    activateWindow();
    CmdContinue_->setFocus(Qt::OtherFocusReason);
  }
}

void StartupWidget::Refresh() { repaint(); }

void StartupWidget::Close() { hide(); }

void StartupWidget::closeEvent(QCloseEvent* event) { event->ignore(); }

void StartupWidget::paintEvent(QPaintEvent* event) {
  QWidget::paintEvent(event);
  QPainter painter(this);
  painter.setPen(QPen(TitleColour, 2));
  painter.drawRect(rect().adjusted(1, 1, -1, -1));
}

}  // namespace tarvex
