#include "tests/core/setup_file_fixture.h"

namespace tarvex::test {
namespace {

class SetupFileLaunchTest : public SetupFileFixture {
protected:
  QByteArray readFile(const std::string& path) const {
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }
};

TEST_F(SetupFileLaunchTest, AFreshFolderGetsTheDefaultFileAndStartsUnattended) {
  loadStartupWindow();
  EXPECT_EQ(readFile(setupPath()), QByteArray("25,2,15,0,25,1,#TRUE#,#TRUE#\r\n"));
  const QByteArray errors = readFile(log.FileName(LogKind::Error));
  EXPECT_EQ(errors.count('\n'), 1);
  EXPECT_TRUE(errors.contains("TarvexSysSetup.Cfg File Not Found. @ ")) << errors.toStdString();
  ASSERT_NE(mainScreen(), nullptr);
  EXPECT_EQ(mainScreen()->loads, 1);
  EXPECT_FALSE(window->Controls().CmdContinueEnabled);
}

TEST_F(SetupFileLaunchTest, TheFileDecidesAndEveryLaunchReadsItAgain) {
  writeSetup("25,2,15,0,25,1,#TRUE#,#FALSE#\r\n");
  loadStartupWindow();
  EXPECT_EQ(mainScreensCreated, 0);
  EXPECT_TRUE(window->Controls().CmdContinueFocused);

  writeSetup("40,3,20,0,30,2,#FALSE#,#TRUE#\r\n");
  window->CmdContinue_Click();
  EXPECT_EQ(setupReads, 2);
  EXPECT_TRUE(system.AutoStart);
  EXPECT_EQ(system.RxInterval, 40);
  EXPECT_FALSE(system.CmdHandshake);

  writeSetup("25,2,15,0,25,1,#TRUE#,#FALSE#\r\n");
  window->ReturnFromMainScreen();
  window->CmdContinue_Click();
  EXPECT_FALSE(system.AutoStart);
  EXPECT_EQ(mainScreen()->loads, 1);
  EXPECT_EQ(mainScreen()->shows, 2);
}

TEST_F(SetupFileLaunchTest, ADamagedFileStopsTheLoadBeforeTheWindowShows) {
  writeSetup("25,2,x\r\n");
  EXPECT_THROW(loadStartupWindow(), RunTimeError);
  EXPECT_FALSE(view.last.Visible);
  EXPECT_FALSE(registry.IsLoaded(*window));
  EXPECT_EQ(mainScreensCreated, 0);
}

}  // namespace
}  // namespace tarvex::test
