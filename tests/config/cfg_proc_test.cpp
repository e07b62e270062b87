// The configuration procedure as a whole: dispatch, the empty operations, and
// saves that fail part-way.
#include <cerrno>

#include "config/channel_file.h"
#include "platform/run_time_error.h"
#include "tests/support/config_fixture.h"

namespace tarvex::test {
namespace {

// Every call of the dialog and port seams, as "name(index)".
class RecordingSeams : public DialogTransfer, public PortOperations {
public:
  void ChannelToDialog(int i) override { Add("ChannelToDialog", i); }
  void DialogToChannel(int i) override { Add("DialogToChannel", i); }
  void ProtocolToDialog(int i) override { Add("ProtocolToDialog", i); }
  void DialogToProtocol(int i) override { Add("DialogToProtocol", i); }
  void ApplyPortSettings(int i) override { Add("ApplyPortSettings", i); }
  void OpenPort(int i) override { Add("OpenPort", i); }
  void RestorePortSettings(int i) override { Add("RestorePortSettings", i); }
  void SavePortSettings(int i) override { Add("SavePortSettings", i); }

  std::vector<std::string> calls;

private:
  void Add(const char* name, int i) { calls.push_back(std::string(name) + "(" + std::to_string(i) + ")"); }
};

class ConfigProcedureTest : public ConfigFolderTest {
protected:
  ConfigProcedureTest() {
    cfg.SetDialogTransfer(&seams);
    cfg.SetPortOperations(&seams);
  }
  RecordingSeams seams;
};

TEST_F(ConfigProcedureTest, dialogAndPortOperationsGoToTheirSeamsWithTheIndex) {
  const std::pair<int, const char*> cases[] = {
      {CfgOp::ChannelToDialog, "ChannelToDialog(5)"},       {CfgOp::DialogToChannel, "DialogToChannel(5)"},
      {CfgOp::ApplyPortSettings, "ApplyPortSettings(5)"},   {CfgOp::OpenPort, "OpenPort(5)"},
      {CfgOp::RestorePortSettings, "RestorePortSettings(5)"}, {CfgOp::SavePortSettings, "SavePortSettings(5)"},
      {CfgOp::ProtocolToDialog, "ProtocolToDialog(5)"},     {CfgOp::DialogToProtocol, "DialogToProtocol(5)"},
  };
  for (const auto& [op, call] : cases) {
    seams.calls.clear();
    cfg.CfgProc(op, 5);
    EXPECT_EQ(seams.calls, (std::vector<std::string>{call})) << "op " << op;
  }
  EXPECT_TRUE(FolderEntries().empty());

  // Without seams set, the null ones take the calls.
  cfg.SetDialogTransfer(nullptr);
  cfg.SetPortOperations(nullptr);
  seams.calls.clear();
  for (const auto& [op, call] : cases) cfg.CfgProc(op, 5);
  EXPECT_TRUE(seams.calls.empty());
}

TEST_F(ConfigProcedureTest, operationTwelveAndUnknownOperationsChangeNothing) {
  // Tables with something in them, so a change would show.
  WriteBytes(Path("Tarvex-SCALE3.Cfg"), Fixture("channel-commas-and-ansi-bytes.cfg"));
  cfg.CfgProc(CfgOp::ReadChannel, 2);
  WriteBytes(Path("Tarvex-Std-CustFmt1.Cfg"), Fixture("protocol-mixed-cells.cfg"));
  cfg.CfgProc(CfgOp::ReadProtocol, 10);
  config->System = {40, 0, 10, 3, 100, 5, false, true};
  const ConfigState before = *config;
  const auto logBefore = startup.ChannelLogEnabled;
  const auto entries = FolderEntries();
  seams.calls.clear();

  for (int op : {CfgOp::Nothing, 0, -1, 18, 100}) {
    for (int index : {0, 2, 10, 99}) cfg.CfgProc(op, index);
  }

  EXPECT_TRUE(*config == before);
  EXPECT_EQ(startup.ChannelLogEnabled, logBefore);
  EXPECT_EQ(FolderEntries(), entries);
  EXPECT_TRUE(seams.calls.empty());
  EXPECT_TRUE(log.lines.empty());
}

TEST_F(ConfigProcedureTest, anIndexOutsideItsTableRaisesErrorNineAndTouchesNoFile) {
  const std::pair<int, int> cases[] = {
      {CfgOp::ReadChannel, -1},   {CfgOp::ReadChannel, 33},    {CfgOp::WriteChannel, 33},
      {CfgOp::DefaultChannel, 33}, {CfgOp::DisableChannel, 33}, {CfgOp::ReadProtocol, -1},
      {CfgOp::ReadProtocol, 42},  {CfgOp::WriteProtocol, 42},  {CfgOp::WriteProtocol, 43},
  };
  for (const auto& [op, index] : cases) {
    ExpectRunTimeError([&] { cfg.CfgProc(op, index); }, ErrorNumber::SubscriptOutOfRange, "",
                       "op " + std::to_string(op) + " index " + std::to_string(index));
  }
  EXPECT_TRUE(FolderEntries().empty());
  EXPECT_TRUE(seams.calls.empty());
  EXPECT_TRUE(log.lines.empty());
}

// A write(2) that puts half of what it is given on the disk, then fails as a
// full disk does.
ssize_t HalfThenDiskFull(int fd, const void* data, size_t size) {
  static thread_local bool half = true;
  if (half && size > 1) {
    half = false;
    return ::write(fd, data, size / 2);
  }
  half = true;
  errno = ENOSPC;
  return -1;
}

TEST_F(ConfigProcedureTest, aSaveThatFailsPartWayLeavesTheOldFileByteIdentical) {
  struct Case {
    int op;
    int index;
    const char* file;
    const char* old;
  };
  const Case cases[] = {
      {CfgOp::WriteChannel, 2, "Tarvex-SCALE3.Cfg", "channel-commas-and-ansi-bytes.cfg"},
      {CfgOp::DefaultChannel, 2, "Tarvex-SCALE3.Cfg", "channel-commas-and-ansi-bytes.cfg"},
      {CfgOp::WriteProtocol, 10, "Tarvex-Std-CustFmt1.Cfg", "protocol-mixed-cells.cfg"},
      {CfgOp::WriteSystemSetup, 0, "TarvexSysSetup.Cfg", "default-system-setup.cfg"},
  };
  for (const Case& c : cases) {
    WriteBytes(Path(c.file), Fixture(c.old));
    config->Channels[2].DeviceDescs = "changed";
    config->Protocols[10].ProtocolHeader = 99;
    config->System.RxInterval = 99;
    const auto entries = FolderEntries();

    cfg.SetFileWriteCall(HalfThenDiskFull);
    ExpectRunTimeError([&] { cfg.CfgProc(c.op, c.index); }, ErrorNumber::DeviceIOError, Path(c.file), c.file);
    EXPECT_EQ(ReadBytes(Path(c.file)), Fixture(c.old)) << c.file;
    EXPECT_EQ(FolderEntries(), entries) << c.file << ": a temporary file was left";

    // The next save with a working disk goes through.
    cfg.SetFileWriteCall({});
    cfg.CfgProc(c.op, c.index);
    EXPECT_NE(ReadBytes(Path(c.file)), Fixture(c.old)) << c.file;
  }
}

TEST_F(ConfigProcedureTest, aSaveKeepsThePermissionsOfTheFileItReplaces) {
  WriteBytes(Path("TarvexSysSetup.Cfg"), Fixture("default-system-setup.cfg"));
  std::filesystem::permissions(Path("TarvexSysSetup.Cfg"), std::filesystem::perms(0640));
  cfg.CfgProc(CfgOp::WriteSystemSetup, 0);
  EXPECT_EQ(std::filesystem::status(Path("TarvexSysSetup.Cfg")).permissions(), std::filesystem::perms(0640));
}

}  // namespace
}  // namespace tarvex::test
