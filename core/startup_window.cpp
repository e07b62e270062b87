#include "startup_window.h"

#include "core/screen_layout.h"
#include "core/unload_all_forms.h"

namespace tarvex {

StartupWindow::StartupWindow(StartupWindowServices services, StartupView& view)
    : services_(std::move(services)), view_(view) {}

void StartupWindow::Form_Load() {
  services_.ReadSystemSetup();
  controls_.lRevision = RevisionText(services_.version);
  switch (LayoutFor(services_.state.ScreenWidth)) {
    case ScreenLayout::Width800:
      controls_.iVOLogo800Visible = true;
      controls_.iVOLogo1024Visible = false;
      break;
    case ScreenLayout::Width1024:
      controls_.iVOLogo800Visible = false;
      controls_.iVOLogo1024Visible = true;
      break;
    case ScreenLayout::None:
      break;
  }
  controls_.Visible = true;
  render();
  TaskCtrl(StartupTask::ShowMainChoice, 0);
}

void StartupWindow::TaskCtrl(int32_t task, int32_t action) {
  switch (task) {
    case StartupTask::MainChoice:
      if (action == StartupTask::Show) ShowMainChoice();
      else if (action == StartupTask::Hide) HideMainChoice();
      break;
    case StartupTask::ShowMainChoice:
      ShowMainChoice();
      break;
    case StartupTask::HideMainChoice:
      HideMainChoice();
      break;
    case StartupTask::Shutdown:
      Shutdown();
      break;
    default:
      break;
  }
}

void StartupWindow::ShowMainChoice() {
  controls_.CmdContinueVisible = true;
  switch (LayoutFor(services_.state.ScreenWidth)) {
    case ScreenLayout::Width800: controls_.iMenu800Visible = true; break;
    case ScreenLayout::Width1024: controls_.iMenu1024Visible = true; break;
    case ScreenLayout::None: break;
  }
  if (services_.AutoStart && services_.state.AutoStartPending) {
    controls_.CmdContinueEnabled = false;
    controls_.CmdContinueFocused = false;
    render();
    // Paint the disabled button before the main window's load takes its time.
    view_.Refresh();
    LaunchMainScreen();
    return;
  }
  if (controls_.CmdContinueEnabled) controls_.CmdContinueFocused = true;
  render();
}

void StartupWindow::HideMainChoice() {
  controls_.CmdContinueVisible = false;
  controls_.CmdContinueFocused = false;
  switch (LayoutFor(services_.state.ScreenWidth)) {
    case ScreenLayout::Width800: controls_.iMenu800Visible = false; break;
    case ScreenLayout::Width1024: controls_.iMenu1024Visible = false; break;
    case ScreenLayout::None: break;
  }
  render();
}

MainScreen& StartupWindow::MainWindow() {
  FormReferences& refs = services_.references;
  if (!refs.frmTVM) {
    refs.frmTVM = services_.CreateMainScreen();
    services_.registry.Load(*refs.frmTVM);
  }
  return *refs.frmTVM;
}

void StartupWindow::LaunchMainScreen() {
  controls_.MousePointer = MousePointer::Hourglass;
  render();
  // A main window loaded before this launch was stopped by its End; one this
  // launch loads has run its load, which shows it and starts the scan.
  const bool loadsNow = !services_.references.frmTVM;
  bool showing = false;
  try {
    MainWindow().SetMousePointer(MousePointer::Hourglass);
    controls_.Visible = false;
    render();
    services_.activation.FirstActivate = true;
    services_.ClearDevicesInitialized();
    services_.ReadSystemSetup();
    showing = true;
    MainWindow().Show();
  } catch (...) {
    // A launch that fails (a damaged system setup file) leaves no window on
    // screen and no scan: this window comes back, so the operator can mend
    // the file and Continue, or end the manager. The error goes on to the
    // caller, which reports it. A main window that this launch loaded or
    // began to show is stopped first, as End stops it; one End stopped
    // already is not stopped again (its connections closed twice).
    if (services_.references.frmTVM && (loadsNow || showing)) services_.references.frmTVM->Stop();
    ReturnFromMainScreen();
    throw;
  }
}

void StartupWindow::ReturnFromMainScreen() {
  controls_.Visible = true;
  controls_.MousePointer = MousePointer::Default;
  controls_.CmdContinueEnabled = true;
  controls_.CmdContinueFocused = controls_.CmdContinueVisible;
  render();
}

void StartupWindow::Shutdown() {
  // The teardown releases this window's own object; keep it until we return.
  const auto self = weak_from_this().lock();
  FormReferences& refs = services_.references;
  // No timer event may run on a window that is half unloaded.
  services_.registry.StopAllTimers();
  // A main window that was never launched has no port open: do not create it.
  if (refs.frmTVM) {
    SerialPortArray& ports = refs.frmTVM->MSComm();
    for (int index = 0; index < SerialPortArray::Count; ++index) {
      if (ports[index].PortOpen()) ports[index].SetPortOpen(false);
    }
  }
  services_.registry.Unload(*this);
  services_.processEnd.End(0);
}

void StartupWindow::Form_Unload() {
  const auto self = weak_from_this().lock();
  UnloadAllForms(services_.registry, services_.state, services_.references);
  controls_.Visible = false;
  view_.Close();
}

}  // namespace tarvex
