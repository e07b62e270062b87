// The database layer against real SQLite files, directly and through ODBC.
#include "platform/database/database.h"

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QSqlDatabase>
#include <QStringList>

#include "tests/support/database_fixture.h"
#include "tests/support/run_time_error_of.h"

namespace tarvex {
namespace {

using test::DatabaseFolder;
using test::ErrorOf;
using test::RunOn;
using test::ValueOn;

bool InClass(int number, int first) { return number >= first && number <= first + (first == 2400 ? 99 : 999); }

class DatabaseLayer : public ::testing::Test {
protected:
  void SetUp() override {
    file_ = folder_.Path("weights.db");
    RunOn(file_, {"CREATE TABLE tickets (id INTEGER PRIMARY KEY, truck TEXT, gross REAL, note TEXT)",
                  "INSERT INTO tickets VALUES (7, 'TRK-7', 12340.5, NULL)",
                  "INSERT INTO tickets VALUES (8, 'TRK-8', 800, 'second')",
                  "INSERT INTO tickets VALUES (9, 'TRK-9', 900, 'third')"});
  }
  void TearDown() override {
    // Every connection is gone again, on the good paths and the failing ones.
    EXPECT_EQ(QSqlDatabase::connectionNames(), QStringList());
  }

  // The name the file is reached by through each driver.
  std::string NameFor(int32_t driver) const {
    return driver == kSqliteDriver ? file_ : DatabaseFolder::OdbcConnection(file_);
  }

  DatabaseFolder folder_;
  std::string file_;
  DatabaseWorkspace workspace_;
};

TEST_F(DatabaseLayer, resultSetHoldsFieldsInOrderNullsAndTheTrueCount) {
  for (int32_t driver : {0, 1}) {
    SCOPED_TRACE(driver);
    Database db = workspace_.OpenDatabase(driver, NameFor(driver));
    ResultSet records = db.OpenRecordset("SELECT note, id, truck FROM tickets ORDER BY id");
    db.Close();
    ASSERT_EQ(records.RecordCount(), 3);
    ASSERT_EQ(records.FieldCount(), 3);
    EXPECT_EQ(records.FieldName(0), QStringLiteral("note"));
    EXPECT_EQ(records.FieldName(2), QStringLiteral("truck"));
    EXPECT_TRUE(records.Value(0).isNull());
    EXPECT_EQ(records.Value(1).toInt(), 7);
    records.MoveNext();
    EXPECT_EQ(records.Value(0).toString(), QStringLiteral("second"));
    records.MoveNext();
    records.MoveNext();
    EXPECT_TRUE(records.Eof());
    EXPECT_EQ(ErrorOf([&] { records.Value(0); }), ErrorNumber::NoCurrentRecord);
    records.MoveFirst();
    EXPECT_FALSE(records.Eof());
    EXPECT_EQ(records.Value(1).toInt(), 7);
  }
}

TEST_F(DatabaseLayer, aResultSetKeepingOneRecordStillCountsThemAll) {
  for (int32_t driver : {0, 1}) {
    SCOPED_TRACE(driver);
    Database db = workspace_.OpenDatabase(driver, NameFor(driver));
    ResultSet records = db.OpenRecordset("SELECT id FROM tickets ORDER BY id DESC", 1);
    EXPECT_EQ(records.RecordCount(), 3);
    EXPECT_EQ(records.Value(0).toInt(), 9);
    records.MoveNext();
    EXPECT_TRUE(records.Eof());
    EXPECT_EQ(db.OpenRecordset("SELECT id FROM tickets WHERE id > 100", 0).RecordCount(), 0);
  }
}

TEST_F(DatabaseLayer, actionQueryChangesTheFileOnEveryDriver) {
  for (int32_t driver : {0, 1}) {
    SCOPED_TRACE(driver);
    Database db = workspace_.OpenDatabase(driver, NameFor(driver));
    db.Execute("UPDATE tickets SET gross = gross + 1 WHERE id = 8");
  }
  EXPECT_EQ(ValueOn(file_, "SELECT gross FROM tickets WHERE id = 8").toDouble(), 802.0);
}

TEST_F(DatabaseLayer, missingFileFailsInTheDatabaseClassAndIsNotCreated) {
  const std::string missing = folder_.Path("missing.db");
  for (int32_t driver : {0, 1}) {
    SCOPED_TRACE(driver);
    std::string description;
    const std::string name = driver == kSqliteDriver ? missing : DatabaseFolder::OdbcConnection(missing);
    const int number = ErrorOf([&] { workspace_.OpenDatabase(driver, name); }, &description);
    EXPECT_TRUE(InClass(number, 3000)) << number << " " << description;
    EXPECT_NE(description.find("missing.db"), std::string::npos) << description;
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(missing)));
  }
}

TEST_F(DatabaseLayer, aFileNameWithBlanksAndUriCharactersIsTakenAsItIs) {
  const std::string odd = folder_.Path("w e#1?mode=ro%20.db");
  RunOn(odd, {"CREATE TABLE t (a INTEGER)"});
  Database db = workspace_.OpenDatabase(kSqliteDriver, odd);
  db.Execute("INSERT INTO t VALUES (1)");
  db.Close();
  EXPECT_EQ(ValueOn(odd, "SELECT COUNT(*) FROM t").toInt(), 1);
}

TEST_F(DatabaseLayer, errorsOfTheStatementTextAreInTheSqlClass) {
  const char* wrong[] = {"SELEC * FROM tickets", "SELECT * FROM no_such_table", "SELECT nope FROM tickets",
                         "UPDATE tickets SET gross = 1 WHERE", "SELECT * FROM tickets IN 'other.db' WHERE id = 7",
                         "SELECT * FROM tickets; DELETE FROM tickets"};
  for (int32_t driver : {0, 1}) {
    for (const char* sql : wrong) {
      SCOPED_TRACE(std::to_string(driver) + " " + sql);
      Database db = workspace_.OpenDatabase(driver, NameFor(driver));
      std::string description;
      EXPECT_TRUE(InClass(ErrorOf([&] { db.OpenRecordset(sql); }, &description), 2400));
      EXPECT_FALSE(description.empty());
      EXPECT_TRUE(InClass(ErrorOf([&] { db.Execute(sql); }), 2400));
    }
  }
  EXPECT_EQ(ValueOn(file_, "SELECT COUNT(*) FROM tickets").toInt(), 3);
}

TEST_F(DatabaseLayer, refusalsOfTheDatabaseAreInTheDatabaseClass) {
  for (int32_t driver : {0, 1}) {
    SCOPED_TRACE(driver);
    Database db = workspace_.OpenDatabase(driver, NameFor(driver));
    std::string description;
    EXPECT_TRUE(InClass(ErrorOf([&] { db.Execute("INSERT INTO tickets VALUES (7, 'again', 0, NULL)"); }, &description), 3000))
        << description;
    EXPECT_NE(description.find("UNIQUE"), std::string::npos) << description;
  }
  const std::string garbage = folder_.Path("garbage.db");
  std::ofstream(garbage) << std::string(4096, 'x');
  Database db = workspace_.OpenDatabase(kSqliteDriver, garbage);
  EXPECT_TRUE(InClass(ErrorOf([&] { db.OpenRecordset("SELECT 1 FROM sqlite_master"); }), 3000));
}

TEST_F(DatabaseLayer, aStatementWithoutRecordsIsRefusedAsQueryAndUndone) {
  Database db = workspace_.OpenDatabase(kSqliteDriver, file_);
  EXPECT_EQ(ErrorOf([&] { db.OpenRecordset("DROP TABLE tickets"); }), ErrorNumber::InvalidOperation);
  db.Close();
  EXPECT_EQ(ValueOn(file_, "SELECT COUNT(*) FROM tickets").toInt(), 3);
}

TEST_F(DatabaseLayer, afterAFailedQueryAnotherConnectionWritesTheFileAtOnce) {
  for (int32_t driver : {0, 1}) {
    SCOPED_TRACE(driver);
    Database db = workspace_.OpenDatabase(driver, NameFor(driver));
    // Fails while stepping through the records, with the file read-locked.
    EXPECT_NE(ErrorOf([&] { db.OpenRecordset("SELECT abs(-9223372036854775807 - 1) FROM tickets"); }), 0);
    // No busy wait: the write must not find any lock left.
    RunOn(file_, {"PRAGMA busy_timeout = 0", "INSERT INTO tickets VALUES (NULL, 'after', 1, NULL)"});
  }
  EXPECT_EQ(ValueOn(file_, "SELECT COUNT(*) FROM tickets").toInt(), 5);
}

TEST_F(DatabaseLayer, aLockedFileFailsInTheDatabaseClassInsteadOfWaiting) {
  const QString holder = QStringLiteral("holder");
  {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), holder);
    db.setDatabaseName(QString::fromStdString(file_));
    ASSERT_TRUE(db.open());
    QSqlQuery(db).exec(QStringLiteral("BEGIN EXCLUSIVE"));
    Database locked = workspace_.OpenDatabase(kSqliteDriver, file_);
    std::string description;
    EXPECT_TRUE(InClass(ErrorOf([&] { locked.Execute("DELETE FROM tickets"); }, &description), 3000)) << description;
    locked.Close();
    QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
    db.close();
  }
  QSqlDatabase::removeDatabase(holder);
  EXPECT_EQ(ValueOn(file_, "SELECT COUNT(*) FROM tickets").toInt(), 3);
}

TEST_F(DatabaseLayer, createMakesAnEmptyDatabaseAndRefusesAnExistingOne) {
  const std::string created = folder_.Path("new.db");
  workspace_.CreateDatabase(kSqliteDriver, created);
  {
    Database db = workspace_.OpenDatabase(kSqliteDriver, created);
    db.Execute("CREATE TABLE t (a INTEGER)");
    EXPECT_EQ(db.OpenRecordset("SELECT * FROM t").RecordCount(), 0);
  }
  EXPECT_EQ(ErrorOf([&] { workspace_.CreateDatabase(kSqliteDriver, file_); }), ErrorNumber::DatabaseExists);
  EXPECT_EQ(ValueOn(file_, "SELECT COUNT(*) FROM tickets").toInt(), 3);
  EXPECT_TRUE(InClass(ErrorOf([&] { workspace_.CreateDatabase(1, folder_.Path("odbc.db")); }), 3000));
}

TEST_F(DatabaseLayer, aNameHoldingANulByteCreatesNoFileOfAnotherName) {
  // The name comes from the device; the bytes before the NUL must not be taken
  // as the whole name.
  const std::string prefix = folder_.Path("made.db");
  const std::string name = prefix + std::string(1, '\0') + "rest";
  EXPECT_TRUE(InClass(ErrorOf([&] { workspace_.CreateDatabase(kSqliteDriver, name); }), 3000));
  EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(prefix)));
}

TEST_F(DatabaseLayer, odbcReachesADataSourceByName) {
  std::ofstream(test::OdbcConfigFolder() + "/odbc.ini")
      << "[TarvexWeights]\nDriver=TarvexSQLite3\nDatabase=" << file_ << "\nNoCreat=1\n";
  Database db = workspace_.OpenDatabase(1, "TarvexWeights");
  EXPECT_EQ(db.OpenRecordset("SELECT * FROM tickets").RecordCount(), 3);
  db.Close();
  EXPECT_TRUE(InClass(ErrorOf([&] { workspace_.OpenDatabase(1, "NoSuchSource"); }), 3000));
}

}  // namespace
}  // namespace tarvex
