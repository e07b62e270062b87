#pragma once
#include <memory>

#include "message_box.h"

namespace tarvex {

// A modal QMessageBox with the icon and buttons of the style. On a platform
// without a visible screen (offscreen, minimal) it answers at once as a box
// closed unanswered does (OK, else Cancel, No or Ignore) instead of waiting
// where nobody can see it: no retry loop, no abort, no agreement nobody gave.
class QtMessageBox final : public MessageBox {
public:
  int Show(const std::string& text, int style, const std::string& title) override;
};

// The message box of a running program: the recording one when the environment
// variable TARVEX_MESSAGE_BOXES names a record file (scripts and tests never
// wait on a modal box), the real one otherwise; either echoed to stderr.
std::unique_ptr<MessageBox> MakeMessageBox();

}  // namespace tarvex
