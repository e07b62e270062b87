#include "platform/tray/qt_notification_area.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>
#include <QPainter>
#include <QPixmap>
#include <array>

#include "platform/tray/window_manager.h"

namespace tarvex {

namespace {

constexpr int BusTimeoutMs = 1000;

// A weighing platform with a lamp: grey when idle, green on receive, red on
// transmit.
QPixmap DrawPicture(TrayPicture picture, int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  const qreal unit = size / 16.0;
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0x30, 0x40, 0x70));
  painter.drawRect(QRectF(2 * unit, 11 * unit, 12 * unit, 3 * unit));
  painter.drawRect(QRectF(7 * unit, 7 * unit, 2 * unit, 4 * unit));
  painter.drawRect(QRectF(3 * unit, 5 * unit, 10 * unit, 2 * unit));
  QColor lamp(0x90, 0x90, 0x90);
  if (picture == TrayPicture::Receive) lamp = QColor(0x00, 0xC0, 0x00);
  if (picture == TrayPicture::Transmit) lamp = QColor(0xE0, 0x00, 0x00);
  painter.setBrush(lamp);
  painter.drawEllipse(QRectF(10 * unit, 0.5 * unit, 5 * unit, 5 * unit));
  return pixmap;
}

}  // namespace

QIcon TrayPictureIcon(TrayPicture picture) {
  // The icon switches with every receive and transmit: each picture is drawn
  // once, on its first use, and shared from then on.
  // Kept to the end of the process, past the application's own end.
  static auto* const drawn = new std::array<QIcon, 3>();
  QIcon& icon = drawn->at(static_cast<size_t>(picture));
  if (icon.isNull()) {
    for (const int size : {16, 22, 32, 48}) icon.addPixmap(DrawPicture(picture, size));
  }
  return icon;
}

bool StatusNotifierHostRegistered() {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected() || bus.interface() == nullptr) return false;
  const QString watcher = QStringLiteral("org.kde.StatusNotifierWatcher");
  if (!bus.interface()->isServiceRegistered(watcher)) return false;
  QDBusMessage get = QDBusMessage::createMethodCall(watcher, QStringLiteral("/StatusNotifierWatcher"),
                                                    QStringLiteral("org.freedesktop.DBus.Properties"),
                                                    QStringLiteral("Get"));
  get << watcher << QStringLiteral("IsStatusNotifierHostRegistered");
  const QDBusMessage reply = bus.call(get, QDBus::Block, BusTimeoutMs);
  if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return false;
  return reply.arguments().first().value<QDBusVariant>().variant().toBool();
}

namespace {
const QString WatcherName = QStringLiteral("org.kde.StatusNotifierWatcher");
}  // namespace

QtNotificationArea::QtNotificationArea() {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) return;
  busNames_.setConnection(bus);
  busNames_.setWatchMode(QDBusServiceWatcher::WatchForOwnerChange);
  busNames_.addWatchedService(WatcherName);
  connect(&busNames_, &QDBusServiceWatcher::serviceOwnerChanged, this,
          [this](const QString&, const QString&, const QString& newOwner) { watcherOnBus_ = !newOwner.isEmpty(); });
  // Whether the watcher is there now: the bus itself answers, later.
  QDBusMessage owned = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"),
                                                      QStringLiteral("/org/freedesktop/DBus"),
                                                      QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameHasOwner"));
  owned << WatcherName;
  auto* pending = new QDBusPendingCallWatcher(bus.asyncCall(owned, BusTimeoutMs), this);
  connect(pending, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* answered) {
    const QDBusMessage reply = answered->reply();
    if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()) {
      watcherOnBus_ = watcherOnBus_ || reply.arguments().first().toBool();
    }
    answered->deleteLater();
  });
}

void QtNotificationArea::AskForStatusNotifierHost() {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) {
    statusNotifier_ = false;
    return;
  }
  QDBusMessage get = QDBusMessage::createMethodCall(WatcherName, QStringLiteral("/StatusNotifierWatcher"),
                                                    QStringLiteral("org.freedesktop.DBus.Properties"),
                                                    QStringLiteral("Get"));
  get << WatcherName << QStringLiteral("IsStatusNotifierHostRegistered");
  // No watcher on the bus: the bus answers at once with an error, and none is started for the question.
  get.setAutoStartService(false);
  auto* pending = new QDBusPendingCallWatcher(bus.asyncCall(get, BusTimeoutMs), this);
  connect(pending, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* answered) {
    const QDBusMessage reply = answered->reply();
    statusNotifier_ = reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty() &&
                      reply.arguments().first().value<QDBusVariant>().variant().toBool();
    answered->deleteLater();
  });
}

bool QtNotificationArea::Available() {
  if (!icon_) return watcherOnBus_ || XEmbedTrayPresent();
  return statusNotifier_ ? watcherOnBus_ : XEmbedTrayPresent();
}

void QtNotificationArea::Show(const TrayIconData& data) {
  icon_->setIcon(TrayPictureIcon(data.hIcon));
  icon_->setToolTip(QString::fromLatin1(data.szTip));
}

bool QtNotificationArea::Add(const TrayIconData& data) {
  if (shown_) return false;
  if (!icon_) {
    // Qt takes a StatusNotifier item when a watcher with a host is there; the
    // answer to the same question comes soon after and settles the kind.
    statusNotifier_ = watcherOnBus_;
    AskForStatusNotifierHost();
    icon_ = std::make_unique<QSystemTrayIcon>();
    connect(icon_.get(), &QSystemTrayIcon::activated, this, &QtNotificationArea::Activated);
  }
  Show(data);
  icon_->show();
  shown_ = true;
  return true;
}

bool QtNotificationArea::Modify(const TrayIconData& data) {
  if (!shown_) return false;
  Show(data);
  return true;
}

bool QtNotificationArea::Delete() {
  if (!shown_) return false;
  icon_->hide();
  shown_ = false;
  return true;
}

void QtNotificationArea::Activated(QSystemTrayIcon::ActivationReason reason) {
  switch (reason) {
    case QSystemTrayIcon::DoubleClick:
      Notify(TrayNotification::LeftDoubleClick);
      break;
    case QSystemTrayIcon::Trigger:
      Notify(statusNotifier_ ? TrayNotification::LeftDoubleClick : TrayNotification::LeftButtonUp);
      break;
    case QSystemTrayIcon::Context:
      Notify(TrayNotification::RightButtonDown);
      break;
    case QSystemTrayIcon::MiddleClick:
      Notify(TrayNotification::MiddleButtonUp);
      break;
    case QSystemTrayIcon::Unknown:
      break;
  }
}

}  // namespace tarvex
