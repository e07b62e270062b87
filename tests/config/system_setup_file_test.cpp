// The system setup file through the configuration procedure.
#include "config/system_setup_file.h"

#include "platform/run_time_error.h"
#include "tests/support/config_fixture.h"

namespace tarvex::test {
namespace {

class SystemSetupFile : public ConfigFolderTest {
protected:
  std::string File() { return Path("TarvexSysSetup.Cfg"); }
};

TEST_F(SystemSetupFile, aMissingOrEmptyFileIsCreatedWithTheDefaultLineAndOneLogLine) {
  // The real log writer, to count the lines that reach the error log.
  LogWriter realLog(folder, clock);
  ConfigProcedure procedure(*config, startup, folder, realLog);
  for (bool emptyFileThere : {false, true}) {
    std::filesystem::remove(realLog.FileName(LogKind::Error));
    std::filesystem::remove(File());
    if (emptyFileThere) WriteBytes(File(), "");
    config->System = SystemSetup();

    procedure.CfgProc(CfgOp::ReadSystemSetup, 0);

    EXPECT_EQ(ReadBytes(File()), Fixture("default-system-setup.cfg"));
    EXPECT_EQ(config->System, SystemSetupDefaults());
    const std::string errorLog = ReadBytes(realLog.FileName(LogKind::Error));
    EXPECT_EQ(errorLog.rfind(folder.path() + "/TarvexSysSetup.Cfg File Not Found. @ ", 0), 0u) << errorLog;
    EXPECT_EQ(std::count(errorLog.begin(), errorLog.end(), '\n'), 1);
  }
}

TEST_F(SystemSetupFile, writtenValuesReadBackAndOnlyTheFirstRecordCounts) {
  config->System = {40, 0, 10, 3, 100, 5, false, true};
  cfg.CfgProc(CfgOp::WriteSystemSetup, 0);
  EXPECT_EQ(ReadBytes(File()), "40,0,10,3,100,5,#FALSE#,#TRUE#\r\n");

  WriteBytes(File(), ReadBytes(File()) + "1,1,1,1,1,1,#TRUE#,#FALSE#\r\n");
  config->System = SystemSetup();
  cfg.CfgProc(CfgOp::ReadSystemSetup, 0);
  EXPECT_EQ(config->System, (SystemSetup{40, 0, 10, 3, 100, 5, false, true}));
  EXPECT_TRUE(log.lines.empty());
}

TEST_F(SystemSetupFile, damagedFileNamesFileAndFieldAndLeavesTheSetupAsItWas) {
  struct Case {
    const char* bytes;
    int number;
    const char* place;
  };
  const Case cases[] = {
      {"25,2,15,0,25\r\n", ErrorNumber::InputPastEndOfFile, "field 6 (GDIIdle)"},
      {"25,\"fast\",15,0,25,1,#TRUE#,#TRUE#\r\n", ErrorNumber::TypeMismatch, "field 2 (RxIdle)"},
      {"25,2,15,0,25,1,#TRUE#,yes\r\n", ErrorNumber::TypeMismatch, "field 8 (AutoStart)"},
      {"25,2,15,0,-9999999999,1,#TRUE#,#TRUE#\r\n", ErrorNumber::Overflow, "field 5 (GDIInterval)"},
  };
  config->System = {40, 0, 10, 3, 100, 5, false, true};
  for (const Case& c : cases) {
    WriteBytes(File(), c.bytes);
    ExpectRunTimeError([&] { cfg.CfgProc(CfgOp::ReadSystemSetup, 0); }, c.number, File() + ": " + c.place, c.bytes);
    EXPECT_EQ(config->System, (SystemSetup{40, 0, 10, 3, 100, 5, false, true})) << c.bytes;
  }
  EXPECT_TRUE(log.lines.empty());
}

}  // namespace
}  // namespace tarvex::test
