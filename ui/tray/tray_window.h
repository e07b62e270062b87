#pragma once
// The main window as the tray icon sees it.
#include <QRect>

#include "platform/tray/notification_area.h"

namespace tarvex {

class TrayWindow {
public:
  virtual ~TrayWindow() = default;
  // The window's rectangle on the screen: the window end of the zoom.
  virtual QRect ScreenRect() const = 0;
  virtual void Hide() = 0;
  // Where there is no tray: the window goes to the task bar instead.
  virtual void Minimize() = 0;
  // Whether minimising takes the window off the screen (a bare X screen
  // without a window manager leaves it where it is).
  virtual bool CanMinimize() const = 0;
  // Shown and activated, also from minimised; showing paints it.
  virtual void Show() = 0;
  // Lets pending window events run once.
  virtual void ProcessEvents() = 0;
  // The window's own icon becomes the picture.
  virtual void SetIcon(TrayPicture picture) = 0;
  // mnuPopUp at the pointer: "Open Tarvex", a separator, "Cancel".
  virtual void PopUpMenu() = 0;
};

}  // namespace tarvex
