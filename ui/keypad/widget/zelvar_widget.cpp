#include "ui/keypad/widget/zelvar_widget.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

#include "platform/ansi_text.h"

namespace tarvex {

// The terminal's display: takes the keyboard focus and hands the keys typed
// on it to the keypad.
class ZelvarDisplay final : public QWidget {
public:
  ZelvarDisplay(ZelvarWindow& window, QWidget* parent) : QWidget(parent), window_(window) {
    setObjectName(QStringLiteral("Picture1"));
    setFocusPolicy(Qt::StrongFocus);
  }

protected:
  void keyPressEvent(QKeyEvent* event) override {
    const int keyCode = PlatformKeyCode(event->key());
    if (keyCode != 0) window_.Picture1_KeyDown(keyCode, 0);
    // The X server gives Delete the character 127; the operator's keyboard
    // types none for it, so none is sent.
    const QString text = event->key() == Qt::Key_Delete ? QString() : event->text();
    if (text.size() == 1 && text.at(0).unicode() < 256) window_.Picture1_KeyPress(text.at(0).unicode());
    event->accept();
  }
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0x10, 0x30, 0x18));
    painter.setPen(hasFocus() ? QColor(0x60, 0xF0, 0x80) : QColor(0x30, 0x80, 0x40));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    QFont legend = font();
    legend.setPointSize(7);
    painter.setFont(legend);
    const QStringList legends = {QStringLiteral("GROSS"), QStringLiteral("NET"), QStringLiteral("MOTION"),
                                 QStringLiteral("lb"), QStringLiteral("kg")};
    for (int i = 0; i < legends.size(); ++i) {
      painter.drawText(QRect(6 + i * (width() - 12) / 5, height() - 16, (width() - 12) / 5, 14), Qt::AlignCenter,
                       legends[i]);
    }
    QFont digits = font();
    digits.setPointSize(20);
    digits.setStyleHint(QFont::Monospace);
    painter.setFont(digits);
    painter.drawText(QRect(0, 4, width() - 10, height() - 22), Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("- - - - - -"));
  }

private:
  ZelvarWindow& window_;
};

int PlatformKeyCode(int qtKey) {
  if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12) return 112 + (qtKey - Qt::Key_F1);
  switch (qtKey) {
    case Qt::Key_Escape: return 27;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Backspace: return BackspaceKeyCode;
    default: return 0;
  }
}

namespace {

constexpr int PanelLeft = 12;
constexpr int PanelTop = 12;
constexpr int KeyWidth = 52;
constexpr int KeyHeight = 30;
constexpr int KeyGap = 8;

// Where each drawn key sits on the panel, by its place in DrawnKeys: the
// digits as a pad of three columns, the function keys in two rows at the left.
QRect KeyPlace(size_t index) {
  static const std::array<QPoint, 20> cells = {{
      {3, 3}, {2, 2}, {3, 2}, {4, 2}, {2, 1}, {3, 1}, {4, 1}, {2, 0}, {3, 0}, {4, 0},  // 0..9
      {2, 3}, {4, 3},                                                                  // . SP
      {0, 0}, {1, 0}, {0, 1}, {1, 1}, {0, 2}, {1, 2}, {0, 3}, {1, 3},                  // F .. <->
  }};
  const QPoint cell = cells[index];
  const int keysTop = PanelTop + 110;
  const int x = PanelLeft + 12 + cell.x() * (KeyWidth + KeyGap) + (cell.x() >= 2 ? 24 : 0);
  return QRect(x, keysTop + cell.y() * (KeyHeight + KeyGap), KeyWidth, KeyHeight);
}

}  // namespace

ZelvarWidget::ZelvarWidget(ZelvarWindow& window)
    : OperatorWindowWidget([&window] { window.cmdClose_Click(); }, [&window] { window.Form_Activate(); }),
      window_(window) {
  setObjectName(QStringLiteral("ZELVAR"));
  const int panelWidth = 12 + 5 * (KeyWidth + KeyGap) + 24 + 4;
  const int panelHeight = 110 + 4 * (KeyHeight + KeyGap) + 8;

  auto* panel = new QLabel(this);
  panel->setObjectName(QStringLiteral("Panel"));
  panel->setTextFormat(Qt::PlainText);
  panel->setGeometry(PanelLeft, PanelTop, panelWidth, panelHeight);
  panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
  panel->setLineWidth(3);
  panel->setStyleSheet(QStringLiteral("QLabel#Panel { background-color: #B8B8B0; }"));

  auto* brand = new QLabel(QStringLiteral("Zelvar"), this);
  brand->setObjectName(QStringLiteral("Brand"));
  brand->setTextFormat(Qt::PlainText);
  brand->setGeometry(PanelLeft + 12, PanelTop + 8, 120, 20);
  brand->setStyleSheet(QStringLiteral("font-weight: bold; font-style: italic; color: #202080;"));

  Picture1_ = new ZelvarDisplay(window_, this);
  Picture1_->setGeometry(PanelLeft + 12, PanelTop + 32, panelWidth - 24, 66);

  for (size_t i = 0; i < DrawnKeys.size(); ++i) {
    const DrawnKey& key = DrawnKeys[i];
    auto* label = new QLabel(FromAnsi(key.caption), this);
    label->setObjectName(FromAnsi(key.control));
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignVCenter | Qt::AlignLeft);
    label->setIndent(key.caption.size() <= 2 ? 20 : 6);
    label->setFrameStyle(QFrame::Panel | QFrame::Raised);
    label->setLineWidth(2);
    label->setStyleSheet(QStringLiteral("background-color: #E8E8E0; font-weight: bold;"));
    label->setGeometry(KeyPlace(i));
    label->setCursor(Qt::PointingHandCursor);
    label->installEventFilter(this);
  }

  const int sideLeft = PanelLeft + panelWidth + 12;
  auto* frame = new QGroupBox(QStringLiteral("Zelvar Node"), this);
  frame->setObjectName(QStringLiteral("Frame1"));
  frame->setGeometry(sideLeft, PanelTop, 100, 6 * 26 + 30);
  for (int i = 0; i < 6; ++i) {
    auto* option = new QRadioButton(QStringLiteral("Z%1").arg(i + 1), frame);
    option->setObjectName(QStringLiteral("Option1(%1)").arg(i));
    option->setGeometry(14, 24 + i * 26, 70, 22);
    option->setFocusPolicy(Qt::NoFocus);
    connect(option, &QRadioButton::clicked, this, [this, i] { window_.Option1_Click(i); });
    Option1_[static_cast<size_t>(i)] = option;
  }

  cmdClose_ = new QPushButton(QStringLiteral("&Close"), this);
  cmdClose_->setObjectName(QStringLiteral("cmdClose"));
  cmdClose_->setGeometry(sideLeft, PanelTop + panelHeight - 30, 100, 30);
  connect(cmdClose_, &QPushButton::clicked, this, [this] { window_.cmdClose_Click(); });

  setFixedSize(sideLeft + 100 + 12, PanelTop + panelHeight + 12);
  window_.AttachView(this);
}

void ZelvarWidget::Render(const ZelvarControls& controls) {
  setWindowTitle(FromAnsi(controls.Caption));
  for (size_t i = 0; i < Option1_.size(); ++i) Option1_[i]->setChecked(controls.Option1[i]);
  if (controls.Visible && !isVisible()) move(controls.Left, controls.Top);
  ShowAsBehaviourSays(controls.Visible);
}

void ZelvarWidget::FocusDisplay() { Picture1_->setFocus(Qt::OtherFocusReason); }

int ZelvarWidget::ScreenWidth() const {
  const QScreen* shown = screen();
  return shown ? shown->geometry().width() : width();
}

int ZelvarWidget::ScreenHeight() const {
  const QScreen* shown = screen();
  return shown ? shown->geometry().height() : height();
}

bool ZelvarWidget::eventFilter(QObject* watched, QEvent* event) {
  // A drawn key sends as a click does: pressed and released over the same
  // key. A press dragged off the key before its release sends nothing.
  const bool press = event->type() == QEvent::MouseButtonPress;
  const bool release = event->type() == QEvent::MouseButtonRelease;
  if ((press || release) && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    auto* key = static_cast<QWidget*>(watched);
    if (press) {
      pressedKey_ = key;
    } else {
      const bool over = key->rect().contains(static_cast<QMouseEvent*>(event)->position().toPoint());
      if (pressedKey_ == key && over) window_.Key_Click(ToAnsi(key->objectName()));
      pressedKey_ = nullptr;
    }
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace tarvex
