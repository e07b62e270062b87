// Settings files probed with hostile content and hostile file systems.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QTemporaryDir>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "config/settings_file.h"
#include "config/settings_storage.h"
#include "config/system_setup_file.h"
#include "platform/run_time_error.h"
#include "tests/support/file_bytes.h"

namespace tarvex {
namespace {

using hardening::ReadAll;
using hardening::WriteAll;

constexpr size_t Big = 10 * 1024 * 1024;

struct HugeFieldRow {
  const char* legend;
  std::string bytes;
  int number;
  std::string place;    // the field and line as the error names them
  std::string excerpt;  // how the field is shown: 80 bytes, then its length
};

TEST(HugeFieldError, quotesEightyCharactersAndTheLengthStillNamingFileFieldAndLine) {
  const std::string huge(Big, '7');
  const std::string garbage(Big, 'x');
  const std::string excerpt80(80, '7');
  const std::string garbage80(80, 'x');
  const std::string suffix = "... (" + std::to_string(Big) + " characters)";
  const HugeFieldRow rows[] = {
      {"text where a number belongs", "25\r\n\"" + garbage + "\",15,0,25,1,#TRUE#,#TRUE#\r\n",
       ErrorNumber::TypeMismatch, "field 2 (RxIdle), line 2", ("found the text \"" + garbage80 + "\"" + suffix)},
      {"bare garbage", "25,2," + garbage + ",0,25,1,#TRUE#,#TRUE#\r\n", ErrorNumber::TypeMismatch, "field 3 (",
       ("found \"" + garbage80 + "\"" + suffix)},
      {"bytes after a closing quote", "25,2,15,\"0\"" + garbage + ",25,1,#TRUE#,#TRUE#\r\n",
       ErrorNumber::TypeMismatch, "field 4 (", ("closing quote: \"" + garbage80 + "\"" + suffix)},
      {"a number of ten million digits", "25,2,15,0," + huge + ",1,#TRUE#,#TRUE#\r\n", ErrorNumber::Overflow,
       "field 5 (", ("the number " + excerpt80 + suffix + " is outside")},
      {"garbage where a Boolean belongs", "25,2,15,0,25,1\r\n\r\n" + garbage + ",#TRUE#\r\n",
       ErrorNumber::TypeMismatch, "field 7 (CmdHandshake), line 3", ("found \"" + garbage80 + "\"" + suffix)},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.legend);
    try {
      ParseSystemSetupFile(row.bytes, "/p/TarvexSysSetup.Cfg");
      ADD_FAILURE() << "no error";
    } catch (const RunTimeError& error) {
      EXPECT_EQ(error.number(), row.number);
      EXPECT_LT(error.description().size(), 400u);
      EXPECT_NE(error.description().find("/p/TarvexSysSetup.Cfg: "), std::string::npos) << error.description();
      EXPECT_NE(error.description().find(row.place), std::string::npos) << error.description();
      EXPECT_NE(error.description().find(row.excerpt), std::string::npos) << error.description();
    }
  }
}

TEST(HugeFieldError, aFieldOfEightyCharactersIsQuotedWhole) {
  const std::string field(80, 'x');
  try {
    ParseSystemSetupFile("\"" + field + "\"\r\n", "/p/TarvexSysSetup.Cfg");
    ADD_FAILURE() << "no error";
  } catch (const RunTimeError& error) {
    EXPECT_NE(error.description().find("line 1: a number is expected, found the text \"" + field + "\""),
              std::string::npos);
    EXPECT_EQ(error.description().find("characters)"), std::string::npos) << error.description();
  }
}

TEST(HugeFieldError, aTextTheWriterRefusesIsShortenedToo) {
  SettingsWriter writer("/p/Tarvex-SCALE1.Cfg");
  try {
    writer.Text(std::string(Big, '"'), "DeviceDesc");
    ADD_FAILURE() << "no error";
  } catch (const RunTimeError& error) {
    EXPECT_LT(error.description().size(), 400u);
    EXPECT_NE(error.description().find("(DeviceDesc)"), std::string::npos);
  }
}

mode_t ModeOf(const std::string& path) {
  struct stat st {};
  EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
  return st.st_mode & 07777;
}

std::vector<std::string> Entries(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

class SettingsSaveTest : public testing::Test {
protected:
  QTemporaryDir dir;
  std::string folder = dir.path().toStdString();
  std::string file = folder + "/Tarvex-SCALE1.Cfg";
};

TEST_F(SettingsSaveTest, aReadOnlyFileIsRefusedWithErrorSeventyFiveAndLeftAlone) {
  WriteAll(file, "old\r\n");
  ::chmod(file.c_str(), 0444);
  try {
    SaveSettingsFile(file, "new\r\n");
    ADD_FAILURE() << "the read-only file was replaced";
  } catch (const RunTimeError& error) {
    EXPECT_EQ(error.number(), ErrorNumber::PathFileAccessError);
    EXPECT_NE(error.description().find(file), std::string::npos) << error.description();
  }
  EXPECT_EQ(ReadAll(file), "old\r\n");
  EXPECT_EQ(ModeOf(file), 0444u);
  EXPECT_EQ(Entries(folder), std::vector<std::string>{"Tarvex-SCALE1.Cfg"});
}

TEST_F(SettingsSaveTest, aSaveKeepsTheFileMode) {
  WriteAll(file, "old\r\n");
  ::chmod(file.c_str(), 0640);
  SaveSettingsFile(file, "new\r\n");
  EXPECT_EQ(ReadAll(file), "new\r\n");
  EXPECT_EQ(ModeOf(file), 0640u);
}

TEST_F(SettingsSaveTest, aSaveThroughASymbolicLinkReplacesItsTargetAndKeepsTheLink) {
  std::filesystem::create_directory(folder + "/shared");
  const struct {
    const char* legend;
    std::string target;      // as the link holds it
    std::string targetPath;  // the file it leads to
    bool targetExists;
  } rows[] = {
      {"absolute link", folder + "/shared/scale1.cfg", folder + "/shared/scale1.cfg", true},
      {"relative link", "shared/scale2.cfg", folder + "/shared/scale2.cfg", true},
      {"link to a file not yet made", "shared/scale3.cfg", folder + "/shared/scale3.cfg", false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.legend);
    if (row.targetExists) {
      WriteAll(row.targetPath, "old\r\n");
      ::chmod(row.targetPath.c_str(), 0600);
    }
    std::filesystem::remove(file);
    std::filesystem::create_symlink(row.target, file);
    SaveSettingsFile(file, "new\r\n");
    EXPECT_TRUE(std::filesystem::is_symlink(file));
    EXPECT_EQ(std::filesystem::read_symlink(file), row.target);
    EXPECT_EQ(ReadAll(row.targetPath), "new\r\n");
    if (row.targetExists) {
      EXPECT_EQ(ModeOf(row.targetPath), 0600u);
    }
  }
  // No temporary file anywhere.
  EXPECT_EQ(Entries(folder + "/shared"), (std::vector<std::string>{"scale1.cfg", "scale2.cfg", "scale3.cfg"}));
}

TEST_F(SettingsSaveTest, theNextSaveRemovesTheTemporaryFilesOfAKilledOne) {
  WriteAll(file, "old\r\n");
  // What a save killed mid-way leaves, beside files that only look alike.
  const std::vector<std::string> litter = {"Tarvex-SCALE1.Cfg.tarvex-save-a1B2c3",
                                           "Tarvex-SCALE1.Cfg.tarvex-save-ZZZZZZ"};
  // A user's own copies beside the file are never taken for litter, whatever
  // six letters or digits they end in.
  const std::vector<std::string> kept = {"Tarvex-SCALE1.Cfg.bak",    "Tarvex-SCALE1.Cfg.a1B2c3d",
                                         "Tarvex-SCALE2.Cfg.a1B2c3", "Tarvex-SCALE1.Cfg.a1-2c3",
                                         "Tarvex-SCALE1.Cfg.backup", "Tarvex-SCALE1.Cfg.old123",
                                         "Tarvex-SCALE2.Cfg.tarvex-save-a1B2c3",
                                         "Tarvex-SCALE1.Cfg.tarvex-save-a1B2c3d",
                                         "Tarvex-SCALE1.Cfg.tarvex-save-a1-2c3"};
  for (const auto& name : litter) WriteAll(folder + "/" + name, "half");
  for (const auto& name : kept) WriteAll(folder + "/" + name, "keep");
  SaveSettingsFile(file, "new\r\n");
  EXPECT_EQ(ReadAll(file), "new\r\n");
  std::vector<std::string> expected = kept;
  expected.push_back("Tarvex-SCALE1.Cfg");
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(Entries(folder), expected);
}

}  // namespace
}  // namespace tarvex
