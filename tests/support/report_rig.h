#pragma once
// The manager's application object with a scratch program folder and its
// error log, for the tests of the last-resort report of an error that reached
// the event loop.
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "app/tarvex_application.h"
#include "core/fallback_log_writer.h"
#include "platform/clock.h"
#include "tests/support/file_bytes.h"

namespace tarvex::hardening {

struct ReportRig {
  int argc = 1;
  char name[16] = "tarvex";
  char* argv[2] = {name, nullptr};
  TarvexApplication app{argc, argv};
  QTemporaryDir dir;
  ProgramFolder folder{dir.path().toStdString()};
  FixedClock clock{QDateTime(QDate(2026, 3, 7), QTime(14, 5, 9))};
  std::ostringstream err;
  FallbackLogWriter log{folder, clock, err, QLocale::c()};

  std::string ErrorLog() const { return ReadAll(log.FileName(LogKind::Error)); }

  // Runs the loop with the given events queued, then one that ends it with
  // status 7: the status tells that the loop went on after them.
  int RunEvents(const std::vector<std::function<void()>>& events) {
    for (const auto& event : events) QTimer::singleShot(0, &app, event);
    QTimer::singleShot(0, &app, [this] { app.exit(7); });
    return app.exec();
  }
};

}  // namespace tarvex::hardening
