#include "engine/database/db_request.h"

#include <QDateTime>
#include <QLocale>

#include "platform/ansi_text.h"
#include "platform/clock.h"

namespace tarvex {

namespace {

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool IsWordChar(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || byte >= 0x80;
}

// The position after the quoted name or literal that starts at begin (its
// closing character included; a doubled closing character stands for itself),
// or the end of the text when it is not closed.
size_t SkipQuoted(std::string_view text, size_t begin) {
  const char open = text[begin];
  const char close = open == '[' ? ']' : open;
  size_t i = begin + 1;
  while (i < text.size()) {
    if (text[i] == close) {
      if (close != ']' && i + 1 < text.size() && text[i + 1] == close) {
        i += 2;
        continue;
      }
      return i + 1;
    }
    ++i;
  }
  return text.size();
}

// The position after a comment that starts at begin, or begin when none does.
size_t SkipComment(std::string_view text, size_t begin) {
  if (text.substr(begin, 2) == "--") {
    const size_t end = text.find('\n', begin);
    return end == std::string_view::npos ? text.size() : end + 1;
  }
  if (text.substr(begin, 2) == "/*") {
    const size_t end = text.find("*/", begin + 2);
    return end == std::string_view::npos ? text.size() : end + 2;
  }
  return begin;
}

bool MatchesAt(std::string_view text, size_t at, std::string_view keyword) {
  if (at + keyword.size() > text.size()) return false;
  for (size_t k = 0; k < keyword.size(); ++k) {
    if (Upper(text[at + k]) != Upper(keyword[k])) return false;
  }
  return at + keyword.size() == text.size() || !IsWordChar(text[at + keyword.size()]);
}

}  // namespace

void ParseDBCmd(std::string_view text, std::string_view key, std::string& result) {
  std::string marker = "/";
  for (char c : key) marker += Upper(c);
  marker += '=';
  std::string upper(text);
  for (char& c : upper) c = Upper(c);
  const size_t p = upper.find(marker);
  if (p == std::string::npos) return;
  const size_t valueStart = p + marker.size();
  const size_t q = upper.find('!', valueStart);
  if (q == std::string::npos) {
    result = "Error:Invalid " + std::string(key);
    return;
  }
  result = std::string(text.substr(valueStart, q - valueStart));
}

int32_t FindSqlKeyword(std::string_view query, std::string_view keyword) {
  size_t i = 0;
  while (i < query.size()) {
    const char c = query[i];
    if (c == '\'' || c == '"' || c == '[' || c == '`') {
      i = SkipQuoted(query, i);
      continue;
    }
    if (const size_t after = SkipComment(query, i); after != i) {
      i = after;
      continue;
    }
    if (IsWordChar(c)) {
      if ((i == 0 || !IsWordChar(query[i - 1])) && MatchesAt(query, i, keyword)) {
        return static_cast<int32_t>(i + 1);
      }
      ++i;
      continue;
    }
    ++i;
  }
  return 0;
}

DBQueryKeywords ClassifyDBQuery(std::string_view query) {
  DBQueryKeywords k;
  k.SelectIntoPos = FindSqlKeyword(query, "SELECT INTO");
  k.InsertPos = FindSqlKeyword(query, "INSERT");
  if (k.InsertPos > 0) k.IntoPos = FindSqlKeyword(query, "INTO");
  k.UpdatePos = FindSqlKeyword(query, "UPDATE");
  k.DeletePos = FindSqlKeyword(query, "DELETE");
  k.InPos = FindSqlKeyword(query, "IN");
  k.WherePos = FindSqlKeyword(query, "WHERE");
  return k;
}

std::string ExternalDatabaseName(std::string_view query, const DBQueryKeywords& keywords) {
  if (keywords.InPos <= 0 || keywords.WherePos <= 0 || keywords.InPos > keywords.WherePos) return {};
  size_t i = static_cast<size_t>(keywords.InPos - 1) + 2;
  while (i < query.size() && (query[i] == ' ' || query[i] == '\t')) ++i;
  if (i >= query.size() || (query[i] != '\'' && query[i] != '"')) return {};
  const char quote = query[i];
  const size_t end = SkipQuoted(query, i);
  if (end > static_cast<size_t>(keywords.WherePos - 1) || query[end - 1] != quote || end - i < 2) return {};
  std::string name;
  for (size_t k = i + 1; k + 1 < end; ++k) {
    name += query[k];
    if (query[k] == quote) ++k;  // a doubled quote stands for one
  }
  return name;
}

std::string DBFieldText(const QVariant& value) {
  std::string text;
  if (value.isNull()) return text;
  switch (value.typeId()) {
    case QMetaType::Bool:
      text = value.toBool() ? "True" : "False";
      break;
    case QMetaType::Double:
    case QMetaType::Float: {
      // The device reads the point: the machine's locale must not put a
      // comma on its line.
      QLocale locale = QLocale::c();
      locale.setNumberOptions(QLocale::OmitGroupSeparator);
      // 15 significant digits, the exponent written "E+20" as the old engine did.
      text = ToAnsi(locale.toString(value.toDouble(), 'g', 15).replace(QLatin1Char('e'), QLatin1Char('E')));
      break;
    }
    case QMetaType::QDate:
      text = GeneralDateTimeText(QDateTime(value.toDate(), QTime(0, 0)));
      break;
    case QMetaType::QDateTime:
      text = GeneralDateTimeText(value.toDateTime());
      break;
    case QMetaType::QByteArray: {
      const QByteArray bytes = value.toByteArray();
      text.assign(bytes.constData(), static_cast<size_t>(bytes.size()));
      break;
    }
    default:
      text = ToAnsi(value.toString());
      break;
  }
  for (char& c : text) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return text;
}

DBQueryResult RunDBQuery(DatabaseWorkspace& workspace, int32_t DBDriver, std::string& DBName,
                         std::string_view DBQuery, DBRequestReport& report, std::string_view idleStatus,
                         int32_t recordsKept) {
  const DBQueryKeywords keywords = ClassifyDBQuery(DBQuery);
  const std::string ExternalDB = ExternalDatabaseName(DBQuery, keywords);
  DBQueryResult result;
  result.action = keywords.IsActionQuery();

  if (result.action) {
    if (!ExternalDB.empty()) {
      if (keywords.SelectIntoPos > 0) {
        // SQLite has no SELECT INTO: the statement would fail after its file
        // was made, leaving an empty database of a name nobody chose to keep.
        if (DBDriver == kSqliteDriver) {
          throw RunTimeError(ErrorNumber::SqlError,
                             "SELECT INTO cannot be run on this database; nothing was created: " + ExternalDB);
        }
        report.Status("Creating DB...");
        report.SqlLog("Creating DB: " + ExternalDB + "...");
        workspace.CreateDatabase(DBDriver, ExternalDB);
        report.Status(idleStatus);
      } else {
        DBName = ExternalDB;
      }
    }
    report.Status("Opening DB...");
    report.SqlLog("Opening: " + DBName + "...");
    Database database = workspace.OpenDatabase(DBDriver, DBName);
    report.Status("Executing Query...");
    report.SqlLog("Executing: " + std::string(DBQuery) + "...");
    database.Execute(DBQuery);
    report.SqlLog("Completed: " + std::string(DBQuery) + "...");
    report.Status("Closing DB...");
    database.Close();
    report.Status(idleStatus);
    return result;
  }

  report.Status("Opening DB...");
  report.SqlLog("Opening: " + DBName + "...");
  Database database = workspace.OpenDatabase(DBDriver, DBName);
  report.SqlLog("Opening: " + std::string(DBQuery) + "...");
  report.Status("Running Query...");
  result.records = database.OpenRecordset(DBQuery, recordsKept);
  report.SqlLog("Record Count = " + std::to_string(result.records.RecordCount()));
  report.Status(idleStatus);
  if (result.records.RecordCount() > 0) report.Status("Loading Results...");
  report.Status("Closing Query...");
  report.Status("Closing DB...");
  database.Close();
  report.Status(idleStatus);
  return result;
}

}  // namespace tarvex
