#include "database.h"

#include <fcntl.h>
#include <sql.h>
#include <sys/stat.h>
#include <sqlext.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QSqlResult>
#include <QUrl>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <utility>

#include "platform/ansi_text.h"

namespace tarvex {

namespace {

// SQLite's primary result codes that mean the statement's text is wrong:
// SQLITE_ERROR (syntax, unknown table or column) and SQLITE_MISUSE (Qt's answer
// to more than one statement). Every other code is about the database itself.
constexpr int kSqliteError = 1;
constexpr int kSqliteMisuse = 21;

std::string Describe(const QSqlError& error) {
  QString text = error.databaseText().trimmed();
  if (text.isEmpty()) text = error.driverText().trimmed();
  return ToAnsi(text);
}

bool IsSqliteStatementCode(const QString& nativeCode) {
  bool ok = false;
  const int code = nativeCode.toInt(&ok) & 0xff;
  return ok && (code == kSqliteError || code == kSqliteMisuse);
}

// QODBC passes the driver's own error number, not the SQLSTATE. Behind the
// SQLite ODBC driver ("[SQLite]" before its message) that number is SQLite's;
// for other drivers the message's words are all there is to go by.
bool IsOdbcStatementError(const QSqlError& error) {
  const QString text = error.databaseText();
  if (text.startsWith(QLatin1String("[SQLite]")) && IsSqliteStatementCode(error.nativeErrorCode())) return true;
  for (const char* words : {"syntax", "only one SQL statement", "no such table", "no such column",
                            "invalid object name", "invalid column name", "table or view does not exist"}) {
    if (text.contains(QLatin1String(words), Qt::CaseInsensitive)) return true;
  }
  return false;
}

// The error of a statement that failed: 2400 when its text is at fault, 3000
// otherwise.
RunTimeError StatementError(int32_t driver, const QSqlError& error) {
  bool textAtFault = false;
  if (driver == kSqliteDriver) {
    textAtFault = IsSqliteStatementCode(error.nativeErrorCode());
  } else {
    textAtFault = IsOdbcStatementError(error);
  }
  return RunTimeError(textAtFault ? ErrorNumber::SqlError : ErrorNumber::DatabaseError, Describe(error));
}

// The name a SQLite file is opened by: a URI that forbids creating it.
QString SqliteUri(std::string_view name) {
  const QString path = QFileInfo(FromAnsi(name)).absoluteFilePath();
  return QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded) + QStringLiteral("?mode=rw");
}

// QODBC takes a name with "DRIVER=" or "SERVER=" as a connection string and puts
// "DSN=" before anything else, so a connection string that starts with "DSN="
// loses that prefix here to arrive unchanged.
QString OdbcName(std::string_view name) {
  const QString text = FromAnsi(name);
  if (!text.contains(QLatin1Char('='))) return text;
  if (text.contains(QLatin1String("DRIVER="), Qt::CaseInsensitive) ||
      text.contains(QLatin1String("SERVER="), Qt::CaseInsensitive)) {
    return text;
  }
  if (text.startsWith(QLatin1String("DSN="), Qt::CaseInsensitive)) return text.mid(4);
  return text;
}

QSqlDatabase Connection(const QString& name) { return QSqlDatabase::database(name, false); }

// The ODBC handle QODBC hands out (SQLHANDLE, a void*), or none.
SQLHANDLE OdbcHandle(const QVariant& handle) {
  if (!handle.isValid()) return nullptr;
  if (qstrcmp(handle.typeName(), "SQLHANDLE") != 0 && qstrcmp(handle.typeName(), "void*") != 0) return nullptr;
  return *static_cast<const SQLHANDLE*>(handle.data());
}

// The SQLite ODBC driver takes neither a login nor a query time-out: opening
// and every statement wait on a locked file for the busy time-out of its
// connection string ("Timeout", in milliseconds; 100 s when not given). A
// connection string that names a SQLite driver gets the query time-out there,
// unless it gives its own.
std::string WithSqliteOdbcTimeout(std::string_view name, int seconds) {
  const QString text = FromAnsi(name);
  bool sqlite = false;
  for (const QString& part : text.split(QLatin1Char(';'))) {
    const QString key = part.section(QLatin1Char('='), 0, 0).trimmed();
    if (key.compare(QLatin1String("timeout"), Qt::CaseInsensitive) == 0) return std::string(name);
    if (key.compare(QLatin1String("driver"), Qt::CaseInsensitive) == 0) {
      sqlite = part.section(QLatin1Char('='), 1).contains(QLatin1String("sqlite"), Qt::CaseInsensitive);
    }
  }
  if (!sqlite) return std::string(name);
  return std::string(name) + ";Timeout=" + std::to_string(seconds * 1000);
}

QString NextConnectionName() {
  static std::atomic<uint64_t> opened{0};
  return QStringLiteral("tarvex-request-%1").arg(++opened);
}

}  // namespace

// ---------------------------------------------------------------- ResultSet

ResultSet::ResultSet(std::vector<QString> fieldNames, std::vector<std::vector<QVariant>> records,
                     int32_t recordCount)
    : fieldNames_(std::move(fieldNames)), records_(std::move(records)), recordCount_(recordCount) {}

const QString& ResultSet::FieldName(int32_t field) const {
  CheckSubscript(field, 0, FieldCount() - 1, "Fields");
  return fieldNames_[static_cast<size_t>(field)];
}

const QVariant& ResultSet::Value(int32_t field) const {
  if (Eof()) throw RunTimeError(ErrorNumber::NoCurrentRecord, "No current record.");
  CheckSubscript(field, 0, FieldCount() - 1, "Fields");
  return records_[current_][static_cast<size_t>(field)];
}

void ResultSet::MoveNext() noexcept {
  if (current_ < records_.size()) ++current_;
}

// ----------------------------------------------------------------- Database

Database::Database(QString connection, int32_t driver, std::string name)
    : connection_(std::move(connection)), driver_(driver), name_(std::move(name)) {}

Database::Database(Database&& other) noexcept
    : connection_(std::exchange(other.connection_, QString())), driver_(other.driver_), name_(std::move(other.name_)) {}

Database& Database::operator=(Database&& other) noexcept {
  if (this != &other) {
    Close();
    connection_ = std::exchange(other.connection_, QString());
    driver_ = other.driver_;
    name_ = std::move(other.name_);
  }
  return *this;
}

Database::~Database() { Close(); }

void Database::Close() noexcept {
  if (connection_.isEmpty()) return;
  {
    QSqlDatabase db = Connection(connection_);
    db.close();
  }
  QSqlDatabase::removeDatabase(connection_);
  connection_.clear();
}

void Database::Execute(std::string_view sql) {
  if (!IsOpen()) throw RunTimeError(ErrorNumber::DatabaseError, "The database is closed: " + name_);
  QSqlQuery query(Connection(connection_));
  query.setForwardOnly(true);
  if (!Run(query, sql)) throw StatementError(driver_, query.lastError());
}

bool OdbcStatementHasTimeOut(std::string_view sql) {
  // Qt reads a ":name" outside single quotes as a place for a bound value,
  // and the driver a "?"; both leave a quoted literal alone. Double quotes,
  // back quotes and brackets are read differently from one Qt version to the
  // next, so a text with any of them is taken as holding a place.
  if (sql.find_first_of("\"`[") != std::string_view::npos) {
    return sql.find_first_of(":?") == std::string_view::npos;
  }
  bool literal = false;
  for (const char c : sql) {
    if (c == '\'') {
      literal = !literal;
    } else if (!literal && (c == ':' || c == '?')) {
      return false;
    }
  }
  return true;
}

bool Database::Run(QSqlQuery& query, std::string_view sql) const {
  // The time-out is a statement attribute, so the statement is prepared
  // first; a text in which a place for a bound value could be read runs at
  // once instead, bounded by the driver alone.
  if (driver_ == kSqliteDriver || !OdbcStatementHasTimeOut(sql)) {
    return query.exec(FromAnsi(sql));
  }
  if (!query.prepare(FromAnsi(sql))) return false;
  if (SQLHANDLE statement = OdbcHandle(query.result()->handle()); statement != nullptr) {
    SQLSetStmtAttr(statement, SQL_ATTR_QUERY_TIMEOUT,
                   reinterpret_cast<SQLPOINTER>(static_cast<intptr_t>(OdbcTimeoutSeconds())), SQL_IS_UINTEGER);
  }
  return query.exec();
}

ResultSet Database::OpenRecordset(std::string_view sql, int32_t recordsKept) {
  if (!IsOpen()) throw RunTimeError(ErrorNumber::DatabaseError, "The database is closed: " + name_);
  QSqlDatabase db = Connection(connection_);
  // In a transaction of its own, so that a statement that turns out to return
  // no records (a DROP sent as a query) is undone rather than run unasked.
  const bool inTransaction = db.transaction();
  std::vector<QString> names;
  std::vector<std::vector<QVariant>> records;
  int32_t count = 0;
  {
    QSqlQuery query(db);
    query.setForwardOnly(true);
    const bool ran = Run(query, sql);
    if (!ran || !query.isSelect()) {
      const QSqlError error = query.lastError();
      query.finish();
      if (inTransaction) db.rollback();
      if (!ran) throw StatementError(driver_, error);
      throw RunTimeError(ErrorNumber::InvalidOperation, "Invalid operation: the statement returns no records.");
    }
    const QSqlRecord record = query.record();
    names.reserve(static_cast<size_t>(record.count()));
    for (int i = 0; i < record.count(); ++i) names.push_back(record.fieldName(i));
    while (query.next()) {
      if (count < INT32_MAX) ++count;
      if (static_cast<int64_t>(records.size()) >= recordsKept) continue;
      std::vector<QVariant> values;
      values.reserve(names.size());
      for (int i = 0; i < record.count(); ++i) values.push_back(query.value(i));
      records.push_back(std::move(values));
    }
    const QSqlError error = query.lastError();
    query.finish();
    if (error.isValid()) {
      if (inTransaction) db.rollback();
      throw StatementError(driver_, error);
    }
  }
  if (inTransaction && !db.commit()) {
    const QSqlError error = db.lastError();
    db.rollback();
    throw RunTimeError(ErrorNumber::DatabaseError, Describe(error));
  }
  return ResultSet(std::move(names), std::move(records), count);
}

// --------------------------------------------------------- DatabaseWorkspace

int OdbcTimeoutSeconds() {
  const QByteArray text = qgetenv(OdbcTimeoutVariable);
  bool ok = false;
  const int seconds = text.toInt(&ok);
  return ok && seconds > 0 && seconds <= 3600 ? seconds : DefaultOdbcTimeoutSeconds;
}

Database DatabaseWorkspace::OpenDatabase(int32_t driver, std::string_view name) {
  const QString connection = NextConnectionName();
  QSqlError error;
  bool opened = false;
  bool missing = false;
  bool notRegular = false;
  {
    QSqlDatabase db = QSqlDatabase::addDatabase(
        driver == kSqliteDriver ? QStringLiteral("QSQLITE") : QStringLiteral("QODBC"), connection);
    if (!db.isValid()) {
      error = db.lastError();
    } else if (driver == kSqliteDriver) {
      missing = !QFileInfo::exists(FromAnsi(name));
      // A device node, a pipe or a folder passes the existence test, and
      // opening a pipe would wait for a writer for ever: only a regular file
      // can be a database.
      struct stat status {};
      const QByteArray path = QFile::encodeName(FromAnsi(name));
      notRegular = !missing && (::stat(path.constData(), &status) != 0 || !S_ISREG(status.st_mode));
      db.setDatabaseName(SqliteUri(name));
      db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=250"));
      opened = !missing && !notRegular && db.open();
      error = db.lastError();
    } else {
      const int seconds = OdbcTimeoutSeconds();
      db.setDatabaseName(OdbcName(WithSqliteOdbcTimeout(name, seconds)));
      db.setConnectOptions(QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT=%1;SQL_ATTR_CONNECTION_TIMEOUT=%1").arg(seconds));
      opened = db.open();
      error = db.lastError();
    }
    if (!opened) db.close();
  }
  if (!opened) {
    QSqlDatabase::removeDatabase(connection);
    if (missing) {
      throw RunTimeError(ErrorNumber::DatabaseNotFound, "Could not find file '" + std::string(name) + "'.");
    }
    if (notRegular) throw RunTimeError(ErrorNumber::DatabaseError, "Not a database file: " + std::string(name));
    std::string description = Describe(error);
    if (description.empty()) description = "The database could not be opened";
    throw RunTimeError(ErrorNumber::DatabaseError, description + ": " + std::string(name));
  }
  return Database(connection, driver, std::string(name));
}

void DatabaseWorkspace::CreateDatabase(int32_t driver, std::string_view name) {
  if (driver != kSqliteDriver) {
    throw RunTimeError(ErrorNumber::InvalidOperation,
                       "A database cannot be created through ODBC: " + std::string(name));
  }
  // A NUL byte would end the path early and create a file of another name.
  if (name.find('\0') != std::string_view::npos) {
    throw RunTimeError(ErrorNumber::DatabaseError, "Not a valid file name: " + std::string(name));
  }
  const QByteArray path = QFile::encodeName(FromAnsi(name));
  // An empty file is an empty SQLite database; O_EXCL refuses an existing one
  // even when another program creates it at the same moment.
  const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) {
    const int error = errno;
    if (error == EEXIST) {
      throw RunTimeError(ErrorNumber::DatabaseExists, "Database already exists: " + std::string(name));
    }
    throw RunTimeError(ErrorNumber::DatabaseError,
                       std::string(std::strerror(error)) + ": " + std::string(name));
  }
  ::close(fd);
}

}  // namespace tarvex
