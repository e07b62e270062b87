#pragma once
// The notification area of the desktop through QSystemTrayIcon.
//
// Which kind of tray Qt uses is decided when the icon is made: a
// StatusNotifier host registered on the session bus, else an XEmbed tray on
// the X screen, else none. The same question is asked here at the same time,
// so the gestures of the kind in use are mapped as NotificationArea says.
#include <QIcon>
#include <QObject>
#include <QSystemTrayIcon>
#include <optional>

#include "platform/tray/notification_area.h"

namespace tarvex {

// The picture of the window and its tray icon.
QIcon TrayPictureIcon(TrayPicture picture);

// A StatusNotifier host is registered on the session bus (asked within a bound).
bool StatusNotifierHostRegistered();

class QtNotificationArea final : public QObject, public NotificationArea {
  Q_OBJECT
public:
  QtNotificationArea();

  bool Available() override;
  bool Add(const TrayIconData& data) override;
  bool Modify(const TrayIconData& data) override;
  bool Delete() override;

  // The icon itself, for the zoom to and from it.
  const QSystemTrayIcon* icon() const { return &icon_; }

private:
  void Show(const TrayIconData& data);
  void Activated(QSystemTrayIcon::ActivationReason reason);

  bool statusNotifier_;
  QSystemTrayIcon icon_;
  bool shown_ = false;
};

}  // namespace tarvex
