// The database request service over a serial line under a device that asks
// faster than it is answered: every queue stays bounded, and nothing the
// device sent whole is thrown away unserved while there is room for it.
#include <gtest/gtest.h>

#include <QSqlDatabase>
#include <QStringList>

#include "engine/commands/client_command_step.h"
#include "engine/database/serial_db_request.h"
#include "platform/opc/opc_item_store.h"
#include "tests/support/database_fixture.h"
#include "tests/support/serial_db_request_step_fixture.h"

namespace tarvex {
namespace {

using test::DatabaseFolder;
using test::RunOn;
using test::ValueOn;

class SerialDBService : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(f.pty.ok());
    file = folder.Path("weights.db");
    RunOn(file, {"CREATE TABLE tickets (id INTEGER PRIMARY KEY, truck TEXT, note TEXT)",
                 "INSERT INTO tickets VALUES (7, 'TRK-7', printf('%.2000c', 'n'))"});
  }
  void TearDown() override { EXPECT_EQ(QSqlDatabase::connectionNames(), QStringList()); }

  std::string Request(const std::string& query) const { return "/DBNAME=" + file + "!/QUERY=" + query + "!\r\n"; }
  std::vector<std::string> ErrorLines(const std::string& containing) const {
    std::vector<std::string> found;
    for (const auto& line : f.log.lines) {
      if (line.kind == LogKind::Error && line.text.find(containing) != std::string::npos) found.push_back(line.text);
    }
    return found;
  }
  int Rows() const { return ValueOn(file, "SELECT count(*) FROM tickets").toInt(); }
  // Ticks the transmit timer and reads the far end until `size` bytes came.
  std::string Drained(size_t size) {
    std::string sent;
    for (int round = 0; round < 10000 && sent.size() < size; ++round) {
      for (int tick = 0; tick < 64; ++tick) f.timer.TxTimer_Timer(SerialDBFixture::Interval);
      f.ports[0].FateOf(f.ports[0].OutputEnd());  // hands the port's queue on
      sent += f.pty.Receive(1);
    }
    return sent;
  }
  // Sends the text in pieces the line takes (a terminal's input holds 4 KiB),
  // with a pass after each.
  void SendInPieces(const std::string& text) {
    for (size_t at = 0; at < text.size(); at += 2800) {
      f.DeviceSends(text.substr(at, 2800));
      f.dbPass.Timer1_Timer();
    }
  }

  DatabaseFolder folder;
  std::string file;
  SerialDBFixture f;
};

TEST_F(SerialDBService, RepliesThatDoNotFitTheTransmitBufferAreDroppedWholeWithOneLinePerEpisode) {
  const std::string select = Request("SELECT note FROM tickets WHERE id = 7");  // a reply of about 2 KiB
  // Twice as many requests as 64 KiB of replies hold, and no tick between.
  for (int burst = 0; burst < 8; ++burst) {
    std::string lines;
    for (int k = 0; k < 8; ++k) lines += select;
    f.DeviceSends(lines);
    for (int k = 0; k < 8; ++k) f.dbPass.Timer1_Timer();
  }
  EXPECT_LE(f.engine.TxBuffer[0].size(), TransmitQueue::Limit);
  EXPECT_GT(f.engine.TxBuffer[0].size(), TransmitQueue::Limit - 2100);
  EXPECT_EQ(ErrorLines("Transmit buffer full: ").size(), 1u);

  // What leaves is whole reply blocks only.
  const size_t waiting = f.engine.TxBuffer[0].size();
  const std::string sent = Drained(waiting);
  ASSERT_EQ(sent.size(), waiting);
  const std::string block = "\"COUNT=1\"\n\"" + std::string(2000, 'n') + "\"\n\"12/09/26\"\n\"14:05:03\"\n\"!\"\n";
  ASSERT_EQ(sent.size() % block.size(), 0u);
  for (size_t at = 0; at < sent.size(); at += block.size()) EXPECT_EQ(sent.compare(at, block.size(), block), 0) << at;

  // A reply that fits ends the episode; the next overflow is told again.
  f.DeviceSends(select);
  f.dbPass.Timer1_Timer();
  EXPECT_EQ(f.engine.TxBuffer[0].size(), block.size());
  for (int burst = 0; burst < 5; ++burst) {
    std::string lines;
    for (int k = 0; k < 8; ++k) lines += select;
    f.DeviceSends(lines);
    for (int k = 0; k < 8; ++k) f.dbPass.Timer1_Timer();
  }
  EXPECT_EQ(ErrorLines("Transmit buffer full: ").size(), 2u);
}

TEST_F(SerialDBService, AClientCommandIsNotStarvedByADeviceThatKeepsAsking) {
  // The device asks again as soon as each reply is on its way, so that a
  // reply is always being paced out: the client's command still goes, once
  // the replies already queued have left, and the requests wait meanwhile.
  OpcItemStore items;
  ScanSurroundings services = f.Own();
  ClientCommandStep commands{services, items};
  f.steps.during["commands"] = [&](int32_t ch) { commands.Serve(ch); };
  f.config.Channels[0].Bidirectional = true;
  CommandEntry& entry = f.config.Protocols[0].Commands[0];
  entry.ProtocolCommands = {"CMD~", "Print", "1"};
  entry.CommandEnabled = true;
  const std::string select = Request("SELECT truck FROM tickets WHERE id = 7");
  std::string sent;
  auto passes = [&](int count) {
    for (int pass = 0; pass < count && f.window.ClientCmdStat[0] == 0; ++pass) {
      if (f.engine.RxBuffer[0].empty()) f.DeviceSends(select);
      f.dbPass.Timer1_Timer();
      for (int tick = 0; tick < 8; ++tick) f.timer.TxTimer_Timer(SerialDBFixture::Interval);
      f.ports[0].FateOf(f.ports[0].OutputEnd());
      sent += f.pty.ReceiveFor(std::chrono::milliseconds(1));
    }
  };
  passes(5);
  ASSERT_FALSE(f.engine.TxBuffer[0].empty()) << "replies are being paced out";
  f.window.ClientCmd[0] = 1;
  f.window.ClientCmdParm[0] = 7;
  f.window.ClientCmdStat[0] = 0;
  passes(200);
  EXPECT_EQ(f.window.ClientCmdStat[0], 101);
  sent += f.Transmitted(0);
  sent += f.pty.ReceiveFor(std::chrono::milliseconds(50));
  const size_t command = sent.find("CMD7");
  ASSERT_NE(command, std::string::npos) << sent.substr(0, 200);
  EXPECT_TRUE(sent.substr(0, command).ends_with("\"!\"\n")) << "between two reply blocks, not inside one";
}

TEST_F(SerialDBService, CompleteRequestLinesOfAnOverfullReadAreAllServedInOrder) {
  // 158 inserts arriving faster than one per pass: well over the 8 KiB a
  // single line may hold wait in the buffer.
  std::string lines;
  for (int k = 0; k < 158; ++k) lines += Request("INSERT INTO tickets (truck) VALUES ('T" + std::to_string(k) + "')");
  SendInPieces(lines);
  EXPECT_GT(f.engine.RxBuffer[0].size(), kRxBufferCap);
  for (int pass = 0; pass < 158; ++pass) {
    f.dbPass.Timer1_Timer();
    f.Transmitted(0);
  }
  EXPECT_EQ(Rows(), 1 + 158);
  EXPECT_EQ(ValueOn(file, "SELECT group_concat(truck, ',') FROM (SELECT truck FROM tickets WHERE id > 7 ORDER BY id)")
                .toString()
                .toStdString()
                .substr(0, 12),
            "T0,T1,T2,T3,");
  EXPECT_EQ(ErrorLines("Receive buffer overflow").size(), 0u);
  f.dbPass.Timer1_Timer();
  EXPECT_EQ(Rows(), 1 + 158) << "each ran once";

  // A tail without line feed that outgrows a line is what goes, and the log
  // says so; the line after it is served.
  SendInPieces(std::string(3 * 2800, 'x'));
  f.DeviceSends("\n" + Request("INSERT INTO tickets (truck) VALUES ('after')"));
  f.dbPass.Timer1_Timer();
  f.dbPass.Timer1_Timer();
  EXPECT_EQ(ErrorLines("Receive buffer overflow: "),
            std::vector<std::string>{RxBufferOverflowLogLine(0, 3 * 2800)});
  EXPECT_EQ(ValueOn(file, "SELECT count(*) FROM tickets WHERE truck = 'after'").toInt(), 1);

  // The rest of such a line comes later and ends like a request: it is the
  // tail of the line dropped, not a request, and runs nothing.
  SendInPieces(std::string(3 * 2800, 'x'));
  f.DeviceSends(Request("INSERT INTO tickets (truck) VALUES ('tail')"));
  f.DeviceSends(Request("INSERT INTO tickets (truck) VALUES ('next')"));
  for (int pass = 0; pass < 3; ++pass) f.dbPass.Timer1_Timer();
  EXPECT_EQ(ValueOn(file, "SELECT count(*) FROM tickets WHERE truck = 'tail'").toInt(), 0);
  EXPECT_EQ(ValueOn(file, "SELECT count(*) FROM tickets WHERE truck = 'next'").toInt(), 1);
  EXPECT_EQ(ErrorLines("Receive buffer overflow: ").size(), 2u) << "one line for each over-long line";
}

}  // namespace
}  // namespace tarvex
