// Settings files probed with hostile content and hostile file systems.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "config/settings_file.h"
#include "config/settings_storage.h"
#include "config/system_setup_file.h"
#include "platform/run_time_error.h"

namespace tarvex {
namespace {

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

}  // namespace
}  // namespace tarvex
