#pragma once
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QObject>

namespace tarvex::bus {

// QtDBus's side of a connection: the object that owns the connection's socket
// notifiers and sends what it is given, living on the connection's own
// thread. The bus interface object is its child. nullptr when the connection
// is not open.
inline QObject* ConnectionSide(const QDBusConnection& connection) {
  QDBusConnectionInterface* bus = connection.interface();
  return bus != nullptr ? bus->parent() : nullptr;
}

}  // namespace tarvex::bus
