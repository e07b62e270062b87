#include <dirent.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/log_writer.h"
#include "platform/run_time_error.h"

namespace tarvex {
namespace {

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

int OpenDescriptors() {
  int count = 0;
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
    (void)entry;
    ++count;
  }
  return count;
}

class LogWriterTest : public testing::Test {
protected:
  QTemporaryDir dir;
  ProgramFolder folder{dir.path().toStdString()};
  FixedClock clock{QDateTime(QDate(2026, 3, 7), QTime(14, 5, 9))};
  // The C locale gives the United States form, whatever the machine is set to.
  LogWriter log{folder, clock, QLocale::c()};

  std::string path(const char* name) const { return folder.path() + "/" + name; }
};

TEST_F(LogWriterTest, recordIsTextAtDateTimeAndCrLf) {
  log.WriteLog(LogKind::Error, "Tried To Start Tarvex Manager While Already Running");
  EXPECT_EQ(ReadAll(path("ErrorLog-Velmar Orinda Tarvex.txt")),
            "Tried To Start Tarvex Manager While Already Running @ 3/7/2026 2:05:09 PM\r\n");
}

TEST_F(LogWriterTest, midnightWritesTheDateAloneAndEmptyTextKeepsTheSeparator) {
  clock.set(QDateTime(QDate(2026, 12, 31), QTime(0, 0)));
  log.WriteLog(LogKind::Activity, "");
  EXPECT_EQ(ReadAll(path("ActiveLog-Velmar Orinda Tarvex.txt")), " @ 12/31/2026\r\n");
}

TEST_F(LogWriterTest, everyKindWritesItsOwnFile) {
  const struct {
    int kind;
    const char* file;
  } rows[] = {
      {1, "ErrorLog-Velmar Orinda Tarvex.txt"}, {2, "RecvLog-Velmar Orinda Tarvex.txt"},
      {3, "XmitLog-Velmar Orinda Tarvex.txt"},  {4, "SQLLog-Velmar Orinda Tarvex.txt"},
      {5, "ActiveLog-Velmar Orinda Tarvex.txt"}, {6, "OPCLog-Velmar Orinda Tarvex.txt"},
      {7, "GDILog-Velmar Orinda Tarvex.txt"},   {8, "ActiveXLog-Velmar Orinda Tarvex.txt"},
      {0, "Velmar Orinda Tarvex.txt"},          {9, "Velmar Orinda Tarvex.txt"},
  };
  for (const auto& row : rows) {
    log.WriteLog(row.kind, "kind " + std::to_string(row.kind));
    EXPECT_NE(ReadAll(path(row.file)).find("kind " + std::to_string(row.kind) + " @ "), std::string::npos)
        << row.kind;
  }
  EXPECT_EQ(ReadAll(path("Velmar Orinda Tarvex.txt")),
            "kind 0 @ 3/7/2026 2:05:09 PM\r\nkind 9 @ 3/7/2026 2:05:09 PM\r\n");
}

TEST_F(LogWriterTest, existingFileOnlyGrowsInCallOrder) {
  {
    std::ofstream(path("ErrorLog-Velmar Orinda Tarvex.txt"), std::ios::binary) << "older\r\n";
  }
  log.WriteLog(LogKind::Error, "first");
  log.WriteLog(LogKind::Error, "second");
  EXPECT_EQ(ReadAll(path("ErrorLog-Velmar Orinda Tarvex.txt")),
            "older\r\nfirst @ 3/7/2026 2:05:09 PM\r\nsecond @ 3/7/2026 2:05:09 PM\r\n");
}

TEST_F(LogWriterTest, failedOpenRaisesAndLeavesNoDescriptorOpen) {
  // A folder in place of the file cannot be opened for writing.
  std::filesystem::create_directory(path("ErrorLog-Velmar Orinda Tarvex.txt"));
  const int before = OpenDescriptors();
  try {
    log.WriteLog(LogKind::Error, "lost");
    ADD_FAILURE() << "no error";
  } catch (const RunTimeError& e) {
    EXPECT_EQ(e.number(), ErrorNumber::PathFileAccessError);
    EXPECT_NE(e.description().find("ErrorLog-Velmar Orinda Tarvex.txt"), std::string::npos);
  }
  EXPECT_EQ(OpenDescriptors(), before);
}

TEST_F(LogWriterTest, failedWriteRaisesAndLeavesNoDescriptorOpen) {
  // A full disk: the log file is a link to /dev/full, where every write fails.
  std::filesystem::create_symlink("/dev/full", path("RecvLog-Velmar Orinda Tarvex.txt"));
  const int before = OpenDescriptors();
  try {
    log.WriteLog(LogKind::Receive, "lost");
    ADD_FAILURE() << "no error";
  } catch (const RunTimeError& e) {
    EXPECT_EQ(e.number(), ErrorNumber::DeviceIOError);
  }
  EXPECT_EQ(OpenDescriptors(), before);
}

TEST(GeneralDateTimeText, followsTheLocaleWithoutTimeZone) {
  const QDateTime afternoon(QDate(2026, 3, 7), QTime(14, 5, 9));
  EXPECT_EQ(GeneralDateTimeText(afternoon, QLocale::c()), "3/7/2026 2:05:09 PM");
  EXPECT_EQ(GeneralDateTimeText(QDateTime(QDate(2026, 3, 7), QTime(9, 0, 1)), QLocale::c()), "3/7/2026 9:00:01 AM");
  EXPECT_EQ(GeneralDateTimeText(afternoon, QLocale(QLocale::German, QLocale::Germany)), "07.03.26 14:05:09");
  EXPECT_EQ(GeneralDateTimeText(QDateTime(QDate(2026, 3, 7), QTime(0, 0)), QLocale(QLocale::German, QLocale::Germany)),
            "07.03.26");
}

}  // namespace
}  // namespace tarvex
