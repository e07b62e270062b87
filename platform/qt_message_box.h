#pragma once
#include <memory>
#include <vector>

#include "message_box.h"

class QWidget;
class QMessageBox;

namespace tarvex {

// A QMessageBox with the icon and buttons of the style. On a platform without
// a visible screen (offscreen, minimal) it answers at once as a box closed
// unanswered does (OK, else Cancel, No or Ignore) instead of waiting where
// nobody can see it: no retry loop, no abort, no agreement nobody gave.
//
// Where it opens: a box belongs to the program's window the operator is using
// (the active one), opens above it and takes the focus; it is kept on top
// when that window, or any shown window of the program, is kept on top, so a
// stay-on-top keypad or dialog never hides it. Only its owner waits for it.
// The default button is the first one, except that Abort, Retry and Ignore
// default to Retry; Escape and the frame's close answer the last button. A box
// that says what an open one says is not opened again: the open one comes to
// the front and its answer goes to both callers.
class QtMessageBox final : public MessageBox {
public:
  QtMessageBox() = default;
  QtMessageBox(const QtMessageBox&) = delete;
  QtMessageBox& operator=(const QtMessageBox&) = delete;
  // Boxes still open are taken down unanswered.
  ~QtMessageBox() override;

  int Show(const std::string& text, int style, const std::string& title) override;
  void Open(const std::string& text, int style, const std::string& title, Answered answered = {}) override;

private:
  std::vector<QMessageBox*> open_;
};

// True, once, when the window's activation is its coming back from one of the
// program's own boxes it owned (the box was answered a moment ago); false
// for an activation by the operator. Windows that reset themselves on
// activation ask this first.
bool ReturnsFromProgramBox(QWidget* window);

// The message box of a running program: the recording one when the environment
// variable TARVEX_MESSAGE_BOXES names a record file (scripts and tests never
// wait on a modal box), the real one otherwise; either echoed to stderr.
std::unique_ptr<MessageBox> MakeMessageBox();

}  // namespace tarvex
