#pragma once
// The database requests that devices send, serial line and terminal alike:
// reading a request's fields, telling an action from a select, and running the
// query against the database layer.
//
// What it must cope with: the SQL text comes from a device and may hold any
// word anywhere: a column called UPDATED, a literal 'DELETE ME', a JOIN. Only
// whole keywords outside quoted literals and quoted names count, so such a
// select stays a select. The external database of the old engine's IN clause is
// taken only from the word IN followed by a quoted name before the WHERE.
//
// Every failure of the database surfaces as RunTimeError (2400 class for the
// statement's text, 3000 class for the rest) for the scan's error handling;
// whatever the request opened is closed again before the error leaves.
#include <cstdint>
#include <string>
#include <string_view>

#include <QVariant>

#include "platform/database/database.h"

namespace tarvex {

// Fills result with the value of the field "/" key "=" value "!" of text; the
// key matches in any letter case, the value keeps the case received. result is
// left unchanged when the field is absent, and is "Error:Invalid " & key when
// the field has no closing "!".
void ParseDBCmd(std::string_view text, std::string_view key, std::string& result);

// The 1-based position of keyword (one word, or words separated by one blank)
// in query as a whole word outside '...', "...", [...] and `...`, compared
// without regard to letter case; 0 when absent.
int32_t FindSqlKeyword(std::string_view query, std::string_view keyword);

// The keyword positions of a query, 0 where a keyword is absent. IntoPos is
// searched only when INSERT was found.
struct DBQueryKeywords {
  int32_t SelectIntoPos = 0;
  int32_t InsertPos = 0;
  int32_t IntoPos = 0;
  int32_t UpdatePos = 0;
  int32_t DeletePos = 0;
  int32_t InPos = 0;
  int32_t WherePos = 0;

  bool IsActionQuery() const noexcept {
    return SelectIntoPos > 0 || InsertPos > 0 || IntoPos > 0 || UpdatePos > 0 || DeletePos > 0;
  }
};
DBQueryKeywords ClassifyDBQuery(std::string_view query);

// The database file named by "IN '<file>'" (or "IN \"<file>\"") when the word
// IN at InPos is followed by a quoted name and stands before WHERE; otherwise
// empty. The name is returned without its quotes ('' inside stands for ').
std::string ExternalDatabaseName(std::string_view query, const DBQueryKeywords& keywords);

// A field value as the device receives it: empty for NULL, numbers with a
// point and without grouping whatever the machine's locale, dates by the
// general date form, texts as their bytes; a CR or LF inside the value
// becomes a blank so that it cannot end the device's line.
std::string DBFieldText(const QVariant& value);

// Where a request's progress goes: the channel's status text (marked for the
// grid) and the SQL log (written when the channel's log is on).
class DBRequestReport {
public:
  virtual ~DBRequestReport() = default;
  virtual void Status(std::string_view text) = 0;
  virtual void SqlLog(std::string_view line) = 0;
};

// What a query gave: nothing for an action, the records for a select.
struct DBQueryResult {
  bool action = false;
  ResultSet records;
};

// Runs one query: for an action, creates the external database of a SELECT
// INTO (refused with 2400 before anything is created on driver 0, whose
// SQLite cannot run it), or opens the external database in place of DBName, then executes; for
// a select, opens DBName, counts the records and keeps the first recordsKept
// of them. The database is closed again on every path. idleStatus is the text
// the status ends on ("Idle..." on a serial line, "Ready..." on the terminal
// network). DBName is changed only where an external database replaces it.
DBQueryResult RunDBQuery(DatabaseWorkspace& workspace, int32_t DBDriver, std::string& DBName,
                         std::string_view DBQuery, DBRequestReport& report, std::string_view idleStatus,
                         int32_t recordsKept);

}  // namespace tarvex
