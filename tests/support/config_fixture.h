#pragma once
// A private program folder with a configuration procedure working in it, and
// the small file helpers the configuration tests share.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "config/cfg_proc.h"
#include "config/config_state.h"
#include "core/fixed_tables.h"
#include "core/log_writer.h"
#include "core/startup_state.h"
#include "platform/clock.h"
#include "platform/program_folder.h"
#include "platform/run_time_error.h"
#include "tests/support/recording_log.h"

namespace tarvex::test {

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

// A file of tests/data/config.
inline std::string Fixture(const std::string& name) { return ReadBytes(std::string(TARVEX_TEST_DATA) + "/config/" + name); }

// The golden files carry the program folder as a placeholder.
inline std::string WithFolder(std::string bytes, const std::string& folder) {
  const std::string marker = "%PROGRAM_FOLDER%";
  for (size_t at = bytes.find(marker); at != std::string::npos; at = bytes.find(marker, at + folder.size())) {
    bytes.replace(at, marker.size(), folder);
  }
  return bytes;
}

// Runs f and checks that it raises error number with place in its description.
template <typename F>
void ExpectRunTimeError(F&& f, int number, const std::string& place, const std::string& legend) {
  try {
    f();
    ADD_FAILURE() << legend << ": no error";
  } catch (const RunTimeError& e) {
    EXPECT_EQ(e.number(), number) << legend << ": " << e.description();
    EXPECT_NE(e.description().find(place), std::string::npos) << legend << ": " << e.description();
  }
}

// A damaged file and the error its read must raise.
struct DamagedFileCase {
  const char* legend;
  std::string bytes;
  int number;
  const char* place;  // where the description names the fault
};

class ConfigFolderTest : public ::testing::Test {
protected:
  ConfigFolderTest() : folder(dir.path().toStdString()), log(folder, clock), cfg(*config, startup, folder, log) {
    InitCfgFileNames(startup.Tables);
  }

  std::string Path(const std::string& name) const { return folder.path() + "/" + name; }
  std::vector<std::string> FolderEntries() const {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder.path())) names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }

  QTemporaryDir dir;
  ProgramFolder folder;
  FixedClock clock{QDateTime(QDate(2026, 12, 10), QTime(9, 30))};
  RecordingLog log;
  std::unique_ptr<ConfigState> config = std::make_unique<ConfigState>();
  StartupState startup;
  ConfigProcedure cfg;
};

}  // namespace tarvex::test
