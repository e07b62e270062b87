// The virtual terminal keypad: what each action sends to the terminal
// network, what a failed send asks and does, and the window's life.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>

#include "platform/terminal_net/result_codes.h"
#include "tests/ui/keypad/keypad_rig.h"

namespace tarvex::test {
namespace {

// A PC key typed on the display: its key code, then the character it
// produces (none for a function key).
struct PcKey {
  int keyCode;
  int character;
};
const std::map<std::string, PcKey>& PcKeys() {
  static const std::map<std::string, PcKey> keys = {
      {"Enter", {13, 13}}, {"Esc", {27, 27}}, {"Backspace", {8, 8}}, {"a", {65, 97}}, {"7", {55, 55}},
      {"F1", {112, -1}},   {"F2", {113, -1}}, {"F3", {114, -1}},     {"F4", {115, -1}}, {"F5", {116, -1}},
      {"F6", {117, -1}},   {"F7", {118, -1}}, {"F8", {119, -1}},     {"F9", {120, -1}}, {"F10", {121, -1}},
      {"F11", {122, -1}},  {"F12", {123, -1}},
  };
  return keys;
}

// "Z3" chooses node 3, "click Key_7" clicks a drawn key, "type Enter" types a
// PC key on the display.
void Act(ZelvarWindow& keypad, const std::string& action) {
  if (action.size() == 2 && action[0] == 'Z') {
    keypad.Option1_Click(action[1] - '1');
  } else if (action.rfind("click ", 0) == 0) {
    keypad.Key_Click(action.substr(6));
  } else if (action.rfind("type ", 0) == 0) {
    const PcKey key = PcKeys().at(action.substr(5));
    keypad.Picture1_KeyDown(key.keyCode, 0);
    if (key.character >= 0) keypad.Picture1_KeyPress(key.character);
  } else {
    FAIL() << "unknown action " << action;
  }
}

using Sent = std::vector<ReceivedKeystroke>;

TEST(KeypadTest, eachActionSendsItsCodesToTheChosenNode) {
  const struct {
    const char* legend;
    std::vector<std::string> actions;
    Sent sent;
  } rows[] = {
      {"no node chosen sends nothing", {"click Key_7", "type Enter", "type F9"}, {}},
      {"Z3 and the drawn 7", {"Z3", "click Key_7"}, {{3, 0, 55}}},
      {"Enter: key-down then character", {"Z2", "type Enter"}, {{2, 0, 8}, {2, 0, 13}}},
      {"a letter: its character only", {"Z1", "type a"}, {{1, 0, 97}}},
      {"F9: key-down only", {"Z4", "type F9"}, {{4, 0, 4}}},
      {"Esc", {"Z1", "type Esc"}, {{1, 0, 2}, {1, 0, 27}}},
      {"the first Backspace switches to mode 1 for good",
       {"Z5", "click Key_1", "type Backspace", "click Key_1"},
       {{5, 0, 49}, {5, 1, 6}, {5, 1, 8}, {5, 1, 49}}},
      {"the function keys",
       {"Z6", "type F1", "type F2", "type F3", "type F4", "type F5", "type F6", "type F7", "type F8", "type F10",
        "type F11", "type F12"},
       {{6, 0, 19}, {6, 0, 20}, {6, 0, 21}, {6, 0, 22}, {6, 0, 7}, {6, 0, 1}, {6, 0, 5}, {6, 0, 6}, {6, 0, 3},
        {6, 0, 23}, {6, 0, 24}}},
      {"a later choice moves the keys", {"Z1", "click Key_0", "Z6", "click Key_0"}, {{1, 0, 48}, {6, 0, 48}}},
  };
  for (const auto& row : rows) {
    KeypadRig rig;
    rig.keypad.Show();
    for (const std::string& action : row.actions) Act(rig.keypad, action);
    EXPECT_EQ(rig.network.Keystrokes(), row.sent) << row.legend;
    EXPECT_TRUE(rig.box.shown.empty()) << row.legend;
  }
}

TEST(KeypadTest, everyDrawnKeySendsItsCode) {
  KeypadRig rig;
  rig.keypad.Option1_Click(0);
  Sent expected;
  for (const DrawnKey& key : DrawnKeys) {
    rig.keypad.Key_Click(key.control);
    expected.push_back({1, 0, key.code});
  }
  EXPECT_EQ(rig.network.Keystrokes(), expected);
  const std::vector<int16_t> codes = {48, 49, 50, 51, 52, 53, 54, 55, 56, 57, 46, 32, 1, 2, 3, 4, 5, 6, 7, 8};
  for (size_t i = 0; i < codes.size(); ++i) EXPECT_EQ(DrawnKeys[i].code, codes[i]) << DrawnKeys[i].control;
  EXPECT_EQ(DrawnKeys.back().caption, "    <->");
}

TEST(KeypadTest, aFailedSendAsksTheOperatorAndRetryOrIgnoreDropsTheKey) {
  for (int answer : {MsgBoxResult::Retry, MsgBoxResult::Ignore}) {
    KeypadRig rig;
    rig.keypad.Show();
    rig.keypad.Option1_Click(2);
    rig.network.FailNextKeystrokes(1, WSAECONNRESET);
    rig.box.answers = {answer};

    rig.keypad.Key_Click("Key_7");
    ASSERT_EQ(rig.box.shown.size(), 1u) << answer;
    EXPECT_EQ(rig.box.shown[0].title, "Winsock Error");
    EXPECT_EQ(rig.box.shown[0].style, 50);
    EXPECT_EQ(rig.api.Values().ErrorBoxAnswer, answer);
    EXPECT_EQ(rig.ZelApiResult, WSAECONNRESET);
    // Nothing resent, the keypad open, the program running.
    EXPECT_TRUE(rig.network.Keystrokes().empty());
    EXPECT_TRUE(rig.keypad.Controls().Visible);
    EXPECT_TRUE(rig.processEnd.ends.empty());
    EXPECT_TRUE(rig.network.Registered());

    rig.keypad.Key_Click("Key_8");
    EXPECT_EQ(rig.network.Keystrokes(), (Sent{{3, 0, 56}}));
    EXPECT_EQ(rig.ZelApiResult, 0);
  }
}

TEST(KeypadTest, abortClosesTheRegistrationAndEndsTheProgram) {
  KeypadRig rig;
  rig.keypad.Option1_Click(0);
  rig.network.FailNextKeystrokes(1, ZEL_BAD_CONNECT);
  rig.box.answers = {MsgBoxResult::Abort};
  rig.keypad.Key_Click("Key_1");
  EXPECT_EQ(rig.api.Values().ErrorBoxAnswer, MsgBoxResult::Abort);
  EXPECT_FALSE(rig.network.Registered());
  EXPECT_EQ(rig.network.CallLog().back().operation, "close");
  EXPECT_EQ(rig.processEnd.ends, std::vector<int>{AbortExitStatus});
}

// Ends the process at once, as the program's own end does, telling the
// parent what the network saw last.
class ExitingProcessEnd final : public ProcessEnd {
public:
  explicit ExitingProcessEnd(TerminalSimulator& network) : network_(network) {}
  void End(int status) override {
    std::fprintf(stderr, "registered=%d last=%s\n", network_.Registered() ? 1 : 0,
                 network_.CallLog().back().operation.c_str());
    std::fflush(stderr);
    std::_Exit(status);
  }

private:
  TerminalSimulator& network_;
};

// In the child: a failed send answered with Abort. Returning would be a fault.
void AbortAFailedSend() {
  KeypadRig rig;
  ExitingProcessEnd exiting(rig.network);
  ZelApi32 api{ZelApi32Services{rig.net, rig.box, rig.ZelApiResult, exiting, rig.log}};
  ZelvarWindow keypad{api, rig.main};
  keypad.Show();
  keypad.Option1_Click(1);
  rig.network.FailNextKeystrokes(1, WSAEHOSTDOWN);
  rig.box.answers = {MsgBoxResult::Abort};
  keypad.Key_Click("Key_5");
  std::fprintf(stderr, "still running\n");
  std::exit(3);
}

TEST(KeypadDeathTest, abortEndsTheProcessAtOnceWithTheRegistrationClosed) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(AbortAFailedSend(), ::testing::ExitedWithCode(AbortExitStatus), "registered=0 last=close\n$");
}

TEST(KeypadTest, captionFollowsTheChannelAndTheChosenNodeSurvivesCloseAndReopening) {
  KeypadRig rig;
  rig.values.SelectedChannel = 2;
  rig.keypad.Show();
  EXPECT_EQ(rig.keypad.Controls().Caption, " Tarvex Channel 3  Virtual Zelvar...");
  rig.keypad.Option1_Click(3);
  rig.values.DetailOpen[7] = true;

  rig.keypad.cmdClose_Click();
  EXPECT_EQ(rig.trace, (std::vector<std::string>{"buttons enabled", "focus cmdDetail(2)"}));
  EXPECT_FALSE(rig.keypad.Controls().Visible);
  EXPECT_FALSE(rig.values.DetailOpen[7]);

  rig.values.SelectedChannel = 9;
  rig.keypad.Show();
  EXPECT_EQ(rig.keypad.Controls().Caption, " Tarvex Channel 10  Virtual Zelvar...");
  EXPECT_TRUE(rig.keypad.Controls().Option1[3]);
  rig.keypad.Key_Click("Key_2");
  EXPECT_EQ(rig.network.Keystrokes(), (Sent{{4, 0, 50}}));
}

class FixedScreenView final : public ZelvarView {
public:
  void Render(const ZelvarControls& controls) override { renders.push_back(controls); }
  void FocusDisplay() override { ++focus; }
  int ScreenWidth() const override { return screenWidth; }
  int ScreenHeight() const override { return 768; }
  int WindowWidth() const override { return 401; }
  int WindowHeight() const override { return 300; }
  int screenWidth = 1024;
  std::vector<ZelvarControls> renders;
  int focus = 0;
};

TEST(KeypadTest, loadCentresTheWindowOnceAndEverySuccessfulSendKeepsTheDisplayFocused) {
  KeypadRig rig;
  FixedScreenView view;
  rig.keypad.AttachView(&view);
  rig.keypad.Show();
  EXPECT_EQ(rig.keypad.Controls().Left, (1024 - 401) / 2);
  EXPECT_EQ(rig.keypad.Controls().Top, (768 - 300) / 2);
  // Only hidden and shown again afterwards: the place stays.
  rig.keypad.cmdClose_Click();
  view.screenWidth = 800;
  rig.keypad.Show();
  EXPECT_EQ(rig.keypad.Controls().Left, (1024 - 401) / 2);

  rig.keypad.Option1_Click(0);
  const int before = view.focus;
  rig.keypad.Key_Click("Key_3");
  EXPECT_EQ(view.focus, before + 1);
  rig.network.FailNextKeystrokes(1, ZEL_BAD_CONNECT);
  rig.keypad.Key_Click("Key_3");
  EXPECT_EQ(view.focus, before + 1);
}

TEST(KeypadTest, unloadClosesTheRegistration) {
  KeypadRig rig;
  rig.keypad.Form_Unload();
  EXPECT_FALSE(rig.network.Registered());
  EXPECT_EQ(rig.ZelApiResult, 0);
}

}  // namespace
}  // namespace tarvex::test
