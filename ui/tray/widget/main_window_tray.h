#pragma once
// The tray icon of the real main window: the desktop's notification area,
// the zoom to and from it, the tray menu, and the window hidden, minimised
// and shown through its behaviour (so that no later redraw shows it again).
#include <QMenu>
#include <QObject>
#include <memory>

#include "platform/tray/qt_notification_area.h"
#include "platform/tray_zoom/qt_tray_zoom.h"
#include "ui/main_window/widget/main_window_widget.h"
#include "ui/tray/tray_icon.h"

namespace tarvex {

struct MainWindowTrayParts {
  const StartupState& startup;
  MainWindowValues& values;
  GridState& gridState;
  LogWriter& log;
};

class MainWindowTray final : public QObject, public TrayWindow {
  Q_OBJECT
public:
  MainWindowTray(MainWindowTrayParts parts, MainWindow& window, MainWindowWidget& widget);
  ~MainWindowTray() override;

  TrayIcon& Icon() { return *icon_; }
  QtNotificationArea& Area() { return area_; }
  QMenu& Menu() { return menu_; }

  // TrayWindow.
  QRect ScreenRect() const override;
  void Hide() override;
  void Minimize() override;
  bool CanMinimize() const override;
  void Show() override;
  void ProcessEvents() override;
  void SetIcon(TrayPicture picture) override;
  void PopUpMenu() override;

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  MainWindow& window_;
  MainWindowWidget& widget_;
  QtNotificationArea area_;
  QtTrayZoom zoom_{[this] { return area_.icon(); }};
  QMenu menu_;
  std::unique_ptr<TrayIcon> icon_;
};

}  // namespace tarvex
