#pragma once
// A temporary folder with an SQLite file to serve requests from, reachable by
// driver 0 (the file's path) and through ODBC (a connection string with
// Debian's SQLite ODBC driver, registered in an odbcinst.ini of the test's own
// through ODBCSYSINI). Tables are set up and checked through a connection of
// the fixture's own, which is gone again before the code under test runs.
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QTemporaryDir>
#include <QVariant>
#include <cstdlib>
#include <fstream>
#include <initializer_list>
#include <stdexcept>
#include <string>

namespace tarvex::test {

// A folder that joins before the driver is found would register no driver and
// fail every ODBC case with an error that hides why.
static_assert(sizeof(TARVEX_SQLITE_ODBC_DRIVER) > 1, "TARVEX_SQLITE_ODBC_DRIVER is empty: find it before this folder joins");

// The ODBC configuration folder of this test program: set before the first
// ODBC call, kept for the program's life (unixODBC reads it once).
inline const std::string& OdbcConfigFolder() {
  static const std::string folder = [] {
    static QTemporaryDir dir;
    const std::string path = dir.path().toStdString();
    std::ofstream(path + "/odbcinst.ini") << "[TarvexSQLite3]\nDescription=SQLite 3 for the tests\nDriver="
                                         << TARVEX_SQLITE_ODBC_DRIVER << "\n";
    std::ofstream(path + "/odbc.ini") << "";
    ::setenv("ODBCSYSINI", path.c_str(), 1);
    ::setenv("ODBCINI", (path + "/odbc.ini").c_str(), 1);
    return path;
  }();
  return folder;
}

// Runs statements on a file through a connection of its own, closed at return.
inline void RunOn(const std::string& file, std::initializer_list<const char*> statements) {
  const QString name = QStringLiteral("fixture");
  {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    db.setDatabaseName(QString::fromStdString(file));
    if (!db.open()) throw std::runtime_error("fixture cannot open " + file);
    for (const char* sql : statements) {
      QSqlQuery query(db);
      if (!query.exec(QString::fromUtf8(sql))) {
        throw std::runtime_error("fixture: " + query.lastError().text().toStdString() + " in " + sql);
      }
    }
    db.close();
  }
  QSqlDatabase::removeDatabase(name);
}

// The first column of the first record of a query on a file.
inline QVariant ValueOn(const std::string& file, const char* sql) {
  const QString name = QStringLiteral("fixture-read");
  QVariant value;
  {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    db.setDatabaseName(QString::fromStdString(file));
    if (!db.open()) throw std::runtime_error("fixture cannot open " + file);
    QSqlQuery query(db);
    if (query.exec(QString::fromUtf8(sql)) && query.next()) value = query.value(0);
    query.finish();
    db.close();
  }
  QSqlDatabase::removeDatabase(name);
  return value;
}

class DatabaseFolder {
public:
  DatabaseFolder() { OdbcConfigFolder(); }
  std::string Path(const std::string& file) const { return dir_.path().toStdString() + "/" + file; }
  // The ODBC connection string of a file, refusing to create it.
  static std::string OdbcConnection(const std::string& file) {
    return "DRIVER=TarvexSQLite3;Database=" + file + ";NoCreat=1;Timeout=250";
  }

private:
  QTemporaryDir dir_;
};

}  // namespace tarvex::test
