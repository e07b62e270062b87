// The database layer under a database that is locked or far away, and names
// that are no database: every call ends within its bound, and nothing is
// created that the request did not ask for.
#include <gtest/gtest.h>

#include <signal.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>

#include "engine/database/db_request.h"
#include "platform/database/database.h"
#include "tests/support/database_fixture.h"
#include "tests/support/run_time_error_of.h"

namespace tarvex {
namespace {

using test::DatabaseFolder;
using test::ErrorOf;
using test::RunOn;
using test::ValueOn;

// Another program holding the file's write lock for `seconds`: a child
// process with a transaction of its own. It says on a pipe when it holds it.
class LockHolder {
public:
  LockHolder(const std::string& file, int seconds) {
    int ready[2];
    if (::pipe(ready) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
      ::close(ready[0]);
      sqlite3* db = nullptr;
      if (sqlite3_open(file.c_str(), &db) != SQLITE_OK) ::_exit(1);
      if (sqlite3_exec(db, "BEGIN EXCLUSIVE; INSERT INTO tickets (truck) VALUES ('held');", nullptr, nullptr,
                       nullptr) != SQLITE_OK) {
        ::_exit(2);
      }
      (void)!::write(ready[1], "L", 1);
      ::sleep(static_cast<unsigned>(seconds));
      ::_exit(0);
    }
    ::close(ready[1]);
    char byte = 0;
    holding_ = ::read(ready[0], &byte, 1) == 1;
    ::close(ready[0]);
  }
  ~LockHolder() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
  }
  bool holding() const { return holding_; }

private:
  pid_t pid_ = -1;
  bool holding_ = false;
};

class DatabaseBounds : public ::testing::Test {
protected:
  void SetUp() override {
    file = folder.Path("weights.db");
    RunOn(file, {"CREATE TABLE tickets (id INTEGER PRIMARY KEY, truck TEXT)"});
  }
  DatabaseFolder folder;
  std::string file;
  DatabaseWorkspace workspace;
};

TEST_F(DatabaseBounds, AnOdbcRequestOnALockedDatabaseEndsWithinTheTimeOut) {
  EXPECT_EQ(OdbcTimeoutSeconds(), 5);
  // The time-out as an operator sets it, short so that the test is too.
  ::setenv(OdbcTimeoutVariable, "1", 1);
  EXPECT_EQ(OdbcTimeoutSeconds(), 1);
  // A connection string as a device sends it: no time-out of its own.
  const std::string name = "DRIVER=TarvexSQLite3;Database=" + file + ";NoCreat=1";
  LockHolder lock(file, 30);
  ASSERT_TRUE(lock.holding());
  const auto start = std::chrono::steady_clock::now();
  const int error = ErrorOf([&] {
    Database db = workspace.OpenDatabase(1, name);
    db.Execute("INSERT INTO tickets (truck) VALUES ('new')");
  });
  const auto waited = std::chrono::steady_clock::now() - start;
  ::unsetenv(OdbcTimeoutVariable);
  EXPECT_EQ(error, ErrorNumber::DatabaseError);
  // The 30 s lock is not waited out: opening and the statement each end
  // after the time-out, with room for a slow machine.
  EXPECT_LT(waited, std::chrono::seconds(15));
}

TEST_F(DatabaseBounds, AColonOrQuestionMarkInsideAQuotedValueKeepsTheTimeOutAndTheValue) {
  // A weighing record's time stamp has colons: such a statement still gets
  // the statement time-out, and every value reaches the table as written,
  // none read as a place for a bound value.
  struct Row {
    const char* sql;
    const char* stored;   // the truck column afterwards
    bool boundByTimeOut;  // runs with the statement time-out
  };
  const Row rows[] = {
      {"INSERT INTO tickets (truck) VALUES ('2026-12-11 02:52:00')", "2026-12-11 02:52:00", true},
      {"INSERT INTO tickets (truck) VALUES ('ok?:x')", "ok?:x", true},
      {"INSERT INTO tickets (truck) VALUES ('it''s 12:30')", "it's 12:30", true},
      {"INSERT INTO tickets (truck) VALUES ('plain')", "plain", true},
      // Other quoting is read differently by the layers below: run as it is.
      {"INSERT INTO tickets (\"truck\") VALUES ('a:b')", "a:b", false},
      {"INSERT INTO tickets (truck) VALUES ('a\"b') -- :c", "a\"b", false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.sql);
    EXPECT_EQ(OdbcStatementHasTimeOut(row.sql), row.boundByTimeOut);
    RunOn(file, {"DELETE FROM tickets"});
    EXPECT_EQ(ErrorOf([&] {
                Database db = workspace.OpenDatabase(1, DatabaseFolder::OdbcConnection(file));
                db.Execute(row.sql);
              }),
              0);
    EXPECT_EQ(ValueOn(file, "SELECT truck FROM tickets").toString().toStdString(), row.stored);
  }
}

TEST_F(DatabaseBounds, DriverZeroOpensOnlyARegularFile) {
  const std::string fifo = folder.Path("pipe");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  struct Row {
    const char* legend;
    std::string name;
  };
  const Row rows[] = {
      {"a device node", "/dev/zero"},
      {"a folder", folder.Path("")},
      {"a pipe, whose open would wait for a writer", fifo},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.legend);
    std::string description;
    EXPECT_EQ(ErrorOf([&] { workspace.OpenDatabase(kSqliteDriver, row.name); }, &description),
              ErrorNumber::DatabaseError);
    EXPECT_EQ(description, "Not a database file: " + row.name);
  }
  EXPECT_EQ(ErrorOf([&] { workspace.OpenDatabase(kSqliteDriver, file); }), 0) << "a database file still opens";
}

TEST_F(DatabaseBounds, ASelectIntoAnotherFileIsRefusedBeforeAnyFileIsMade) {
  class NoReport final : public DBRequestReport {
  public:
    void Status(std::string_view) override {}
    void SqlLog(std::string_view) override {}
  } report;
  const std::string archive = folder.Path("archive.db");
  std::string DBName = file;
  const std::string query = "SELECT INTO kept IN '" + archive + "' FROM tickets WHERE id = 7";
  EXPECT_EQ(ErrorOf([&] { RunDBQuery(workspace, kSqliteDriver, DBName, query, report, "Idle...", 1); }),
            ErrorNumber::SqlError);
  EXPECT_FALSE(std::filesystem::exists(archive));
}

}  // namespace
}  // namespace tarvex
