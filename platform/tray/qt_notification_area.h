#pragma once
// The notification area of the desktop through QSystemTrayIcon.
//
// Which kind of tray Qt uses is decided once, when the first icon is made: a
// StatusNotifier host registered on the session bus, else an XEmbed tray on
// the X screen. So the icon is made when it is first shown, not when the
// window is, and no question is asked before: a panel that starts after the
// manager is found, and the start waits for no bus call. Until then a tray is
// there when a StatusNotifier watcher owns its name on the bus (followed
// without waiting, from the bus's own name changes) or an XEmbed tray owns
// its X selection; after, when the kind Qt took is there. When the icon is
// made the watcher is asked, without waiting for the answer on the UI thread,
// whether its host is there, as Qt asks it, so the gestures of the kind in
// use are mapped as NotificationArea says.
#include <QIcon>
#include <QDBusServiceWatcher>
#include <QObject>
#include <QSystemTrayIcon>
#include <memory>
#include <optional>

#include "platform/tray/notification_area.h"

namespace tarvex {

// The picture of the window and its tray icon, drawn on its first use only.
QIcon TrayPictureIcon(TrayPicture picture);

// A StatusNotifier host is registered on the session bus (asked within a
// bound, waiting for the answer).
bool StatusNotifierHostRegistered();

class QtNotificationArea final : public QObject, public NotificationArea {
  Q_OBJECT
public:
  QtNotificationArea();

  bool Available() override;
  bool Add(const TrayIconData& data) override;
  bool Modify(const TrayIconData& data) override;
  bool Delete() override;

  // The icon itself, for the zoom to and from it; none before it was first shown.
  const QSystemTrayIcon* icon() const { return icon_.get(); }
  // The operator's gesture on the icon, as the icon reports it.
  void Activated(QSystemTrayIcon::ActivationReason reason);
  // A StatusNotifier host answered that it is there; false until it has.
  bool StatusNotifierHost() const { return statusNotifier_; }

private:
  void Show(const TrayIconData& data);
  void AskForStatusNotifierHost();

  // A StatusNotifier watcher owns its name on the session bus.
  bool watcherOnBus_ = false;
  // The icon is a StatusNotifier item (else an XEmbed one).
  bool statusNotifier_ = false;
  QDBusServiceWatcher busNames_;
  std::unique_ptr<QSystemTrayIcon> icon_;
  bool shown_ = false;
};

}  // namespace tarvex
