// A database request over a serial line, from the request's LF at the
// pseudo-terminal to its reply queued: a select of one record by an indexed
// column of a 10,000-record table. The goal is a median under 5 ms.
//
// Baseline in the same run: the same select through a bare QSqlQuery on a
// connection kept open, with no line and no per-request open and close.
//
// Run with --benchmark_repetitions=10 --benchmark_report_aggregates_only=true
// and read the medians.
#include <benchmark/benchmark.h>

#include <QDateTime>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <chrono>
#include <optional>
#include <stdexcept>

#include "engine/database/serial_db_request.h"
#include "platform/clock.h"
#include "platform/serial/serial_port.h"
#include "tests/support/pty_pair.h"

namespace {

using namespace tarvex;

constexpr int kRecords = 10000;

class NoReport final : public DBRequestReport {
public:
  void Status(std::string_view) override {}
  void SqlLog(std::string_view) override {}
};

// The table: tickets with an index on the truck number.
const std::string& DatabaseFile() {
  static QTemporaryDir dir;
  static const std::string file = [] {
    const std::string path = dir.path().toStdString() + "/weights.db";
    {
      QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("setup"));
      db.setDatabaseName(QString::fromStdString(path));
      if (!db.open()) throw std::runtime_error("cannot create " + path);
      QSqlQuery query(db);
      query.exec(QStringLiteral("CREATE TABLE tickets (id INTEGER PRIMARY KEY, truck TEXT, gross REAL, "
                                "tare REAL, stamp TEXT)"));
      db.transaction();
      query.prepare(QStringLiteral("INSERT INTO tickets (truck, gross, tare, stamp) VALUES (?, ?, ?, ?)"));
      for (int i = 0; i < kRecords; ++i) {
        query.bindValue(0, QStringLiteral("TRK-%1").arg(i));
        query.bindValue(1, 10000.0 + i);
        query.bindValue(2, 4000.0 + i % 100);
        query.bindValue(3, QStringLiteral("2026-12-09 14:05:03"));
        query.exec();
      }
      db.commit();
      query.exec(QStringLiteral("CREATE INDEX tickets_truck ON tickets (truck)"));
      query.finish();
      db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("setup"));
    return path;
  }();
  return file;
}

constexpr const char* kQuery = "SELECT * FROM tickets WHERE truck = 'TRK-5000'";

void RequestLineToReplyQueued(benchmark::State& state) {
  const std::string file = DatabaseFile();
  testing::PtyPair pty;
  testing::ScratchFolder scratch;
  scratch.MapPorts({{1, pty.path()}});
  SerialPort port(scratch.folder());
  port.SetPortOpen(true);

  DatabaseWorkspace workspace;
  FixedClock clock(QDateTime(QDate(2026, 12, 9), QTime(14, 5, 3)));
  NoReport report;
  const std::string line = "/DBNAME=" + file + "!/QUERY=" + kQuery + "!\r\n";
  std::string RxBuffer;
  bool discardingLine = false;
  std::string DBName;
  std::string TxBuffer;

  for (auto _ : state) {
    pty.Send(line);
    std::optional<std::string> request;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (!request && std::chrono::steady_clock::now() < deadline) {
      if (port.InBufferCount() > 0) AppendToRxBuffer(RxBuffer, port.Input(), discardingLine);
      request = TakeRequestLine(RxBuffer);
    }
    if (!request) {
      state.SkipWithError("the request line did not arrive");
      break;
    }
    TxBuffer += ServeDBRequestLine(*request, kSqliteDriver, DBName, workspace, clock, report);
    if (TxBuffer.find("COUNT=1") == std::string::npos) state.SkipWithError("no record found");
    benchmark::DoNotOptimize(TxBuffer.data());
    TxBuffer.clear();
  }
}
BENCHMARK(RequestLineToReplyQueued)->Unit(benchmark::kMillisecond)->UseRealTime();

void BareQuerySameSelect(benchmark::State& state) {
  const std::string file = DatabaseFile();
  {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bare"));
    db.setDatabaseName(QString::fromStdString(file));
    db.open();
    QSqlQuery query(db);
    query.setForwardOnly(true);
    for (auto _ : state) {
      query.exec(QString::fromLatin1(kQuery));
      if (!query.next()) state.SkipWithError("no record found");
      benchmark::DoNotOptimize(query.value(1));
      query.finish();
    }
    query.clear();
    db.close();
  }
  QSqlDatabase::removeDatabase(QStringLiteral("bare"));
}
BENCHMARK(BareQuerySameSelect)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
