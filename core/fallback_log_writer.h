#pragma once
// The log writer of the running manager.
//
// What it must cope with: a log line that cannot be written (a full disk, a
// folder made read-only, a log file locked by another program) must not stop a
// manager that serves scales, and a receive log that fails at every frame must
// not flood the terminal either.
//
// Policy: a record that cannot be written is lost, never raised. The first
// failure of a cause (the kind's file and the system's reason) goes to stderr
// with the lost record; further records lost for the same cause are only
// counted. When the kind's file takes a record again, one stderr line says so
// and how many records were lost in between.
#include <map>
#include <ostream>
#include <string>

#include "core/log_writer.h"

namespace tarvex {

class FallbackLogWriter final : public LogWriter {
public:
  // err: where failures are reported (std::cerr in the program).
  FallbackLogWriter(const ProgramFolder& folder, const Clock& clock, std::ostream& err,
                    QLocale locale = QLocale::system())
      : LogWriter(folder, clock, std::move(locale)), err_(err) {}

  void WriteLog(int kind, std::string_view text) override;

private:
  struct Failure {
    std::string cause;
    long lost = 0;
  };
  std::ostream& err_;
  std::map<int, Failure> failing_;  // by kind, while its file refuses records
};

}  // namespace tarvex
