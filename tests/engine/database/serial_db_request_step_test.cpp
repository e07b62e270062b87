// The database request channel on a serial line, end to end: request lines
// sent at a pty's far end, served by the scan pass against a real SQLite file
// (driver 0) or through ODBC with the SQLite driver (driver 1), and the reply
// bytes read at the far end after the transmit timer's ticks.
#include <gtest/gtest.h>

#include <QSqlDatabase>
#include <QStringList>

#include "tests/support/serial_db_request_step_fixture.h"
#include "engine/database/serial_db_request.h"
#include "tests/support/database_fixture.h"

namespace tarvex {
namespace {

using test::DatabaseFolder;
using test::RunOn;
using test::ValueOn;

class SerialDBStep : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(f.pty.ok());
    file = folder.Path("weights.db");
    RunOn(file, {"CREATE TABLE tickets (id INTEGER PRIMARY KEY, truck TEXT, gross REAL, note TEXT)",
                 "INSERT INTO tickets VALUES (7, 'TRK-7', 12340.5, NULL)",
                 "INSERT INTO tickets VALUES (8, 'TRK-8', 800, 'late')"});
  }
  void TearDown() override { EXPECT_EQ(QSqlDatabase::connectionNames(), QStringList()); }

  std::string Request(const std::string& query, int32_t driver = kSqliteDriver) const {
    const std::string name = driver == kSqliteDriver ? file : DatabaseFolder::OdbcConnection(file);
    return "/DBNAME=" + name + "!/QUERY=" + query + "!\r\n";
  }
  std::string Rows() const { return ValueOn(file, "SELECT count(*) FROM tickets").toString().toStdString(); }

  DatabaseFolder folder;
  std::string file;
  SerialDBFixture f;
};

TEST_F(SerialDBStep, theDeviceReceivesTheExactReplyBytesOverSqliteAndOdbcAlike) {
  struct Case {
    const char* legend;
    const char* query;
    const char* reply;
    const char* error;  // the error the pass raised, "" when none
  };
  const Case cases[] = {
      {"select with a record, null as empty item", "SELECT * FROM tickets WHERE id = 7",
       "\"COUNT=1\"\n\"7\"\n\"TRK-7\"\n\"12340.5\"\n\"\"\n\"12/09/26\"\n\"14:05:03\"\n\"!\"\n", ""},
      {"select without records", "SELECT * FROM tickets WHERE id = 99",
       "\"NOT FOUND\"\n\"12/09/26\"\n\"14:05:03\"\n\"!\"\n", ""},
      {"action", "UPDATE tickets SET gross = gross WHERE id = 99", "\"EXECUTED\"\n\"!\"\n", ""},
      {"failing query", "SELEC * FROM tickets", "\"ERROR\"\n\"!\"\n", "error 0 2400"},
  };
  for (int32_t driver : {0, 1}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.legend) + ", driver " + std::to_string(driver));
      f.trace.clear();
      f.config.Channels[0].DBDriver = driver;
      f.DeviceSends(Request(c.query, driver));
      f.dbPass.Timer1_Timer();
      EXPECT_EQ(f.Transmitted(std::string_view(c.reply).size()), c.reply);
      EXPECT_EQ(f.Only({"error"}), *c.error ? Trace{c.error} : Trace{});
    }
  }
}

TEST_F(SerialDBStep, twoLinesOfOneReadAreBothAnsweredInOrderWithoutFurtherInput) {
  f.DeviceSends(Request("SELECT truck FROM tickets WHERE id = 7") + Request("SELECT truck FROM tickets WHERE id = 8"));
  f.dbPass.Timer1_Timer();
  EXPECT_EQ(f.engine.RxBuffer[0], Request("SELECT truck FROM tickets WHERE id = 8"));
  f.dbPass.Timer1_Timer();  // nothing new on the line
  EXPECT_EQ(f.engine.RxBuffer[0], "");
  const std::string first = "\"COUNT=1\"\n\"TRK-7\"\n\"12/09/26\"\n\"14:05:03\"\n\"!\"\n";
  const std::string second = "\"COUNT=1\"\n\"TRK-8\"\n\"12/09/26\"\n\"14:05:03\"\n\"!\"\n";
  EXPECT_EQ(f.Transmitted(first.size() + second.size()), first + second);
}

TEST_F(SerialDBStep, aReplyReadyWhileTheLastOneIsLeavingQueuesBehindIt) {
  const std::string executed = "\"EXECUTED\"\n\"!\"\n";
  f.DeviceSends(Request("UPDATE tickets SET note = 'a' WHERE id = 7"));
  f.dbPass.Timer1_Timer();
  for (int i = 0; i < 5; ++i) f.timer.TxTimer_Timer(SerialDBFixture::Interval);
  f.DeviceSends(Request("UPDATE tickets SET note = 'b' WHERE id = 7"));
  f.dbPass.Timer1_Timer();
  EXPECT_EQ(f.Transmitted(2 * executed.size()), executed + executed);
}

TEST_F(SerialDBStep, anInsertRunsExactlyOncePerRequestLine) {
  f.DeviceSends(Request("INSERT INTO tickets (id, truck) VALUES (9, 'TRK-9')"));
  for (int pass = 0; pass < 4; ++pass) f.dbPass.Timer1_Timer();
  EXPECT_EQ(Rows(), "3");
  // The same line again is a new request: it runs again, and is refused.
  f.DeviceSends(Request("INSERT INTO tickets (id, truck) VALUES (9, 'TRK-9')"));
  for (int pass = 0; pass < 4; ++pass) f.dbPass.Timer1_Timer();
  EXPECT_EQ(Rows(), "3");
  EXPECT_EQ(f.Only({"error"}), Trace{"error 0 3000"});
  const std::string replies = "\"EXECUTED\"\n\"!\"\n\"ERROR\"\n\"!\"\n";
  EXPECT_EQ(f.Transmitted(replies.size()), replies);
}

TEST_F(SerialDBStep, aServedRequestLeavesItsLogsStatusLampAndIconsInOrder) {
  f.startup.ChannelLogEnabled[0] = true;
  const std::string line = Request("SELECT id FROM tickets WHERE id = 8");
  f.DeviceSends(line);
  f.trace.clear();
  f.dbPass.Timer1_Timer();
  const std::string reply = "\"COUNT=1\"\n\"8\"\n\"12/09/26\"\n\"14:05:03\"\n\"!\"\n";
  EXPECT_EQ(f.Only({"log", "icon", "tray", "on 0", "draw 0 1", "serial db"}),
            (Trace{"on 0 0", "icon iRcv", "tray", "log 2 " + line, "log 4 Opening: " + file + "...",
                   "log 4 Opening: SELECT id FROM tickets WHERE id = 8...", "log 4 Record Count = 1",
                   "icon iXmit", "tray", "log 3 " + reply, "on 0 1", "draw 0 1", "icon iIdle", "tray",
                   "serial db 0"}));
  EXPECT_EQ(f.publication.StatusText[0], "Idle...");
  EXPECT_EQ(f.engine.TxBuffer[0], reply);
  EXPECT_EQ(f.engine.DBName[0], "");
}

TEST_F(SerialDBStep, aLineWithoutQueryIsDroppedAndItsNameServesTheNextLine) {
  f.DeviceSends("/DBNAME=" + file + "!\r\n");
  f.dbPass.Timer1_Timer();
  EXPECT_EQ(f.engine.TxBuffer[0], "");
  EXPECT_EQ(f.engine.DBName[0], file);
  f.DeviceSends("/query=SELECT truck FROM tickets WHERE id = 7!\n");
  f.dbPass.Timer1_Timer();
  EXPECT_EQ(f.engine.TxBuffer[0], "\"COUNT=1\"\n\"TRK-7\"\n\"12/09/26\"\n\"14:05:03\"\n\"!\"\n");
  EXPECT_EQ(f.engine.DBName[0], "");
}

TEST_F(SerialDBStep, aFailedRequestKeepsItsDatabaseNameAndReachesThePassBoundary) {
  f.DeviceSends("/DBNAME=" + folder.Path("missing.db") + "!/QUERY=SELECT 1!\n");
  f.dbPass.Timer1_Timer();
  EXPECT_EQ(f.Only({"error"}), Trace{"error 0 3024"});
  EXPECT_EQ(f.engine.DBName[0], folder.Path("missing.db"));
  EXPECT_EQ(f.engine.RxBuffer[0], "");
}

TEST_F(SerialDBStep, bytesWithoutLineFeedAreCappedWithOneErrorLogLine) {
  // In pieces, as a device's bytes arrive: a terminal holds only so much.
  for (size_t sent = 0; sent < kRxBufferCap; sent += 2048) {
    f.DeviceSends(std::string(2048, 'x'));
    f.dbPass.Timer1_Timer();
  }
  EXPECT_EQ(f.engine.RxBuffer[0].size(), kRxBufferCap);
  EXPECT_TRUE(f.log.lines.empty());
  f.DeviceSends("yy" + Request("SELECT id FROM tickets WHERE id = 7"));
  f.dbPass.Timer1_Timer();
  // Everything up to the last LF went, the request line with it: the device
  // that overran the buffer gets no answer to a line it cut in two.
  const size_t discarded = kRxBufferCap + 2 + Request("SELECT id FROM tickets WHERE id = 7").size();
  EXPECT_EQ(f.log.Texts(), std::vector<std::string>{"1 " + RxBufferOverflowLogLine(0, discarded)});
  EXPECT_EQ(f.engine.RxBuffer[0], "");
  EXPECT_EQ(f.engine.TxBuffer[0], "");
}

TEST_F(SerialDBStep, aClosedPortTurnsTheErrorLampOffAndTheBufferedLineIsStillServed) {
  f.DeviceSends(Request("SELECT id FROM tickets WHERE id = 7") + Request("SELECT id FROM tickets WHERE id = 8"));
  f.dbPass.Timer1_Timer();
  f.engine.TxBuffer[0].clear();
  f.ports[0].SetPortOpen(false);
  f.grid.Light(0, Lamp::Error, true);
  f.trace.clear();
  f.dbPass.Timer1_Timer();
  EXPECT_EQ(f.Only({"off 0 7", "error"}), Trace{"off 0 7"});
  EXPECT_EQ(f.engine.TxBuffer[0], "\"COUNT=1\"\n\"8\"\n\"12/09/26\"\n\"14:05:03\"\n\"!\"\n");
}

}  // namespace
}  // namespace tarvex
