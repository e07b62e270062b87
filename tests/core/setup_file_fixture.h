#pragma once
// The start-up window over the real system setup file in a private folder.
#include <QFile>
#include <QTemporaryDir>

#include "config/cfg_proc.h"
#include "platform/clock.h"
#include "tests/core/startup_fixture.h"

namespace tarvex::test {

class SetupFileFixture : public StartupFixture {
protected:
  QTemporaryDir dir;
  ProgramFolder folder{dir.path().toStdString()};
  FixedClock clock{QDateTime(QDate(2026, 3, 7), QTime(14, 5, 9))};
  LogWriter log{folder, clock};
  ConfigProcedure configuration{config, state, folder, log};

  SetupFileFixture() {
    readSystemSetup = [this] {
      ++setupReads;
      configuration.CfgProc(CfgOp::ReadSystemSetup, 0);
    };
  }

  std::string setupPath() const { return folder.join("TarvexSysSetup.Cfg"); }
  void writeSetup(const char* line) {
    QFile file(QString::fromStdString(setupPath()));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(line);
  }
};

}  // namespace tarvex::test
