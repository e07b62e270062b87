// A channel whose port cannot be used gets its defaults; the file they replace
// is kept beside it, byte for byte, so nothing the operator set is lost.
#include <unistd.h>

#include <cerrno>

#include "config/channel_file.h"
#include "tests/support/config_fixture.h"

namespace tarvex::test {
namespace {

// Records that the settings were handed to the setup dialog.
class RecordingTransfer : public DialogTransfer {
public:
  void ChannelToDialog(int i) override { calls.push_back("ChannelToDialog(" + std::to_string(i) + ")"); }
  void DialogToChannel(int) override {}
  void ProtocolToDialog(int) override {}
  void DialogToProtocol(int) override {}
  std::vector<std::string> calls;
};

class ChannelDefaultsBackupTest : public ConfigFolderTest {
protected:
  ChannelDefaultsBackupTest() { cfg.SetDialogTransfer(&transfer); }

  // What operation 6 writes for channel 2.
  std::string DefaultsFile() const {
    return FormatChannelFile(ChannelDefaults(2, folder), Path("Tarvex-SCALE3.Cfg"));
  }

  RecordingTransfer transfer;
};

TEST_F(ChannelDefaultsBackupTest, theReplacedFileIsKeptByteIdenticalAsBak) {
  const std::string operators = Fixture("channel-commas-and-ansi-bytes.cfg");
  WriteBytes(Path("Tarvex-SCALE3.Cfg"), operators);
  cfg.CfgProc(CfgOp::ReadChannel, 2);
  ASSERT_TRUE(config->Channels[2].DeviceEnabled);

  cfg.RestoreChannelDefaults(2);

  EXPECT_EQ(ReadBytes(Path("Tarvex-SCALE3.Cfg.bak")), operators);
  EXPECT_EQ(ReadBytes(Path("Tarvex-SCALE3.Cfg")), DefaultsFile());
  EXPECT_FALSE(config->Channels[2].DeviceEnabled);
  EXPECT_EQ(config->Channels[2], ChannelDefaults(2, folder).Setup);
  EXPECT_EQ(transfer.calls, std::vector<std::string>{"ChannelToDialog(2)"});
}

TEST_F(ChannelDefaultsBackupTest, aSecondFallbackKeepsTheOperatorsCopy) {
  const std::string operators = Fixture("channel-commas-and-ansi-bytes.cfg");
  WriteBytes(Path("Tarvex-SCALE3.Cfg"), operators);
  cfg.RestoreChannelDefaults(2);
  cfg.RestoreChannelDefaults(2);
  EXPECT_EQ(ReadBytes(Path("Tarvex-SCALE3.Cfg.bak")), operators);
}

TEST_F(ChannelDefaultsBackupTest, theCopySitsBesideTheFileUnderItsOwnLetterCase) {
  const std::string operators = Fixture("channel-commas-and-ansi-bytes.cfg");
  WriteBytes(Path("tarvex-scale3.cfg"), operators);
  cfg.RestoreChannelDefaults(2);
  EXPECT_EQ(FolderEntries(), (std::vector<std::string>{"tarvex-scale3.cfg", "tarvex-scale3.cfg.bak"}));
  EXPECT_EQ(ReadBytes(Path("tarvex-scale3.cfg.bak")), operators);
}

TEST_F(ChannelDefaultsBackupTest, withoutAFileThereIsNothingToKeep) {
  cfg.RestoreChannelDefaults(2);
  EXPECT_EQ(FolderEntries(), std::vector<std::string>{"Tarvex-SCALE3.Cfg"});
  EXPECT_EQ(ReadBytes(Path("Tarvex-SCALE3.Cfg")), DefaultsFile());
}

ssize_t DiskFull(int, const void*, size_t) {
  errno = ENOSPC;
  return -1;
}

TEST_F(ChannelDefaultsBackupTest, aCopyThatCannotBeMadeLeavesTheChannelFileAsItWas) {
  const std::string operators = Fixture("channel-commas-and-ansi-bytes.cfg");
  WriteBytes(Path("Tarvex-SCALE3.Cfg"), operators);
  cfg.SetFileWriteCall(DiskFull);
  ExpectRunTimeError([&] { cfg.RestoreChannelDefaults(2); }, ErrorNumber::DeviceIOError, "Tarvex-SCALE3.Cfg.bak",
                     "disk full");
  EXPECT_EQ(ReadBytes(Path("Tarvex-SCALE3.Cfg")), operators);
  EXPECT_EQ(FolderEntries(), std::vector<std::string>{"Tarvex-SCALE3.Cfg"});
}

}  // namespace
}  // namespace tarvex::test
