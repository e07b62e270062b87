// Continue with a damaged system setup file: the launch fails with the file's
// error, which goes on to be reported, and the start-up window is on screen
// again, ready, so the operator can mend the file and Continue, or end the
// manager; the main window is not shown, and one the failed launch loaded
// (its load shows it and starts the scan) is stopped as End stops it, while
// one End stopped already is not stopped twice. Once the file is mended,
// Continue launches, at the first Continue as after an End.
#include "platform/run_time_error.h"
#include "tests/core/setup_file_fixture.h"

namespace tarvex::test {
namespace {

// The parameter: Continue comes after a run of the main window and End.
class DamagedSetupAtContinueTest : public SetupFileFixture, public ::testing::WithParamInterface<bool> {
protected:
  // The start-up window is back and waits: shown, the normal pointer,
  // Continue shown, enabled and focused.
  void expectStartupWindowReady(const char* when) {
    EXPECT_TRUE(view.last.Visible) << when;
    EXPECT_EQ(view.last.MousePointer, MousePointer::Default) << when;
    EXPECT_TRUE(view.last.CmdContinueVisible) << when;
    EXPECT_TRUE(view.last.CmdContinueEnabled) << when;
    EXPECT_TRUE(view.last.CmdContinueFocused) << when;
    EXPECT_TRUE(registry.IsLoaded(*window)) << when;
  }
};

constexpr const char* GoodSetup = "25,2,15,0,25,1,#TRUE#,#FALSE#\r\n";

TEST_P(DamagedSetupAtContinueTest, theStartupWindowComesBackAndContinueWorksOnceTheFileIsMended) {
  writeSetup(GoodSetup);
  loadStartupWindow();
  if (GetParam()) {
    window->CmdContinue_Click();
    ASSERT_EQ(mainScreen()->shows, 1);
    window->ReturnFromMainScreen();
  }
  const int shows = mainScreen() ? mainScreen()->shows : 0;

  // The main window, whose load shows it and starts the scan, is stopped
  // when the failed launch loaded it; one that End stopped, or that a failed
  // launch stopped before, is not stopped again.
  const int stops = GetParam() ? 0 : 1;
  for (const char* damaged : {"25,2,x\r\n", "25,2\r\n"}) {
    writeSetup(damaged);
    EXPECT_THROW(window->CmdContinue_Click(), RunTimeError) << damaged;
    expectStartupWindowReady(damaged);
    ASSERT_NE(mainScreen(), nullptr);
    EXPECT_EQ(mainScreen()->shows, shows) << damaged;
    EXPECT_EQ(mainScreen()->stops, stops) << damaged;
  }

  writeSetup(GoodSetup);
  window->CmdContinue_Click();
  EXPECT_EQ(mainScreen()->shows, shows + 1);
  EXPECT_FALSE(view.last.Visible);
  EXPECT_EQ(mainScreen()->loads, 1);
}

INSTANTIATE_TEST_SUITE_P(FirstContinueAndContinueAfterEnd, DamagedSetupAtContinueTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "afterEnd" : "first"; });

}  // namespace
}  // namespace tarvex::test
