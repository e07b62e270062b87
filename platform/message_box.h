#pragma once
// Message boxes with the style numbers of the original platform: the sum of a
// button set (0 OK, 1 OK/Cancel, 2 Abort/Retry/Ignore, 3 Yes/No/Cancel, 4 Yes/No,
// 5 Retry/Cancel) and an icon (16 critical stop, 32 question, 48 exclamation,
// 64 information). The answer is the pressed button's number (1 OK, 2 Cancel,
// 3 Abort, 4 Retry, 5 Ignore, 6 Yes, 7 No).
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace tarvex {

namespace MsgBoxStyle {
constexpr int OkOnly = 0;
constexpr int OkCancel = 1;
constexpr int AbortRetryIgnore = 2;
constexpr int YesNoCancel = 3;
constexpr int YesNo = 4;
constexpr int RetryCancel = 5;
constexpr int Critical = 16;
constexpr int Question = 32;
constexpr int Exclamation = 48;
constexpr int Information = 64;
}  // namespace MsgBoxStyle

namespace MsgBoxResult {
constexpr int Ok = 1;
constexpr int Cancel = 2;
constexpr int Abort = 3;
constexpr int Retry = 4;
constexpr int Ignore = 5;
constexpr int Yes = 6;
constexpr int No = 7;
}  // namespace MsgBoxResult

// Two ways to show a box. Open returns at once: the box waits on the screen
// while the timers, the devices and the other windows go on, and whatever
// depends on the answer runs when the answer comes. Show waits for the answer
// in a loop of its own and is kept for the moments when nothing else may run
// (the start-up refusals and the last report before the program ends).
class MessageBox {
public:
  // The pressed button's number; called once, when the operator answers.
  using Answered = std::function<void(int answer)>;

  virtual ~MessageBox() = default;
  // Shows the box and returns the button pressed. Texts are ANSI bytes.
  virtual int Show(const std::string& text, int style, const std::string& title) = 0;
  // Opens the box and returns before it is answered; answered (when given)
  // gets the answer. A backend that cannot leave a box open answers at once
  // through Show.
  virtual void Open(const std::string& text, int style, const std::string& title, Answered answered = {});
};

// Remembers every box instead of showing it and answers with the default
// button of its style (what pressing Enter would choose). With a file path it also appends one line per box to that file:
// the style, a tab, the title, a tab and the text with CR and LF written as
// "\r" and "\n", so scripts can check what an operator would have seen.
class RecordingMessageBox final : public MessageBox {
public:
  struct Shown {
    std::string text;
    int style;
    std::string title;
  };

  RecordingMessageBox() = default;
  explicit RecordingMessageBox(std::string recordFile) : recordFile_(std::move(recordFile)) {}

  int Show(const std::string& text, int style, const std::string& title) override;
  void Open(const std::string& text, int style, const std::string& title, Answered answered = {}) override;

  const std::vector<Shown>& shown() const noexcept { return shown_; }
  // How many of the boxes were shown by Show, whose caller waits for the
  // answer (on a screen, nothing else runs meanwhile).
  size_t waitedFor() const noexcept { return waitedFor_; }
  void clear() {
    shown_.clear();
    waitedFor_ = 0;
  }

  // The default button of a style: what pressing Enter would choose. It is
  // the first button, except that Abort, Retry and Ignore default to Retry:
  // Enter never aborts.
  static int DefaultAnswer(int style);

private:
  int Record(const std::string& text, int style, const std::string& title);

  std::string recordFile_;
  size_t waitedFor_ = 0;
  std::vector<Shown> shown_;
};

// What a box says also goes to a stream (stderr in the programs), so a box on a
// screen nobody watches is still read in the terminal or the journal: one line
// "tarvex: <title>: <text>", with the text's line breaks as " / ".
class EchoedMessageBox final : public MessageBox {
public:
  EchoedMessageBox(std::unique_ptr<MessageBox> box, std::ostream& echo) : box_(std::move(box)), echo_(echo) {}

  int Show(const std::string& text, int style, const std::string& title) override;
  void Open(const std::string& text, int style, const std::string& title, Answered answered = {}) override;

private:
  void Echo(const std::string& text, const std::string& title);

  std::unique_ptr<MessageBox> box_;
  std::ostream& echo_;
};

}  // namespace tarvex
