#include "tests/core/startup_fixture.h"

namespace tarvex::test {
namespace {

using StartupWindowTest = StartupFixture;

struct AutoStartCase {
  bool AutoStart;
  bool AutoStartPending;
  bool launched;
};

TEST_F(StartupWindowTest, OnlyAutoStartWithAPendingStartLaunchesWithoutInput) {
  const AutoStartCase cases[] = {
      {false, false, false},
      {false, true, false},
      {true, false, false},
      {true, true, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "AutoStart " << c.AutoStart << ", AutoStartPending " << c.AutoStartPending);
    StartupRig f;
    f.fileAutoStart = c.AutoStart;
    f.state.AutoStartPending = c.AutoStartPending;
    f.loadStartupWindow();
    const StartupControls& shown = f.view.last;
    EXPECT_EQ(shown, f.window->Controls());
    EXPECT_TRUE(shown.CmdContinueVisible);
    if (c.launched) {
      ASSERT_NE(f.mainScreen(), nullptr);
      EXPECT_EQ(f.mainScreen()->loads, 1);
      EXPECT_EQ(f.mainScreen()->shows, 1);
      EXPECT_FALSE(shown.CmdContinueEnabled);
      EXPECT_FALSE(shown.CmdContinueFocused);
      EXPECT_FALSE(shown.Visible);
      EXPECT_EQ(shown.MousePointer, MousePointer::Hourglass);
      EXPECT_EQ(f.setupReads, 2);
      // The disabled button is painted before the main window's load begins.
      const auto refreshed = std::find(f.events.begin(), f.events.end(), "startup refreshed");
      const auto created = std::find(f.events.begin(), f.events.end(), "create frmTVM");
      EXPECT_LT(refreshed, created);
    } else {
      EXPECT_EQ(f.mainScreensCreated, 0);
      EXPECT_TRUE(shown.CmdContinueEnabled);
      EXPECT_TRUE(shown.CmdContinueFocused);
      EXPECT_TRUE(shown.Visible);
      EXPECT_EQ(shown.MousePointer, MousePointer::Default);
      EXPECT_EQ(f.setupReads, 1);
    }
  }
}

struct WidthCase {
  short width;
  bool logo800, logo1024, menu800, menu1024;
};

TEST_F(StartupWindowTest, ScreenWidthPicksTheLogoAndMenuOfItsLayout) {
  const WidthCase cases[] = {
      {800, true, false, true, false},    {1023, true, false, true, false},   {1024, false, true, false, true},
      {1280, false, true, false, true},   {1920, false, true, false, true},
      // Narrower screens never get here (start-up refuses them); they would show neither.
      {640, false, false, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "width " << c.width);
    StartupRig f;
    f.state.ScreenWidth = c.width;
    f.loadStartupWindow();
    const StartupControls& shown = f.view.last;
    EXPECT_EQ(shown.iVOLogo800Visible, c.logo800);
    EXPECT_EQ(shown.iVOLogo1024Visible, c.logo1024);
    EXPECT_EQ(shown.iMenu800Visible, c.menu800);
    EXPECT_EQ(shown.iMenu1024Visible, c.menu1024);
    EXPECT_TRUE(shown.CmdContinueVisible);
    EXPECT_TRUE(shown.CmdContinueFocused);

    f.window->TaskCtrl(StartupTask::MainChoice, StartupTask::Hide);
    EXPECT_FALSE(f.view.last.CmdContinueVisible);
    EXPECT_FALSE(f.view.last.iMenu800Visible);
    EXPECT_FALSE(f.view.last.iMenu1024Visible);
    // Hiding the panel leaves the logo as it was.
    EXPECT_EQ(f.view.last.iVOLogo800Visible, c.logo800);
    EXPECT_EQ(f.view.last.iVOLogo1024Visible, c.logo1024);
  }
}

TEST_F(StartupWindowTest, RevisionShowsTheThreeVersionNumbersWithoutLeadingZeros) {
  const std::pair<ProgramVersion, std::string> cases[] = {
      {{1, 0, 23}, "Rev: 1.0.23"},
      {{10, 2, 105}, "Rev: 10.2.105"},
      {ProgramVersion::Current(), "Rev: 1.0.0"},  // the project's version
  };
  for (const auto& [version, text] : cases) {
    StartupRig f;
    f.loadStartupWindow(version);
    EXPECT_EQ(f.view.last.lRevision, text);
  }
}

TEST_F(StartupWindowTest, TaskControlRunsOnlyItsTasksAndActions) {
  struct TaskCase {
    int32_t task, action;
    bool panelShownAfter;  // starting from a hidden panel
  };
  const TaskCase cases[] = {
      {3, 7, true},  {3, 8, false}, {3, 0, false}, {3, 6, false}, {4, 0, true},   {4, 8, true},
      {5, 7, false}, {5, 0, false}, {0, 7, false}, {2, 7, false}, {7, 7, false}, {-1, 7, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "TaskCtrl(" << c.task << ", " << c.action << ")");
    StartupRig f;
    f.loadStartupWindow();
    f.window->TaskCtrl(5, 0);
    const StartupControls hidden = f.window->Controls();
    ASSERT_FALSE(hidden.CmdContinueVisible);
    f.window->TaskCtrl(c.task, c.action);
    if (c.panelShownAfter) {
      EXPECT_TRUE(f.window->Controls().CmdContinueVisible);
      EXPECT_TRUE(f.window->Controls().iMenu1024Visible);
      EXPECT_TRUE(f.window->Controls().CmdContinueFocused);
    } else {
      EXPECT_EQ(f.window->Controls(), hidden);
    }
    EXPECT_TRUE(f.processEnd.ended.empty());
    EXPECT_EQ(f.mainScreensCreated, 0);
  }
}

TEST_F(StartupWindowTest, LaunchLoadsTheMainWindowOnceAndRereadsTheSetupEachTime) {
  loadStartupWindow();
  events.clear();
  window->CmdContinue_Click();
  EXPECT_EQ(events, (Events{
                        "create frmTVM",
                        "load frmTVM",
                        "frmTVM pointer 11",
                        "system setup read",
                        "show frmTVM, FirstActivate True",
                    }));
  EXPECT_EQ(window->Controls().MousePointer, MousePointer::Hourglass);
  EXPECT_FALSE(window->Controls().Visible);
  EXPECT_FALSE(devicesInitialized);

  // The main window's close hands back; a changed setup file is read by the next launch.
  window->ReturnFromMainScreen();
  EXPECT_TRUE(view.last.Visible);
  EXPECT_EQ(view.last.MousePointer, MousePointer::Default);
  EXPECT_TRUE(view.last.CmdContinueEnabled);
  EXPECT_TRUE(view.last.CmdContinueFocused);
  activation = {false};
  devicesInitialized = true;
  fileAutoStart = true;
  events.clear();
  window->CmdContinue_Click();
  EXPECT_EQ(events, (Events{"frmTVM pointer 11", "system setup read", "show frmTVM, FirstActivate True"}));
  EXPECT_TRUE(system.AutoStart);
  EXPECT_FALSE(devicesInitialized);
  EXPECT_EQ(mainScreen()->loads, 1);
  EXPECT_EQ(mainScreensCreated, 1);
  EXPECT_EQ(loadedNames().back(), "frmTVM");
}

TEST_F(StartupWindowTest, ReturnAfterAnUnattendedStartEnablesAndFocusesContinue) {
  fileAutoStart = true;
  loadStartupWindow();
  ASSERT_FALSE(view.last.CmdContinueEnabled);
  window->ReturnFromMainScreen();
  EXPECT_TRUE(view.last.Visible);
  EXPECT_TRUE(view.last.CmdContinueEnabled);
  EXPECT_TRUE(view.last.CmdContinueFocused);
  EXPECT_EQ(view.last.MousePointer, MousePointer::Default);
  // A second load of the window never happens, so the unattended launch stays the only one.
  window->CmdContinue_Click();
  EXPECT_EQ(mainScreen()->loads, 1);
  EXPECT_EQ(mainScreen()->shows, 2);
}

TEST_F(StartupWindowTest, AWindowWhoseLoadFailsIsNotLoaded) {
  loadStartupWindow();
  RecordingForm failing("frmRefresh", events);
  struct Fails : RecordingForm {
    using RecordingForm::RecordingForm;
    void Form_Load() override { throw RunTimeError(ErrorNumber::FileNotFound, "frmRefresh.frx"); }
  } broken("frmRefresh", events);
  EXPECT_THROW(registry.Load(broken), RunTimeError);
  EXPECT_FALSE(registry.IsLoaded(broken));
  registry.Load(failing);
  registry.Load(failing);
  EXPECT_EQ(std::count(events.begin(), events.end(), "load frmRefresh"), 1);
  registry.Unload(failing);
}

}  // namespace
}  // namespace tarvex::test
