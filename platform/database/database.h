#pragma once
// The database that the request services run their queries against.
//
// What it must cope with: requests come from a device at the far end of a
// serial line or a terminal and name any file, data source or statement; the
// scan runs on the user-interface thread, so nothing may hold it for long; a
// failed request must leave nothing behind (no open connection, no lock, no
// half-read statement) so that the next request, or another program, can use
// the file at once; and a name that does not exist must never be created by
// opening it.
//
// Policy: every open takes a connection of its own under a name of its own and
// every statement runs in a query object that ends before the call returns,
// error or not. A result set is read through when it is opened: its record
// count is the true number of records, the values of the first records (as
// many as the caller keeps) are held, and no statement stays open afterwards.
//   Driver 0: SQLite. The name is a file path; the file is opened read-write
//     without creation (URI mode=rw); a locked file is waited on for 250 ms at
//     most.
//   Drivers 1 to 4: ODBC through unixODBC. The name is a data source name, or a
//     whole connection string when it contains "=". Logging in, and every
//     statement, end after OdbcTimeoutSeconds() (5 s unless the environment
//     variable TARVEX_ODBC_TIMEOUT gives 1 to 3600 seconds).
//
// Errors, all as RunTimeError with the database's own message as description:
//   2400 (SqlError) the statement's text is wrong: syntax, unknown table or
//        column, more than one statement;
//   3000 (DatabaseError) anything else the database refuses: a file that is
//        missing, locked, read-only or no database, a constraint, a failed
//        connection;
//   3024 (DatabaseNotFound) the SQLite file does not exist;
//   3021 (NoCurrentRecord) a field read at the end of a result set;
//   3204 (DatabaseExists) creating a database whose file exists;
//   3219 (InvalidOperation) a result set asked of a statement that returns no
//        records (the statement is rolled back) or a database created through
//        ODBC.
#include <QVariant>
#include <QString>

class QSqlQuery;
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/run_time_error.h"

namespace tarvex {

namespace ErrorNumber {
constexpr int SqlError = 2400;
constexpr int DatabaseError = 3000;
constexpr int NoCurrentRecord = 3021;
constexpr int DatabaseNotFound = 3024;
constexpr int DatabaseExists = 3204;
constexpr int InvalidOperation = 3219;
}  // namespace ErrorNumber

// The channel setting DBDriver: 0 SQLite, 1 to 4 ODBC.
constexpr int32_t kSqliteDriver = 0;

// The login and query time-out of ODBC connections, in seconds.
constexpr int DefaultOdbcTimeoutSeconds = 5;
constexpr const char* OdbcTimeoutVariable = "TARVEX_ODBC_TIMEOUT";
int OdbcTimeoutSeconds();
// Whether an ODBC statement runs prepared, with the query time-out: unless a
// ":" or "?" stands outside its single-quoted literals (or the text quotes in
// another way and holds either), where a place for a bound value could be
// read; such a text runs as it is, bounded by the driver alone.
bool OdbcStatementHasTimeOut(std::string_view sql);

// The records of one query with a current record. RecordCount is the number of
// records the query gave; only the kept ones can be visited, and the set is at
// its end after the last kept record.
class ResultSet {
public:
  ResultSet() = default;
  ResultSet(std::vector<QString> fieldNames, std::vector<std::vector<QVariant>> records, int32_t recordCount);

  int32_t RecordCount() const noexcept { return recordCount_; }
  int32_t FieldCount() const noexcept { return static_cast<int32_t>(fieldNames_.size()); }
  const QString& FieldName(int32_t field) const;
  // The value of a field of the current record; a null QVariant for SQL NULL.
  // Raises 3021 (no current record) at the end of the set.
  const QVariant& Value(int32_t field) const;

  void MoveFirst() noexcept { current_ = 0; }
  void MoveNext() noexcept;
  bool Eof() const noexcept { return current_ >= records_.size(); }

private:
  std::vector<QString> fieldNames_;
  std::vector<std::vector<QVariant>> records_;
  int32_t recordCount_ = 0;
  size_t current_ = 0;
};

// One open connection. Closed by Close() or when it goes out of scope.
class Database {
public:
  Database(Database&& other) noexcept;
  Database& operator=(Database&& other) noexcept;
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;
  ~Database();

  // Runs a statement that returns no records (INSERT, UPDATE, DELETE, CREATE...).
  void Execute(std::string_view sql);
  // Runs a query, counts its records and keeps the values of the first
  // recordsKept of them.
  ResultSet OpenRecordset(std::string_view sql, int32_t recordsKept = INT32_MAX);
  void Close() noexcept;
  bool IsOpen() const noexcept { return !connection_.isEmpty(); }

private:
  friend class DatabaseWorkspace;
  Database(QString connection, int32_t driver, std::string name);
  // Runs the statement on the query, bounded by the ODBC query time-out.
  bool Run(QSqlQuery& query, std::string_view sql) const;

  QString connection_;
  int32_t driver_ = kSqliteDriver;
  std::string name_;
};

// What the request services open and create their databases through. It keeps
// no connection between requests; every open gets a connection name unique in
// the process.
class DatabaseWorkspace {
public:
  // Names are the bytes of the request, in the ANSI code page.
  Database OpenDatabase(int32_t driver, std::string_view name);
  // Creates an empty database; fails when it exists. Driver 0 only.
  void CreateDatabase(int32_t driver, std::string_view name);
};

}  // namespace tarvex
