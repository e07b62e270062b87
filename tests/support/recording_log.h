#pragma once
// The log writer of the tests: every record is kept in memory instead of being
// appended to a file, and, given a journal, also noted there as
// "log <kind> <text>" so that a test sees it in order among other calls.
#include <string>
#include <string_view>
#include <vector>

#include <QDateTime>

#include "core/log_writer.h"
#include "platform/clock.h"
#include "platform/program_folder.h"

namespace tarvex::test {

class RecordingLog final : public LogWriter {
public:
  struct Line {
    int kind;
    std::string text;
    bool operator==(const Line&) const = default;
  };

  RecordingLog() : LogWriter(ownFolder_, ownClock_) {}
  explicit RecordingLog(std::vector<std::string>& journal) : LogWriter(ownFolder_, ownClock_), journal_(&journal) {}
  // Where FileName() should point.
  RecordingLog(const ProgramFolder& folder, const Clock& clock) : LogWriter(folder, clock) {}

  void WriteLog(int kind, std::string_view text) override {
    lines.push_back({kind, std::string(text)});
    if (journal_) journal_->push_back("log " + std::to_string(kind) + " " + std::string(text));
  }

  // Each record as "<kind> <text>".
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const Line& line : lines) texts.push_back(std::to_string(line.kind) + " " + line.text);
    return texts;
  }

  std::vector<Line> lines;

private:
  // Bound by reference before they are built; LogWriter only keeps them.
  ProgramFolder ownFolder_{"/nonexistent"};
  FixedClock ownClock_{QDateTime()};
  std::vector<std::string>* journal_ = nullptr;
};

}  // namespace tarvex::test
