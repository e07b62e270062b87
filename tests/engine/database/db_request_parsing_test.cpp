// The pure pieces of a database request: fields, keywords, the external
// database, field texts, the receive buffer and the reply lines.
#include <gtest/gtest.h>

#include <QVariant>

#include "engine/database/db_request.h"
#include "engine/database/serial_db_request.h"
#include "engine/errors/scan_error_table.h"

namespace tarvex {
namespace {

TEST(ParseDBCmd, readsAFieldByItsKeyInAnyCaseAndKeepsTheValueAsReceived) {
  struct Case {
    const char* legend;
    const char* text;
    const char* key;
    const char* expected;
  };
  const Case cases[] = {
      {"upper-case key", "/DBNAME=C:\\Data\\w.db!/QUERY=x!", "DBNAME", "C:\\Data\\w.db"},
      {"lower-case key in the line", "/dbname=/tmp/a.db!", "DBNAME", "/tmp/a.db"},
      {"mixed-case key asked", "/Query=Select * From T!", "query", "Select * From T"},
      {"fields in any order", "/QUERY=SELECT 1!/DBNAME=b.db!\r\n", "DBNAME", "b.db"},
      {"text outside fields ignored", "junk /QUERY=q! more junk\n", "QUERY", "q"},
      {"empty value", "/QUERY=!/DBNAME=c.db!", "QUERY", ""},
      {"value ends at the first !", "/QUERY=SELECT 'a!b' FROM t!", "QUERY", "SELECT 'a"},
      {"missing ! names the key as passed", "/QUERY=SELECT 1\n", "Query", "Error:Invalid Query"},
      {"absent field leaves the result", "/DBNAME=d.db!", "QUERY", "before"},
      {"key must be whole up to =", "/DBNAMES=x!/DBNAME=y!", "DBNAME", "y"},
  };
  for (const Case& c : cases) {
    std::string result = "before";
    ParseDBCmd(c.text, c.key, result);
    EXPECT_EQ(result, c.expected) << c.legend;
  }
}

TEST(SqlKeywords, countOnlyAsWholeWordsOutsideQuotesAndComments) {
  struct Case {
    const char* query;
    const char* keyword;
    int32_t position;
  };
  const Case cases[] = {
      {"UPDATE t SET a = 1", "UPDATE", 1},
      {"update t set a = 1", "UPDATE", 1},
      {"SELECT UPDATED FROM t", "UPDATE", 0},
      {"SELECT * FROM t WHERE note = 'DELETE ME'", "DELETE", 0},
      {"SELECT \"delete\" FROM t", "DELETE", 0},
      {"SELECT [Update] FROM t", "UPDATE", 0},
      {"SELECT `insert` FROM t", "INSERT", 0},
      {"SELECT 'it''s' AS x, a FROM t WHERE a = 1", "WHERE", 31},
      {"SELECT a FROM t -- DELETE later\n", "DELETE", 0},
      {"SELECT a /* UPDATE */ FROM t", "UPDATE", 0},
      {"SELECT a FROM t JOIN u ON t.id = u.id", "IN", 0},
      {"SELECT a FROM t WHERE b IN (1, 2)", "IN", 25},
      {"SELECT INTO x FROM t", "SELECT INTO", 1},
      {"SELECT  INTO x FROM t", "SELECT INTO", 0},
      {"SELECT a INTO x FROM t", "SELECT INTO", 0},
      {"SELECT a FROM t WHERE_x = 1", "WHERE", 0},
      {"SELECT a FROM t2WHERE", "WHERE", 0},
      {"SELECT 'unclosed DELETE", "DELETE", 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FindSqlKeyword(c.query, c.keyword), c.position) << c.query << " / " << c.keyword;
  }
}

TEST(SqlKeywords, tellActionsFromSelects) {
  struct Case {
    const char* query;
    bool action;
  };
  const Case cases[] = {
      {"INSERT INTO t VALUES (1)", true},
      {"update t set a = 2", true},
      {"DELETE FROM t WHERE a = 1", true},
      {"SELECT INTO x FROM t", true},
      {"SELECT UPDATED, INSERTED, DELETED FROM t", false},
      {"SELECT * FROM t WHERE note = 'INSERT INTO'", false},
      {"SELECT a INTO x FROM t", false},
  };
  for (const Case& c : cases) EXPECT_EQ(ClassifyDBQuery(c.query).IsActionQuery(), c.action) << c.query;
  const DBQueryKeywords insert = ClassifyDBQuery("INSERT INTO t VALUES (1)");
  EXPECT_EQ(insert.InsertPos, 1);
  EXPECT_EQ(insert.IntoPos, 8);
  EXPECT_EQ(ClassifyDBQuery("SELECT a FROM t INTO").IntoPos, 0) << "INTO is looked for only after an INSERT";
}

TEST(ExternalDatabase, isTakenOnlyFromInAndAQuotedNameBeforeWhere) {
  struct Case {
    const char* query;
    const char* name;
  };
  const Case cases[] = {
      {"DELETE FROM t IN 'other.db' WHERE a = 1", "other.db"},
      {"DELETE FROM t IN \"/data/x y.db\" WHERE a = 1", "/data/x y.db"},
      {"DELETE FROM t in   'it''s.db' where a = 1", "it's.db"},
      {"DELETE FROM t JOIN u ON t.a = u.a WHERE t.b = 1", ""},
      {"DELETE FROM t WHERE a IN ('x', 'y')", ""},
      {"DELETE FROM t WHERE a IN 'x.db'", ""},
      {"DELETE FROM t IN 'other.db'", ""},
      {"DELETE FROM t IN other WHERE a = 1", ""},
      {"DELETE FROM t IN 'unclosed WHERE a = 1", ""},
      {"DELETE FROM t IN '' WHERE a = 1", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ExternalDatabaseName(c.query, ClassifyDBQuery(c.query)), c.name) << c.query;
  }
}

TEST(DBFieldText, givesEachValueAsOneLineItem) {
  struct Case {
    const char* legend;
    QVariant value;
    const char* text;
  };
  const Case cases[] = {
      {"null", QVariant(), ""},
      {"null text", QVariant(QMetaType(QMetaType::QString)), ""},
      {"integer", QVariant(qlonglong(-42)), "-42"},
      {"large integer without grouping", QVariant(qlonglong(1234567)), "1234567"},
      {"fraction", QVariant(12340.5), "12340.5"},
      {"whole double", QVariant(800.0), "800"},
      {"exponent", QVariant(1e20), "1E+20"},
      {"text with quote kept", QVariant(QStringLiteral("say \"hi\"")), "say \"hi\""},
      {"CR LF become blanks", QVariant(QStringLiteral("a\r\nb\nc\rd")), "a  b c d"},
      {"forged end line", QVariant(QStringLiteral("x\"\n\"!")), "x\" \"!"},
      {"Latin-1 text as its byte", QVariant(QStringLiteral("caf\u00e9")), "caf\xe9"},
      {"boolean", QVariant(true), "True"},
  };
  for (const Case& c : cases) EXPECT_EQ(DBFieldText(c.value), c.text) << c.legend;
}

TEST(RxBuffer, isCappedAndOverflowDiscardsUpToTheLastLineFeed) {
  struct Case {
    const char* legend;
    std::string before;
    std::string piece;
    std::string after;
    size_t discarded;
  };
  const std::string full(kRxBufferCap - 10, 'a');
  const Case cases[] = {
      {"below the cap nothing is lost", "/QUERY=", "x!\n", "/QUERY=x!\n", 0},
      {"exactly the cap is kept", full, std::string(10, 'b'), full + std::string(10, 'b'), 0},
      {"over the cap without LF: all goes", full, std::string(11, 'b'), "", kRxBufferCap + 1},
      {"over the cap: complete lines stay to be served", full, "\nrest\npartial", full + "\nrest\npartial", 0},
      {"a line longer than the cap goes alone", "x\n", std::string(kRxBufferCap + 1, 'c'), "x\n",
       kRxBufferCap + 1},
  };
  for (const Case& c : cases) {
    std::string buffer = c.before;
    bool discardingLine = false;
    EXPECT_EQ(AppendToRxBuffer(buffer, c.piece, discardingLine).characters, c.discarded) << c.legend;
    EXPECT_EQ(buffer, c.after) << c.legend;
  }
  EXPECT_EQ(RxBufferOverflowLogLine(2, 8193),
            "Channel: 3  Receive buffer overflow: 8193 characters without a line feed discarded.");
}

TEST(RxBuffer, givesOneRequestLineAtATimeAndKeepsAPartialOne) {
  std::string buffer = "/QUERY=a!\r\n/QUERY=b!\n/QUE";
  EXPECT_EQ(TakeRequestLine(buffer), "/QUERY=a!\r\n");
  EXPECT_EQ(TakeRequestLine(buffer), "/QUERY=b!\n");
  EXPECT_EQ(TakeRequestLine(buffer), std::nullopt);
  EXPECT_EQ(buffer, "/QUE");
}

TEST(SerialReply, fixedBlocksHaveTheirExactBytes) {
  EXPECT_EQ(SerialReplyLine("a\"b"), "\"a\"b\"\n");
  EXPECT_EQ(SerialExecutedReply(), "\"EXECUTED\"\n\"!\"\n");
  EXPECT_EQ(SerialErrorReply(), "\"ERROR\"\n\"!\"\n");
  EXPECT_EQ(SerialErrorReply().size(), 12u);
}

}  // namespace
}  // namespace tarvex
