#pragma once
// The main window's icon and the tray icon, which show channel activity while
// the window is hidden in the tray.
namespace tarvex {

// The window's images: iRcv, iXmit and iIdle.
enum class ActivityImage { Receive, Transmit, Idle };

class ActivityIcons {
public:
  virtual ~ActivityIcons() = default;
  // The main window's icon becomes the picture of the image.
  virtual void SetWindowIcon(ActivityImage image) = 0;
  // The tray icon takes the window's icon as now set. A failure of the shell
  // is ignored.
  virtual void ShowWindowIconInTray() = 0;
};

}  // namespace tarvex
