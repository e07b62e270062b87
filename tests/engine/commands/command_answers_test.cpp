// What a client hears about its command, by the state of the scale's line:
// "taken" (+100) only once the scale's port has taken the bytes, "not taken"
// (+1000) when they never will, and exactly one answer either way.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/commands_fixture.h"

namespace tarvex {
namespace {

constexpr int32_t Scale = 5;
constexpr int32_t Ch = 1;

// Fills the pseudo-terminal until its device side takes nothing more; the
// rest waits in the port's output queue.
void FillTheLine(SerialPort& port) { port.Output(std::string(256 * 1024, 'x')); }

struct LineCase {
  const char* legend;
  std::function<void(CommandsFixture&, PtyPair&)> lineState;  // before the command
  int32_t command;
  std::vector<int32_t> answers;  // every status a CUpdate carried, in order
  bool errorLine;                // one error-log line names the command
  bool commandReachesTheScale;
};

TEST(CommandAnswers, EachCommandGetsOneTrueAnswerWhateverTheLineDoes) {
  using namespace std::chrono_literals;
  const std::vector<LineCase> rows = {
      {"accepting", [](CommandsFixture&, PtyPair&) {}, 1, {101}, false, true},
      {"stalled longer than the command bound: refused at once",
       [](CommandsFixture& f, PtyPair&) {
         FillTheLine(f.ports[Ch]);
         ASSERT_TRUE(testing::WaitUntil([&] { return f.ports[Ch].OutputWaiting() >= CommandStallLimit; }));
       },
       1, {1001}, true, false},
      {"stalled 2 s after the command was queued: told when the queue is dropped",
       [](CommandsFixture& f, PtyPair&) { FillTheLine(f.ports[Ch]); }, 1, {1001}, false, false},
      {"unplugged", [](CommandsFixture&, PtyPair& pty) { pty.CloseOtherSide(); }, 1, {1001}, false, false},
      {"unknown command", [](CommandsFixture&, PtyPair&) {}, 9, {1009}, false, false},
  };
  for (const LineCase& row : rows) {
    SCOPED_TRACE(row.legend);
    CommandsFixture f;
    PtyPair pty;
    ASSERT_TRUE(pty.ok());
    f.SerialChannel(Ch, Scale, pty);
    f.Command(Scale, 0, "CMD~", "Print", "1");
    std::vector<int32_t> answers;
    f.devices.At(Ch)->SubscribeCUpdate([&](Device& device) {
      if (device.CCmd() == 0 && device.CCmdStat() != 0) answers.push_back(device.CCmdStat());
    });
    row.lineState(f, pty);
    f.DeviceCommand(Ch, row.command, 7);

    // Passes until the answer, and on for a while after it: the client may
    // leave its command as it is, or send it again with status 0 (it must not
    // be answered twice, nor re-sent behind its own back).
    const auto deadline = std::chrono::steady_clock::now() + 4s;
    int passesAfter = 0;
    while (std::chrono::steady_clock::now() < deadline && passesAfter < 5) {
      f.Pass();
      if (!answers.empty()) ++passesAfter;
      ::poll(nullptr, 0, 5);
    }
    EXPECT_EQ(answers, row.answers);
    const auto errors = f.errorLog.Texts(LogKind::Error);
    const bool named = std::any_of(errors.begin(), errors.end(), [](const std::string& line) {
      return line.starts_with("Channel: 2  Command 1 not sent: the port has taken no output for ");
    });
    EXPECT_EQ(named, row.errorLine);
    if (row.commandReachesTheScale) {
      EXPECT_EQ(pty.Receive(4), "CMD7");
    }
  }
}

// A scale channel whose port holds a backlog the scale has not read yet.
class CommandBehindABacklog : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(pty.ok());
    f.SerialChannel(Ch, Scale, pty);
    f.Command(Scale, 0, "CMD~", "Print", "1");
    f.Command(Scale, 1, "TAR~", "Tare", "2");
    f.ports[Ch].Output(backlog);
  }
  // The scale reads its line while passes run, until the client is answered.
  bool ReadUntilAnswered() {
    return testing::WaitUntil([&] {
      read += pty.ReceiveFor(std::chrono::milliseconds(5));
      f.Pass();
      return f.window.ClientCmdStat[Ch] != 0;
    });
  }
  // Reads on until the backlog and `more` bytes after it have come.
  void ReadTheRest(size_t more) { read += pty.Receive(backlog.size() + more - read.size()); }

  CommandsFixture f;
  PtyPair pty;
  const std::string backlog = std::string(256 * 1024, 'x');
  std::string read;  // what the scale received
};

TEST_F(CommandBehindABacklog, ACommandIsTakenOnlyOnceItsBytesHaveLeft) {
  f.DeviceCommand(Ch, 1, 7);
  f.Pass();
  EXPECT_EQ(f.window.ClientCmd[Ch], 1) << "no answer while the text waits in the queue";
  EXPECT_EQ(f.window.ClientCmdStat[Ch], 0);
  f.Pass();
  EXPECT_EQ(f.window.ClientCmdStat[Ch], 0);

  // The scale reads its line empty: the backlog, then the command once.
  ASSERT_TRUE(ReadUntilAnswered());
  EXPECT_EQ(f.window.ClientCmd[Ch], 0);
  EXPECT_EQ(f.window.ClientCmdStat[Ch], 101);
  ReadTheRest(4);
  EXPECT_EQ(read.size(), backlog.size() + 4);
  EXPECT_TRUE(read.ends_with("xCMD7")) << "the command once, after the backlog";
  EXPECT_EQ(f.errorLog.Texts(LogKind::ActiveX).size(), 1u);
}

TEST_F(CommandBehindABacklog, ASlowLineThatKeepsTakingBytesIsNotTakenForAStalledOne) {
  // A scale at 1200 baud takes a long queue slowly but steadily; between the
  // port's own wake-ups its queue may sit unchanged longer than the command
  // bound while the device has room again. Such a line is not stalled.
  // The scale reads its line for longer than the command bound, well inside
  // the port's own 2 s stall limit; nothing calls on the port meanwhile.
  read = pty.ReceiveFor(CommandStallLimit + std::chrono::milliseconds(200));
  ASSERT_FALSE(read.empty());
  f.DeviceCommand(Ch, 1, 7);

  ASSERT_TRUE(ReadUntilAnswered());
  EXPECT_EQ(f.window.ClientCmdStat[Ch], 101);
  EXPECT_TRUE(f.errorLog.Texts(LogKind::Error).empty());
  ReadTheRest(4);
  EXPECT_TRUE(read.ends_with("xCMD7"));
}

TEST_F(CommandBehindABacklog, AClientThatReplacesItsWaitingCommandIsAnsweredForTheNewOne) {
  // The client gave up on its first command while its bytes waited, and put
  // another in its place: the answer it gets is the new command's, and the
  // new command is sent, not swallowed by the old one's answer.
  f.DeviceCommand(Ch, 1, 7);
  f.Pass();
  ASSERT_EQ(f.window.ClientCmdStat[Ch], 0) << "the first command waits behind the backlog";
  f.DeviceCommand(Ch, 2, 8);

  ASSERT_TRUE(ReadUntilAnswered());
  EXPECT_EQ(f.window.ClientCmd[Ch], 0);
  EXPECT_EQ(f.window.ClientCmdStat[Ch], 102);
  ReadTheRest(8);
  EXPECT_TRUE(read.ends_with("xCMD7TAR8")) << "the first command's bytes had gone out already; the second follows";
}

TEST_F(CommandBehindABacklog, ACommandWaitingWhenThePortIsClosedAndOpenedAgainIsAnsweredNotTakenOnce) {
  // Setup or a channel's re-initialisation closes the port under a waiting
  // command and opens it again: the command's bytes went with the queue, and
  // the client hears so once; nothing of it reaches the scale afterwards.
  f.DeviceCommand(Ch, 1, 7);
  std::vector<int32_t> answers;
  f.devices.At(Ch)->SubscribeCUpdate([&](Device& device) {
    if (device.CCmd() == 0 && device.CCmdStat() != 0) answers.push_back(device.CCmdStat());
  });
  f.Pass();
  ASSERT_TRUE(answers.empty()) << "waits behind the backlog";

  f.ports[Ch].SetPortOpen(false);
  f.ports[Ch].SetPortOpen(true);
  for (int pass = 0; pass < 5; ++pass) f.Pass();
  EXPECT_EQ(answers, std::vector<int32_t>{1001});
  read = pty.ReceiveFor(std::chrono::milliseconds(200));
  EXPECT_EQ(read.find("CMD7"), std::string::npos) << "the dropped command is not sent after all";
  EXPECT_TRUE(f.errorLog.Texts(LogKind::Error).empty());
}

TEST(CommandAnswers, TheOPCClientIsToldWhenItsCommandIsDroppedWithTheQueue) {
  CommandsFixture f;
  PtyPair pty;
  ASSERT_TRUE(pty.ok());
  f.SerialChannel(Ch, Scale, pty);
  f.config.Channels[Ch].OPCEnabled = true;
  for (int position = 0; position < 7; ++position) f.items.AddItem(Ch, position, "Tag" + std::to_string(position));
  f.Command(Scale, 0, "CMD~", "Print", "3");
  FillTheLine(f.ports[Ch]);
  f.items.SetItemValue(Ch, OPCCommandItem::Cmd, 3);
  f.items.SetItemValue(Ch, OPCCommandItem::CmdStat, 0);

  std::vector<double> statuses;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(4);
  while (std::chrono::steady_clock::now() < deadline && f.items.ItemValue(Ch, OPCCommandItem::Cmd) != 0) {
    f.Pass();
    statuses.push_back(*f.items.ItemValue(Ch, OPCCommandItem::CmdStat));
    ::poll(nullptr, 0, 5);
  }
  ASSERT_FALSE(statuses.empty());
  EXPECT_EQ(statuses.back(), 1003);
  statuses.pop_back();
  EXPECT_TRUE(std::all_of(statuses.begin(), statuses.end(), [](double s) { return s == 0; }))
      << "never answered taken on the way";
}

TEST(CommandAnswers, OnADatabaseChannelACommandWaitsBehindTheReplyBeingPacedOut) {
  CommandsFixture f;
  PtyPair pty;
  ASSERT_TRUE(pty.ok());
  constexpr int32_t Database = 0;
  f.SerialChannel(Ch, Database, pty);
  f.Command(Database, 0, "CMD~", "Print", "1");
  f.engine.TxBuffer[Ch] = "\"EXECUTED\"\n\"!\"\n";
  f.DeviceCommand(Ch, 1, 7);

  f.Pass();
  EXPECT_EQ(f.window.ClientCmd[Ch], 1) << "pending behind the reply";
  EXPECT_EQ(f.window.ClientCmdStat[Ch], 0);

  // The transmit timer paces the reply out; then the command goes.
  while (!f.engine.TxBuffer[Ch].empty()) {
    f.ports[Ch].Output(std::string(1, f.engine.TxBuffer[Ch].front()));
    f.engine.TxBuffer[Ch].Drop(1);
    f.Pass();
  }
  f.Pass();
  EXPECT_EQ(f.window.ClientCmdStat[Ch], 101);
  EXPECT_EQ(pty.Receive(15 + 4), "\"EXECUTED\"\n\"!\"\nCMD7");
}

TEST(CommandAnswers, AParameterReachesTheScaleInPlainDigitsNeverInExponentForm) {
  struct Row {
    const char* definition;
    double parameter;
    std::string bytes;  // empty: refused, nothing sent
  };
  const Row rows[] = {
      {"T~~~~~", 1e15, ""},       // sixteen digits do not fit five
      {"T~~~~~", 1e-7, "T"},      // rounded to no decimals: a zero "#" shows nothing
      {"T~~~~~~~", 1.5e-5, "T.000015"},
      {"T~~~~~~~~", 2.5e-6, "T.0000025"},
      {"T~~~~~~~~~~~~~~~~~~~~~~", 1e21, "T1000000000000000000000"},
      {"T~~~~~~~~~~~~~~~~~~~~~~", -1.25e20, "T-125000000000000000000"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.definition) + " with " + ParameterText(row.parameter));
    CommandsFixture f;
    PtyPair pty;
    ASSERT_TRUE(pty.ok());
    f.SerialChannel(Ch, Scale, pty);
    f.Command(Scale, 0, row.definition, "Tare", "3");
    f.DeviceCommand(Ch, 3, row.parameter);
    f.Pass();
    if (row.bytes.empty()) {
      EXPECT_EQ(f.window.ClientCmdStat[Ch], 1003);
      EXPECT_EQ(f.errorLog.Texts(LogKind::Error).size(), 1u);
      f.ports[Ch].Output("#");
      EXPECT_EQ(pty.Receive(1), "#");
    } else {
      EXPECT_EQ(f.window.ClientCmdStat[Ch], 103);
      EXPECT_EQ(pty.Receive(row.bytes.size()), row.bytes);
    }
  }
}

}  // namespace
}  // namespace tarvex
