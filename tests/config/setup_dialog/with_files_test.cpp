// The setup dialog on the real configuration procedure and real files: what
// the dialog shows and stores again reaches the files unchanged, and a failing
// write keeps the dialog open.
#include <cerrno>

#include "config/setup_dialog/setup_dialog_instance.h"
#include "tests/support/config_fixture.h"
#include "tests/support/setup_dialog_harness.h"

namespace tarvex {
namespace {

// A definition that keeps only the values the dialog has no control for.
ProtocolDefinition OnlyWhatTheDialogDoesNotShow(const ProtocolDefinition& full) {
  ProtocolDefinition kept;
  kept.ProtocolHeader = full.ProtocolHeader;
  kept.StatusFirstEmpty = full.StatusFirstEmpty;
  for (int k = 0; k < CommandsPerProtocol; ++k) {
    kept.Commands[static_cast<size_t>(k)].ProtocolCommands[3] = full.Commands[static_cast<size_t>(k)].ProtocolCommands[3];
  }
  for (int r = 0; r < StatusRows; ++r) {
    for (int c = 0; c < StatusColumns; ++c) {
      if (r >= StatusFileRows || c >= StatusFileColumns) {
        kept.StatusData[static_cast<size_t>(r)][static_cast<size_t>(c)] =
            full.StatusData[static_cast<size_t>(r)][static_cast<size_t>(c)];
      }
    }
  }
  return kept;
}

class WithFilesTest : public test::ConfigFolderTest {
protected:
  WithFilesTest() {
    startup.StatusTable().ReDim(0, 99, 0, 5);
    startup.ScreenWidth = 800;
    cfg.SetDialogTransfer(&instance);
  }

  SetupDialog& dialog() { return instance.Get(); }

  Journal journal;
  SetupHandoverState handover;
  ScanSide scan;
  RecordingMessageBox messageBox;
  RecordingMainWindow mainWindow{journal, scan};
  SetupDialogInstance instance{SetupDialogServices{*config, startup, handover, log, messageBox, mainWindow, scan.Handover()}, cfg};
};

TEST_F(WithFilesTest, dialogIsMadeOnFirstUseAndOpenedThenConfirmedChannelsKeepTheirFiles) {
  const struct {
    const char* fixture;
    int channel;
    const char* file;
  } rows[] = {{"channel-commas-and-ansi-bytes.cfg", 2, "Tarvex-SCALE3.Cfg"},
              {"default-channel-10.cfg", 9, "Tarvex-SCALE10.Cfg"},
              {"default-channel-1.cfg", 0, "Tarvex-SCALE1.Cfg"}};
  EXPECT_FALSE(instance.Exists());
  for (const auto& row : rows) {
    SCOPED_TRACE(row.fixture);
    const std::string bytes = test::WithFolder(test::Fixture(row.fixture), folder.path());
    test::WriteBytes(Path(row.file), bytes);

    dialog().OpenForChannel(row.channel);
    const ChannelSetup read = config->Channels[row.channel];
    cfg.CfgProc(CfgOp::DialogToChannel, row.channel);
    EXPECT_EQ(config->Channels[row.channel], read);

    dialog().cmdOk_Click();
    EXPECT_FALSE(dialog().IsOpen());
    EXPECT_EQ(test::ReadBytes(Path(row.file)), bytes);
  }
  EXPECT_TRUE(messageBox.shown().empty());
}

TEST_F(WithFilesTest, everyPartThatAttachesToTheDialogIsToldOnceWhenItIsMade) {
  // The window host and the status-table editor both attach themselves.
  std::vector<std::string> told;
  instance.OnCreated([&](SetupDialog&) { told.push_back("window"); });
  instance.OnCreated([&](SetupDialog&) { told.push_back("editor"); });
  cfg.CfgProc(CfgOp::ChannelToDialog, 0);
  cfg.CfgProc(CfgOp::ChannelToDialog, 1);
  EXPECT_EQ(told, (std::vector<std::string>{"window", "editor"}));
  // One that attaches after the dialog was made is told at once.
  instance.OnCreated([&](SetupDialog& made) {
    EXPECT_EQ(&made, &dialog());
    told.push_back("late");
  });
  EXPECT_EQ(told.back(), "late");
}

TEST_F(WithFilesTest, protocolFileThroughTheDialogIsWrittenBackUnchanged) {
  for (const char* fixture : {"protocol-mixed-cells.cfg", "protocol-full-status-table.cfg", "default-protocol.cfg"}) {
    SCOPED_TRACE(fixture);
    // What reading and writing the file alone gives, without the dialog.
    const std::string path = Path("Tarvex-Std-CustFmt1.Cfg");
    test::WriteBytes(path, test::Fixture(fixture));
    cfg.CfgProc(CfgOp::ReadProtocol, 10);
    cfg.CfgProc(CfgOp::WriteProtocol, 10);
    const std::string bytes = test::ReadBytes(path);

    cfg.CfgProc(CfgOp::ReadProtocol, 10);
    cfg.CfgProc(CfgOp::ProtocolToDialog, 10);
    config->Protocols[10] = OnlyWhatTheDialogDoesNotShow(config->Protocols[10]);
    cfg.CfgProc(CfgOp::DialogToProtocol, 10);
    cfg.CfgProc(CfgOp::WriteProtocol, 10);
    EXPECT_EQ(test::ReadBytes(path), bytes);
  }
}

TEST_F(WithFilesTest, diskFullInOkKeepsTheDialogOpenAndCancelStillCloses) {
  const std::string bytes = test::Fixture("channel-commas-and-ansi-bytes.cfg");
  test::WriteBytes(Path("Tarvex-SCALE3.Cfg"), bytes);
  dialog().OpenForChannel(2);
  dialog().Form().tDeviceDesc.SetText("Edited");
  cfg.SetFileWriteCall([](int, const void*, size_t) -> ssize_t {
    errno = ENOSPC;
    return -1;
  });

  dialog().cmdOk_Click();

  EXPECT_TRUE(dialog().IsOpen());
  ASSERT_EQ(messageBox.shown().size(), 1u);
  EXPECT_NE(messageBox.shown()[0].text.find("Tarvex-SCALE3.Cfg"), std::string::npos) << messageBox.shown()[0].text;
  ASSERT_FALSE(log.lines.empty());
  EXPECT_EQ(log.lines.back().kind, LogKind::Error);
  EXPECT_EQ(test::ReadBytes(Path("Tarvex-SCALE3.Cfg")), bytes);

  dialog().cmdCancel_Click();
  EXPECT_FALSE(dialog().IsOpen());
  EXPECT_EQ(scan.ReinitChannel, 2);
  EXPECT_EQ(config->Channels[2].DeviceDescs, "Ligne 3, balance \xe9tal\xe9"
                                             "e");
}

}  // namespace
}  // namespace tarvex
