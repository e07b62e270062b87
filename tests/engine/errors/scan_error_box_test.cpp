// The scan error handler's box answered later, as an operator does: the
// handler opens it and returns, and the same error of the same channel opens
// no second box until the first is answered (each failure is still logged).
#include <gtest/gtest.h>

#include "engine/errors/scan_error_handling.h"
#include "platform/clock.h"
#include "platform/program_folder.h"
#include "tests/support/engine_fixture.h"
#include "tests/support/failing_allocations.h"
#include "tests/support/waiting_box.h"

namespace tarvex::test {
namespace {

class QuietErrorWindow final : public ScanErrorWindow, public Beeper {
public:
  void MarkAllCellsDirty() override {}
  void Beep() override {}
};

struct Handler : EngineFixture {
  Handler() {
    startup.MaxChannel = 1;
    for (int32_t ch : {0, 1}) config.Channels[ch].InteractiveDBErrors = true;
  }
  // The handler's error log lines, in order.
  size_t ErrorLines() const {
    size_t n = 0;
    for (const auto& line : log.lines) n += line.kind == LogKind::Error ? 1 : 0;
    return n;
  }
  ScanSurroundings services = Services(log);
  WaitingBox box;
  QuietErrorWindow window;
  ScanErrorHandling handler{services, box, window, window};
};

const struct ErrorRow {
  const char* what;
  int32_t number;
  const char* description;
} Errors[] = {
    {"a line that hung up", 57, "Device I/O error"},
    {"a weight log that cannot be written", 75, "Path/File access error"},
    {"an interactive database error", 3021, "No current record"},
};

TEST(ScanErrorBoxTest, theSameErrorOfAChannelOpensOneBoxUntilItIsAnswered) {
  for (const ErrorRow& row : Errors) {
    Handler f;
    const RunTimeError error(row.number, row.description);
    for (int i = 0; i < 3; ++i) f.handler.HandleScanError(0, error);
    ASSERT_EQ(f.box.shown.size(), 1u) << row.what << ": one box while it waits";
    EXPECT_EQ(f.ErrorLines(), 3u) << row.what << ": every failure is still logged";

    // Another channel's same error, and another error of the channel, are
    // other boxes.
    f.handler.HandleScanError(1, error);
    f.handler.HandleScanError(0, RunTimeError(row.number + 1000, "Another error"));
    EXPECT_EQ(f.box.shown.size(), 3u) << row.what;

    // Answered: the next failure asks again.
    f.box.Answer(MsgBoxResult::Ok);
    f.handler.HandleScanError(0, error);
    ASSERT_EQ(f.box.shown.size(), 4u) << row.what << ": no box after the first was answered";
    EXPECT_EQ(f.box.shown.back().text, f.box.shown.front().text) << row.what;
  }
}

// Memory runs out once the error's report is built: from its error log line
// on, every allocation fails.
class MemoryRunsOutAtTheErrorLine final : public LogWriter {
public:
  MemoryRunsOutAtTheErrorLine() : LogWriter(folder_, clock_) {}
  void WriteLog(int kind, std::string_view) override {
    if (kind == LogKind::Error && armed) AllocationsFail = true;
  }
  bool armed = false;

private:
  ProgramFolder folder_{"/nonexistent"};
  FixedClock clock_{QDateTime()};
};

// The handler may not raise (the pass ends with its guard cleared only when
// it returns), and a box it could not open is not taken for one still open.
TEST(ScanErrorBoxTest, memoryRunningOutBeforeTheBoxLeavesTheHandlerReturningAndNoBoxMarkedOpen) {
  for (const ErrorRow& row : Errors) {
    EngineFixture f;
    f.startup.MaxChannel = 1;
    f.config.Channels[0].InteractiveDBErrors = true;
    MemoryRunsOutAtTheErrorLine log;
    ScanSurroundings services = f.Services(log);
    WaitingBox box;
    QuietErrorWindow window;
    ScanErrorHandling handler{services, box, window, window};
    const RunTimeError error(row.number, row.description);

    log.armed = true;
    handler.HandleScanError(0, error);
    AllocationsFail = false;
    log.armed = false;
    EXPECT_TRUE(box.shown.empty()) << row.what;

    handler.HandleScanError(0, error);
    EXPECT_EQ(box.shown.size(), 1u) << row.what << ": with memory back, the error opens its box";
  }
}

TEST(ScanErrorBoxTest, aBoxThatCouldNotBeOpenedIsNotTakenForAnOpenOne) {
  for (const ErrorRow& row : Errors) {
    Handler f;
    const RunTimeError error(row.number, row.description);
    f.box.failing = true;
    f.handler.HandleScanError(0, error);
    f.box.failing = false;
    f.handler.HandleScanError(0, error);
    EXPECT_EQ(f.box.shown.size(), 1u) << row.what;
  }
}

}  // namespace
}  // namespace tarvex::test
