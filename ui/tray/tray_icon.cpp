#include "ui/tray/tray_icon.h"

#include "core/tray_animation.h"

namespace tarvex {

namespace {

TrayPicture PictureOf(ActivityImage image) {
  switch (image) {
    case ActivityImage::Receive:
      return TrayPicture::Receive;
    case ActivityImage::Transmit:
      return TrayPicture::Transmit;
    case ActivityImage::Idle:
      break;
  }
  return TrayPicture::Idle;
}

}  // namespace

TrayIcon::TrayIcon(TrayIconServices services) : s_(services) {
  TrayIconData_.szTip = TrayTip;
  s_.area.SetHandler([this](int notification) { TrayWindowProc(notification); });
}

TrayIcon::~TrayIcon() { s_.area.SetHandler(nullptr); }

void TrayIcon::cmdPutInTray_Click() {
  if (s_.startup.DebugMode || s_.values.InTray) return;
  // With neither a tray nor a task bar the window could not leave the screen,
  // and a grid no longer drawn would show stale weights with no way back.
  if (!s_.area.Available() && !s_.window.CanMinimize()) return;
  s_.log.WriteLog(LogKind::Activity, "Tarvex Manager Minimized");
  s_.gridState.Painted = false;
  TrayIconData_.szTip = TrayTip;
  if (!s_.area.Available()) {
    s_.values.InTray = true;
    minimized_ = true;
    s_.window.Minimize();
    return;
  }
  s_.area.Add(TrayIconData_);
  AnimateTrayWindow(TrayAnimationMode::Hide, s_.window.ScreenRect(), s_.zoom);
  s_.values.InTray = true;
  s_.window.Hide();
}

void TrayIcon::TrayWindowProc(int notification) {
  if (!s_.values.InTray || minimized_) return;
  if (notification == TrayNotification::LeftDoubleClick) {
    s_.area.Delete();
    AnimateTrayWindow(TrayAnimationMode::Restore, s_.window.ScreenRect(), s_.zoom);
    s_.window.ProcessEvents();
    s_.values.InTray = false;
    s_.window.Show();
    s_.window.ProcessEvents();
  } else if (notification == TrayNotification::RightButtonDown) {
    s_.window.PopUpMenu();
  }
}

void TrayIcon::mnuRestore_Click() {
  if (!s_.startup.DebugMode) {
    s_.log.WriteLog(LogKind::Activity, "Tarvex Manager Maximized");
    s_.area.Delete();
  }
  s_.values.InTray = false;
  minimized_ = false;
  s_.window.Show();
}

void TrayIcon::WindowRestored() {
  if (!minimized_) return;
  minimized_ = false;
  s_.area.Delete();
  s_.values.InTray = false;
  s_.window.Show();
}

void TrayIcon::SetWindowIcon(ActivityImage image) {
  TrayIconData_.hIcon = PictureOf(image);
  s_.window.SetIcon(TrayIconData_.hIcon);
}

void TrayIcon::ShowWindowIconInTray() { s_.area.Modify(TrayIconData_); }

}  // namespace tarvex
