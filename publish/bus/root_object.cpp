#include "publish/bus/root_object.h"

#include "publish/bus/bus_names.h"

namespace tarvex::bus {

RootObject::RootObject()
    : BusObjectFamily(QStringLiteral("/"), QLatin1StringView(), QLatin1StringView(), {}, QDBusConnection::SingleNode) {}

QStringList RootObject::NodeNames() const {
  // The families' base paths without their leading "/".
  return {QString(ConnectorPath).mid(1), QString(DdePath).mid(1), QString(DevicePath).mid(1)};
}

QDBusMessage RootObject::CallMethod(const QString&, const QDBusMessage& message) {
  return message.createErrorReply(QDBusError::UnknownMethod, QStringLiteral("No such method ") + message.member());
}

}  // namespace tarvex::bus
