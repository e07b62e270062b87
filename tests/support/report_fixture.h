#pragma once
// The program's application object with its last-resort report going to a
// recorded box and an error log in a private folder at a fixed time.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <sstream>

#include "app/tarvex_application.h"
#include "core/fallback_log_writer.h"
#include "platform/qt_message_box.h"

namespace tarvex::test {

class ReportFixture : public testing::Test {
protected:
  int argc = 1;
  char name[16] = "tarvex";
  char* argv[2] = {name, nullptr};
  TarvexApplication app{argc, argv};
  QTemporaryDir dir;
  ProgramFolder folder{dir.path().toStdString()};
  FixedClock clock{QDateTime(QDate(2026, 3, 7), QTime(14, 5, 9))};
  std::ostringstream err;
  FallbackLogWriter log{folder, clock, err, QLocale::c()};
  RecordingMessageBox boxes;
};

}  // namespace tarvex::test
