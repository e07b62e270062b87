#include "platform/tray/qt_notification_area.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QPainter>
#include <QPixmap>

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
  QIcon icon;
  for (const int size : {16, 22, 32, 48}) icon.addPixmap(DrawPicture(picture, size));
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

// The kind is asked before the icon is made, as Qt does when it makes it.
QtNotificationArea::QtNotificationArea() : statusNotifier_(StatusNotifierHostRegistered()) {
  connect(&icon_, &QSystemTrayIcon::activated, this, &QtNotificationArea::Activated);
}

bool QtNotificationArea::Available() { return QSystemTrayIcon::isSystemTrayAvailable(); }

void QtNotificationArea::Show(const TrayIconData& data) {
  icon_.setIcon(TrayPictureIcon(data.hIcon));
  icon_.setToolTip(QString::fromLatin1(data.szTip));
}

bool QtNotificationArea::Add(const TrayIconData& data) {
  if (shown_) return false;
  Show(data);
  icon_.show();
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
  icon_.hide();
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
