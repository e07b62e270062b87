#pragma once
// A message box that stays open until the test answers it, as an operator
// answers a box on the screen some time later. A box that would wait for its
// answer inside the call that opened it fails the test.
#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "platform/run_time_error.h"
#include "platform/message_box.h"

namespace tarvex::test {

class WaitingBox final : public MessageBox {
public:
  int Show(const std::string&, int, const std::string&) override {
    ADD_FAILURE() << "a box that waits for its answer";
    return MsgBoxResult::Ignore;
  }
  void Open(const std::string& text, int style, const std::string& title, Answered answered) override {
    if (failing) throw RunTimeError(7, "Out of memory");
    shown.push_back({text, style, title});
    waiting.push_back(std::move(answered));
  }
  // Answers the oldest box still open.
  void Answer(int answer) {
    ASSERT_FALSE(waiting.empty());
    Answered answered = std::move(waiting.front());
    waiting.pop_front();
    if (answered) answered(answer);
  }
  std::vector<RecordingMessageBox::Shown> shown;
  std::deque<Answered> waiting;
  // Open raises, as a box that cannot be made does.
  bool failing = false;
};

}  // namespace tarvex::test
