// The keypad's terminal error box answered later, as an operator does: the
// keypad acts on the answer when it comes, opens no second box while one
// waits, and an Abort ends the manager on record with a status that says so.
#include <gtest/gtest.h>

#include "platform/terminal_net/result_codes.h"
#include "platform/terminal_net/terminal_simulator.h"
#include "tests/support/recording_log.h"
#include "tests/support/waiting_box.h"
#include "ui/keypad/zel_api32.h"

namespace tarvex::test {
namespace {

class NotedEnd final : public ProcessEnd {
public:
  void End(int status) override { ends.push_back(status); }
  std::vector<int> ends;
};

struct Keypad {
  Keypad() {
    network.AddNode("1");
    net.ZelRegisterProcess(1);
    api.Values().VirtualNode = '1';
  }
  bool Send(int16_t code) { return api.SendTerminalKey(code); }

  TerminalSimulator network;
  SimulatedTerminalNet net{network};
  WaitingBox box;
  NotedEnd processEnd;
  RecordingLog log;
  int16_t ZelApiResult = 0;
  ZelApi32 api{ZelApi32Services{net, box, ZelApiResult, processEnd, log}};
};

TEST(KeypadErrorBoxTest, theAnswerIsActedOnWhenItComesAndOnlyAbortEndsTheManagerOnRecord) {
  const struct {
    const char* answer;
    int button;
    std::vector<int> ends;
    std::vector<std::string> log;
  } rows[] = {
      {"Retry", MsgBoxResult::Retry, {}, {}},
      {"Ignore", MsgBoxResult::Ignore, {}, {}},
      {"Abort",
       MsgBoxResult::Abort,
       {AbortExitStatus},
       {"1 Virtual Terminal: Abort in the error box of result code 10061 (WSAECONNREFUSED): Tarvex Manager Ends",
        "5 Tarvex Manager Terminated"}},
  };
  for (const auto& row : rows) {
    Keypad keypad;
    keypad.network.FailNextKeystrokes(1, WSAECONNREFUSED);
    EXPECT_FALSE(keypad.Send(55)) << row.answer;
    ASSERT_EQ(keypad.box.shown.size(), 1u) << row.answer;
    // The box waits: the manager goes on and nothing is decided yet.
    EXPECT_TRUE(keypad.processEnd.ends.empty()) << row.answer;
    EXPECT_TRUE(keypad.network.Registered()) << row.answer;
    EXPECT_TRUE(keypad.api.ErrorBoxOpen()) << row.answer;

    keypad.box.Answer(row.button);
    EXPECT_FALSE(keypad.api.ErrorBoxOpen()) << row.answer;
    EXPECT_EQ(keypad.api.Values().ErrorBoxAnswer, row.button) << row.answer;
    EXPECT_EQ(keypad.processEnd.ends, row.ends) << row.answer;
    EXPECT_NE(AbortExitStatus, 0);
    EXPECT_EQ(keypad.log.Texts(), row.log) << row.answer;
    EXPECT_EQ(keypad.network.Registered(), row.button != MsgBoxResult::Abort) << row.answer;
  }
}

TEST(KeypadErrorBoxTest, failuresWhileTheBoxWaitsOpenNoSecondBox) {
  Keypad keypad;
  keypad.network.FailNextKeystrokes(3, ZEL_BAD_CONNECT);
  for (int16_t code : {49, 50, 51}) EXPECT_FALSE(keypad.Send(code));
  EXPECT_EQ(keypad.box.shown.size(), 1u);
  keypad.box.Answer(MsgBoxResult::Ignore);
  keypad.network.FailNextKeystrokes(1, ZEL_BAD_CONNECT);
  EXPECT_FALSE(keypad.Send(52));
  EXPECT_EQ(keypad.box.shown.size(), 2u) << "a new failure after the answer is asked again";
}

// Scripts and tests that record boxes answer as Enter would: Retry, never Abort.
TEST(KeypadErrorBoxTest, aRecordedTerminalErrorBoxAnswersRetry) {
  RecordingMessageBox box;
  EXPECT_EQ(box.Show("Error Code= ?", MsgBoxStyle::AbortRetryIgnore | MsgBoxStyle::Exclamation, "Unknown Error"),
            MsgBoxResult::Retry);
}

}  // namespace
}  // namespace tarvex::test
