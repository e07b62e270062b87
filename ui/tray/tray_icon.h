#pragma once
// Background mode: the main window hidden behind its notification-area icon,
// and back (cmdPutInTray_Click, the icon's notifications that TrayWindowProc
// handles, mnuRestore_Click). While hidden the engine and the publication
// switch the window's icon and, with it, the tray icon (ActivityIcons).
//
// What it must cope with: the put-in-tray can be asked for twice (the
// operator's Ctrl+M before the unattended start's own call); a desktop may
// have no tray at all, and a window hidden there could never be reached again
// while a second start of the manager is refused; the engine modifies the
// tray icon whether or not the window is in the tray.
//
// Policy: a put-in-tray while in the tray changes nothing. Without a tray the
// window is minimised instead of hidden, with the same log line and tray
// state, and the operator's restore of the minimised window is the menu's
// restore without its log line. A modify of the tray icon before the add or
// after the delete is refused by the notification area and creates nothing.
#include "core/grid/grid_state.h"
#include "core/log_writer.h"
#include "core/startup_state.h"
#include "platform/tray/notification_area.h"
#include "platform/tray_zoom/tray_zoom.h"
#include "publish/activity_icons.h"
#include "publish/main_window_values.h"
#include "ui/tray/tray_window.h"

namespace tarvex {

inline constexpr const char* TrayTip = " Velmar-Orinda Tarvex";

struct TrayIconServices {
  const StartupState& startup;  // DebugMode
  MainWindowValues& values;     // InTray
  GridState& gridState;         // Painted
  LogWriter& log;
  NotificationArea& area;
  TrayZoom& zoom;
  TrayWindow& window;
};

class TrayIcon final : public ActivityIcons {
public:
  // The icon's notifications reach TrayWindowProc from here on.
  explicit TrayIcon(TrayIconServices services);
  ~TrayIcon() override;
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;

  void cmdPutInTray_Click();
  // A notification of the icon (the window message's lParam).
  void TrayWindowProc(int notification);
  // "Open Tarvex" of the tray menu.
  void mnuRestore_Click();
  // The operator restored the window from the task bar.
  void WindowRestored();

  // ActivityIcons.
  void SetWindowIcon(ActivityImage image) override;
  void ShowWindowIconInTray() override;

  const TrayIconData& Data() const noexcept { return TrayIconData_; }
  // The window went to the task bar because there was no tray.
  bool Minimized() const noexcept { return minimized_; }

private:
  TrayIconServices s_;
  TrayIconData TrayIconData_;
  bool minimized_ = false;
};

}  // namespace tarvex
