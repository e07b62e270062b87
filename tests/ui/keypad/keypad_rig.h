#pragma once
// The keypad over an in-process terminal network with six nodes, this
// process registered as the scan engine leaves it, a message box that answers
// as the test says and a program end that only records.
#include <deque>
#include <string>
#include <vector>

#include "platform/message_box.h"
#include "platform/terminal_net/terminal_simulator.h"
#include "tests/support/recording_log.h"
#include "tests/support/operator_window_rig.h"
#include "ui/keypad/zel_api32.h"
#include "ui/keypad/zelvar_window.h"

namespace tarvex::test {

class AnsweringMessageBox final : public MessageBox {
public:
  int Show(const std::string& text, int style, const std::string& title) override {
    shown.push_back({text, style, title});
    if (answers.empty()) return MsgBoxResult::Ignore;
    const int answer = answers.front();
    answers.pop_front();
    return answer;
  }
  std::deque<int> answers;
  std::vector<RecordingMessageBox::Shown> shown;
};

class RecordingProcessEnd final : public ProcessEnd {
public:
  void End(int status) override { ends.push_back(status); }
  std::vector<int> ends;
};

struct KeypadRig : OperatorWindowRig {
  KeypadRig() {
    for (const char* node : {"1", "2", "3", "4", "5", "6"}) network.AddNode(node);
    net.ZelRegisterProcess(1);
    network.ClearCallLog();
  }

  TerminalSimulator network;
  SimulatedTerminalNet net{network};
  AnsweringMessageBox box;
  RecordingProcessEnd processEnd;
  RecordingLog log;
  int16_t ZelApiResult = 0;
  ZelApi32 api{ZelApi32Services{net, box, ZelApiResult, processEnd, log}};
  ZelvarWindow keypad{api, main};
};

}  // namespace tarvex::test
