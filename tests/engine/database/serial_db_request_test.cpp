// Request lines served against a real SQLite file, over driver 0 (SQLite) and
// driver 1 (ODBC with the SQLite driver): the reply bytes, what the request
// reports, and what it leaves in the file.
#include "engine/database/serial_db_request.h"
#include "engine/errors/scan_error_table.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QStringList>
#include <vector>

#include "platform/clock.h"
#include "tests/support/database_fixture.h"
#include "tests/support/run_time_error_of.h"

namespace tarvex {
namespace {

using test::DatabaseFolder;
using test::RunOn;
using test::ValueOn;

// Status texts and SQL-log lines in the order the request produced them.
class TraceReport final : public DBRequestReport {
public:
  void Status(std::string_view text) override { trace.push_back("status " + std::string(text)); }
  void SqlLog(std::string_view line) override { trace.push_back("sql " + std::string(line)); }
  std::vector<std::string> trace;
};

struct Served {
  std::string reply;  // the reply block, or the error block the scan sends
  int error = 0;      // the number of the error raised, 0 when none
};

class SerialDBRequest : public ::testing::Test {
protected:
  void SetUp() override {
    file_ = folder_.Path("weights.db");
    RunOn(file_, {"CREATE TABLE tickets (id INTEGER PRIMARY KEY, truck TEXT, gross REAL, note TEXT)",
                  "CREATE INDEX tickets_truck ON tickets (truck)",
                  "INSERT INTO tickets VALUES (7, 'TRK-7', 12340.5, NULL)",
                  "INSERT INTO tickets VALUES (8, 'TRK \"8\"', 800, 'line one' || char(13, 10) || 'line two')"});
  }
  void TearDown() override { EXPECT_EQ(QSqlDatabase::connectionNames(), QStringList()); }

  std::string NameFor(int32_t driver, const std::string& file) const {
    return driver == kSqliteDriver ? file : DatabaseFolder::OdbcConnection(file);
  }

  // Serves one line as the channel's step and the scan's error handling do.
  Served Serve(const std::string& line, int32_t driver) {
    Served served;
    try {
      served.reply = ServeDBRequestLine(line, driver, DBName, workspace_, clock_, report_);
    } catch (const RunTimeError& error) {
      served.error = error.number();
      served.reply = SerialErrorReply();
    }
    return served;
  }

  DatabaseFolder folder_;
  std::string file_;
  DatabaseWorkspace workspace_;
  FixedClock clock_{QDateTime(QDate(2026, 12, 9), QTime(14, 5, 3))};
  TraceReport report_;
  std::string DBName;
};

TEST_F(SerialDBRequest, repliesHaveTheirExactBytesAndAreTheSameOverSqliteAndOdbc) {
  struct Case {
    const char* legend;
    const char* query;
    const char* reply;
    int errorClass;  // 0, 2400 or 3000
  };
  const Case cases[] = {
      {"select with a record, null as empty item", "SELECT * FROM tickets WHERE id = 7",
       "\"COUNT=1\"\n\"7\"\n\"TRK-7\"\n\"12340.5\"\n\"\"\n\"12/09/26\"\n\"14:05:03\"\n\"!\"\n", 0},
      {"quotes sent as they are, CR LF as blanks", "SELECT truck, gross, note FROM tickets WHERE id = 8",
       "\"COUNT=1\"\n\"TRK \"8\"\"\n\"800\"\n\"line one  line two\"\n\"12/09/26\"\n\"14:05:03\"\n\"!\"\n", 0},
      {"true count, first record only", "SELECT id FROM tickets ORDER BY id",
       "\"COUNT=2\"\n\"7\"\n\"12/09/26\"\n\"14:05:03\"\n\"!\"\n", 0},
      {"column named like a keyword stays a select", "SELECT id AS UPDATED FROM tickets WHERE id = 8",
       "\"COUNT=1\"\n\"8\"\n\"12/09/26\"\n\"14:05:03\"\n\"!\"\n", 0},
      {"select without records", "SELECT * FROM tickets WHERE id = 99",
       "\"NOT FOUND\"\n\"12/09/26\"\n\"14:05:03\"\n\"!\"\n", 0},
      {"action", "UPDATE tickets SET gross = gross WHERE id = 99", "\"EXECUTED\"\n\"!\"\n", 0},
      {"syntax error", "SELEC * FROM tickets", "\"ERROR\"\n\"!\"\n", 2400},
      {"constraint refused", "INSERT INTO tickets (id) VALUES (7)", "\"ERROR\"\n\"!\"\n", 3000},
  };
  for (const Case& c : cases) {
    for (int32_t driver : {0, 1}) {
      SCOPED_TRACE(std::string(c.legend) + ", driver " + std::to_string(driver));
      const Served served =
          Serve("/DBNAME=" + NameFor(driver, file_) + "!/QUERY=" + c.query + "!\r\n", driver);
      EXPECT_EQ(served.reply, c.reply);
      EXPECT_EQ(served.error / 100 * 100 == 2400 ? 2400 : served.error / 1000 * 1000, c.errorClass)
          << served.error;
    }
  }
}

TEST_F(SerialDBRequest, aMissingFileFailsInTheDatabaseClassAndIsNotCreated) {
  const std::string missing = folder_.Path("missing.db");
  for (int32_t driver : {0, 1}) {
    SCOPED_TRACE(driver);
    const Served served = Serve("/DBNAME=" + NameFor(driver, missing) + "!/QUERY=SELECT 1!\n", driver);
    EXPECT_GE(served.error, 3000);
    EXPECT_LE(served.error, 3999);
    EXPECT_EQ(served.reply, "\"ERROR\"\n\"!\"\n");
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(missing)));
    EXPECT_EQ(DBName, NameFor(driver, missing)) << "a failed request keeps its database name";
    DBName.clear();
  }
}

TEST_F(SerialDBRequest, anInsertRunsExactlyOncePerLineWhateverBecomesOfItsReply) {
  std::string RxBuffer;
  bool discardingLine = false;
  AppendToRxBuffer(RxBuffer, "/DBNAME=" + file_ + "!/QUERY=INSERT INTO tickets (truck) VALUES ('new')!\n",
                   discardingLine);
  const std::optional<std::string> line = TakeRequestLine(RxBuffer);
  ASSERT_TRUE(line.has_value());
  EXPECT_EQ(Serve(*line, kSqliteDriver).reply, "\"EXECUTED\"\n\"!\"\n");
  // The reply is lost on the way; the next pass finds nothing left to run.
  EXPECT_EQ(TakeRequestLine(RxBuffer), std::nullopt);
  EXPECT_EQ(ValueOn(file_, "SELECT COUNT(*) FROM tickets WHERE truck = 'new'").toInt(), 1);
}

TEST_F(SerialDBRequest, twoLinesOfOneReadAreBothAnsweredInOrder) {
  std::string RxBuffer;
  bool discardingLine = false;
  AppendToRxBuffer(RxBuffer,
                   "/DBNAME=" + file_ + "!/QUERY=SELECT truck FROM tickets WHERE id = 7!\n/DBNAME=" + file_ +
                       "!/QUERY=DELETE FROM tickets WHERE id = 7!\n",
                   discardingLine);
  std::string TxBuffer;
  while (std::optional<std::string> line = TakeRequestLine(RxBuffer)) TxBuffer += Serve(*line, 0).reply;
  EXPECT_EQ(TxBuffer,
            "\"COUNT=1\"\n\"TRK-7\"\n\"12/09/26\"\n\"14:05:03\"\n\"!\"\n"
            "\"EXECUTED\"\n\"!\"\n");
}

TEST_F(SerialDBRequest, aLineWithoutNameOrQueryIsDroppedAndTheNameServesTheNextLine) {
  EXPECT_EQ(Serve("/DBNAME=" + file_ + "!\n", 0).reply, "");
  EXPECT_EQ(Serve("/DBNAME=" + file_ + "!/QUERY=!\n", 0).reply, "");
  EXPECT_EQ(DBName, file_);
  EXPECT_TRUE(report_.trace.empty());
  EXPECT_EQ(Serve("/query=SELECT COUNT(*) FROM tickets!\n", 0).reply,
            "\"COUNT=1\"\n\"2\"\n\"12/09/26\"\n\"14:05:03\"\n\"!\"\n");
  EXPECT_EQ(DBName, "") << "a served request ends its database name";
  EXPECT_EQ(Serve("/QUERY=SELECT 1!\n", 0).reply, "");
}

TEST_F(SerialDBRequest, aRequestReportsItsStepsAndEndsIdle) {
  Serve("/DBNAME=" + file_ + "!/QUERY=SELECT id FROM tickets!\n", 0);
  Serve("/DBNAME=" + file_ + "!/QUERY=DELETE FROM tickets WHERE id = 8!\n", 0);
  const std::vector<std::string> expected = {
      "status Opening DB...",
      "sql Opening: " + file_ + "...",
      "sql Opening: SELECT id FROM tickets...",
      "status Running Query...",
      "sql Record Count = 2",
      "status Idle...",
      "status Loading Results...",
      "status Closing Query...",
      "status Closing DB...",
      "status Idle...",
      "status Opening DB...",
      "sql Opening: " + file_ + "...",
      "status Executing Query...",
      "sql Executing: DELETE FROM tickets WHERE id = 8...",
      "sql Completed: DELETE FROM tickets WHERE id = 8...",
      "status Closing DB...",
      "status Idle...",
  };
  EXPECT_EQ(report_.trace, expected);
}

TEST_F(SerialDBRequest, theOldEnginesExternalDatabaseClauseFailsAsAnSqlError) {
  const std::string other = folder_.Path("other.db");
  RunOn(other, {"CREATE TABLE tickets (id INTEGER)", "INSERT INTO tickets VALUES (7)"});
  // The named database replaces DBNAME, and SQLite refuses the clause.
  const Served served =
      Serve("/DBNAME=" + file_ + "!/QUERY=DELETE FROM tickets IN '" + other + "' WHERE id = 7!\n", 0);
  EXPECT_EQ(served.error / 100, 24);
  EXPECT_EQ(DBName, other);
  EXPECT_EQ(ValueOn(other, "SELECT COUNT(*) FROM tickets").toInt(), 1);
  EXPECT_EQ(ValueOn(file_, "SELECT COUNT(*) FROM tickets").toInt(), 2);

  // A make-table query, which SQLite can never run, fails the same way before
  // its database is created, every time.
  const std::string made = folder_.Path("made.db");
  const std::string makeTable =
      "/DBNAME=" + file_ + "!/QUERY=SELECT INTO archive IN '" + made + "' FROM tickets WHERE id = 7!\n";
  EXPECT_EQ(Serve(makeTable, 0).error / 100, 24);
  EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(made)));
  EXPECT_EQ(Serve(makeTable, 0).error / 100, 24);
}

}  // namespace
}  // namespace tarvex
