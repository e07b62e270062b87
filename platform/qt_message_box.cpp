#include "qt_message_box.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <cstdlib>
#include <iostream>

#include "ansi_text.h"

namespace tarvex {

namespace {

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

}  // namespace

int QtMessageBox::Show(const std::string& text, int style, const std::string& title) {
  const auto buttons = ButtonsOf(style);
  // On a platform without a visible screen nobody could press a button: the
  // box answers at once as if it had been closed unanswered.
  const QString platform = QGuiApplication::platformName();
  if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal")) {
    return UnansweredAnswer(buttons);
  }
  QMessageBox box(IconOf(style), FromAnsi(title), FromAnsi(text));
  // Texts may carry outside bytes ("<" included): never markup.
  box.setTextFormat(Qt::PlainText);
  for (const auto& b : buttons) box.addButton(b.button);
  box.setDefaultButton(buttons.front().button);
  // Escape and the frame's close answer the last button (Cancel, No or
  // Ignore), never Abort: Qt would otherwise pick the button of the reject
  // role, which for Abort/Retry/Ignore is Abort.
  box.setEscapeButton(buttons.back().button);
  const auto pressed = static_cast<QMessageBox::StandardButton>(box.exec());
  for (const auto& b : buttons) {
    if (b.button == pressed) return b.answer;
  }
  return UnansweredAnswer(buttons);
}

std::unique_ptr<MessageBox> MakeMessageBox() {
  const char* record = std::getenv("TARVEX_MESSAGE_BOXES");
  if (record != nullptr && *record != '\0') {
    return std::make_unique<EchoedMessageBox>(std::make_unique<RecordingMessageBox>(record), std::cerr);
  }
  return std::make_unique<EchoedMessageBox>(std::make_unique<QtMessageBox>(), std::cerr);
}

}  // namespace tarvex
