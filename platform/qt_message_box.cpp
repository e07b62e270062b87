#include "qt_message_box.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPointer>
#include <algorithm>
#include <cstdlib>
#include <iostream>

#include "ansi_text.h"

namespace tarvex {

namespace {

// How long after a box was answered its owner's activation still counts as
// coming back from it: the window manager hands the focus back at once.
constexpr qint64 ReturnFromBoxMilliseconds = 2000;
constexpr const char* AnsweredAtProperty = "tarvexProgramBoxAnsweredAt";
// What a box says: style, title and text.
constexpr const char* ContentProperty = "tarvexProgramBoxContent";

QMessageBox::Icon IconOf(int style) {
  switch (style & 0x70) {
    case MsgBoxStyle::Critical: return QMessageBox::Critical;
    case MsgBoxStyle::Question: return QMessageBox::Question;
    case MsgBoxStyle::Exclamation: return QMessageBox::Warning;
    case MsgBoxStyle::Information: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
  }
}

struct ButtonAnswer {
  QMessageBox::StandardButton button;
  int answer;
};

std::vector<ButtonAnswer> ButtonsOf(int style) {
  using B = QMessageBox;
  switch (style & 7) {
    case MsgBoxStyle::OkCancel: return {{B::Ok, MsgBoxResult::Ok}, {B::Cancel, MsgBoxResult::Cancel}};
    case MsgBoxStyle::AbortRetryIgnore:
      return {{B::Abort, MsgBoxResult::Abort}, {B::Retry, MsgBoxResult::Retry}, {B::Ignore, MsgBoxResult::Ignore}};
    case MsgBoxStyle::YesNoCancel:
      return {{B::Yes, MsgBoxResult::Yes}, {B::No, MsgBoxResult::No}, {B::Cancel, MsgBoxResult::Cancel}};
    case MsgBoxStyle::YesNo: return {{B::Yes, MsgBoxResult::Yes}, {B::No, MsgBoxResult::No}};
    case MsgBoxStyle::RetryCancel: return {{B::Retry, MsgBoxResult::Retry}, {B::Cancel, MsgBoxResult::Cancel}};
    default: return {{B::Ok, MsgBoxResult::Ok}};
  }
}

// A box closed without a button (Escape, its frame) or shown where nobody can
// press one: the last button's answer (Cancel, No or Ignore where one exists),
// never one that retries, aborts or agrees.
int UnansweredAnswer(const std::vector<ButtonAnswer>& buttons) {
  return buttons.size() > 1 ? buttons.back().answer : MsgBoxResult::Ok;
}

bool NoVisibleScreen() {
  const QString platform = QGuiApplication::platformName();
  return platform == QLatin1String("offscreen") || platform == QLatin1String("minimal");
}

// The window the box belongs to: the program's active window. A box never
// owns another (the second would go with the first), so a box's own owner
// stands in for it.
QWidget* OwnerWindow() {
  QWidget* window = QApplication::activeWindow();
  while (window != nullptr && qobject_cast<QMessageBox*>(window) != nullptr) {
    QWidget* parent = window->parentWidget();
    window = parent != nullptr ? parent->window() : nullptr;
  }
  return window;
}

bool StaysOnTop(const QWidget* window) {
  return window != nullptr && window->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

// Kept on top where its owner is, or where any shown window of the program
// is: a box beneath a stay-on-top window would hold the keyboard unseen.
bool KeepOnTop(const QWidget* owner) {
  if (StaysOnTop(owner)) return true;
  const auto windows = QApplication::topLevelWidgets();
  return std::any_of(windows.begin(), windows.end(), [](const QWidget* w) {
    return w->isVisible() && qobject_cast<const QMessageBox*>(w) == nullptr && StaysOnTop(w);
  });
}

qint64 Now() { return QDateTime::currentMSecsSinceEpoch(); }

QMessageBox* MakeBox(const std::string& text, int style, const std::string& title,
                     const std::vector<ButtonAnswer>& buttons, QWidget* owner) {
  auto* box = new QMessageBox(IconOf(style), FromAnsi(title), FromAnsi(text), QMessageBox::NoButton, owner);
  // Texts may carry outside bytes ("<" included): never markup.
  box->setTextFormat(Qt::PlainText);
  for (const auto& b : buttons) box->addButton(b.button);
  // Enter never aborts: Abort, Retry and Ignore default to Retry.
  const bool abortRetryIgnore = (style & 7) == MsgBoxStyle::AbortRetryIgnore;
  box->setDefaultButton(abortRetryIgnore ? QMessageBox::Retry : buttons.front().button);
  // Escape and the frame's close answer the last button (Cancel, No or
  // Ignore), never Abort: Qt would otherwise pick the button of the reject
  // role, which for Abort/Retry/Ignore is Abort.
  box->setEscapeButton(buttons.back().button);
  if (KeepOnTop(owner)) box->setWindowFlag(Qt::WindowStaysOnTopHint, true);
  return box;
}

int AnswerOf(QMessageBox* box, const std::vector<ButtonAnswer>& buttons) {
  const QMessageBox::StandardButton pressed = box->standardButton(box->clickedButton());
  for (const auto& b : buttons) {
    if (b.button == pressed) return b.answer;
  }
  return UnansweredAnswer(buttons);
}

}  // namespace

QtMessageBox::~QtMessageBox() {
  if (QCoreApplication::instance() == nullptr) return;
  for (QMessageBox* box : open_) {
    QObject::disconnect(box, nullptr, nullptr, nullptr);
    delete box;
  }
}

int QtMessageBox::Show(const std::string& text, int style, const std::string& title) {
  const auto buttons = ButtonsOf(style);
  // On a platform without a visible screen nobody could press a button: the
  // box answers at once as if it had been closed unanswered.
  if (NoVisibleScreen()) return UnansweredAnswer(buttons);
  QMessageBox* box = MakeBox(text, style, title, buttons, OwnerWindow());
  box->exec();
  const int answer = AnswerOf(box, buttons);
  delete box;
  return answer;
}

void QtMessageBox::Open(const std::string& text, int style, const std::string& title, Answered answered) {
  const auto buttons = ButtonsOf(style);
  if (NoVisibleScreen()) {
    if (answered) answered(UnansweredAnswer(buttons));
    return;
  }
  // A box that says the same as one still open is that box: it is brought
  // to the front and its answer goes to both, so a repeated failure never
  // piles boxes up.
  const QString content =
      QString::number(style) + QLatin1Char('\n') + FromAnsi(title) + QLatin1Char('\n') + FromAnsi(text);
  for (QMessageBox* open : open_) {
    if (open->property(ContentProperty).toString() != content) continue;
    if (answered) {
      QObject::connect(open, &QDialog::finished, open,
                       [open, buttons, answered = std::move(answered)](int) { answered(AnswerOf(open, buttons)); });
    }
    open->raise();
    open->activateWindow();
    return;
  }
  QWidget* owner = OwnerWindow();
  QMessageBox* box = MakeBox(text, style, title, buttons, owner);
  box->setProperty(ContentProperty, content);
  // Only the owner waits for the box; without one, the program's windows do.
  box->setWindowModality(owner != nullptr ? Qt::WindowModal : Qt::ApplicationModal);
  open_.push_back(box);
  QObject::connect(box, &QObject::destroyed, [this, box] { std::erase(open_, box); });
  QObject::connect(box, &QDialog::finished, box,
                   [this, box, buttons, answered = std::move(answered), owner = QPointer<QWidget>(owner)](int) {
                     // Answered: the same text opens a new box from now on.
                     std::erase(open_, box);
                     // An owner that lost the activation to the box gets it
                     // back now: that activation is no operator's.
                     if (owner && !owner->isActiveWindow()) owner->setProperty(AnsweredAtProperty, Now());
                     const int answer = AnswerOf(box, buttons);
                     box->deleteLater();
                     if (answered) answered(answer);
                   });
  box->show();
  box->raise();
  box->activateWindow();
}

bool ReturnsFromProgramBox(QWidget* window) {
  if (window == nullptr) return false;
  const QVariant answeredAt = window->property(AnsweredAtProperty);
  if (!answeredAt.isValid()) return false;
  window->setProperty(AnsweredAtProperty, QVariant());
  return Now() - answeredAt.toLongLong() <= ReturnFromBoxMilliseconds;
}

std::unique_ptr<MessageBox> MakeMessageBox() {
  const char* record = std::getenv("TARVEX_MESSAGE_BOXES");
  if (record != nullptr && *record != '\0') {
    return std::make_unique<EchoedMessageBox>(std::make_unique<RecordingMessageBox>(record), std::cerr);
  }
  return std::make_unique<EchoedMessageBox>(std::make_unique<QtMessageBox>(), std::cerr);
}

}  // namespace tarvex
