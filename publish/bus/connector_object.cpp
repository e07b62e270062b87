#include "publish/bus/connector_object.h"

#include <QDBusObjectPath>

#include "publish/bus/bus_interfaces.h"
#include "publish/bus/bus_names.h"
#include "publish/bus/device_objects.h"
#include "publish/connector.h"

namespace tarvex::bus {

ConnectorObject::ConnectorObject(Devices& devices)
    : BusObjectFamily(QString(ConnectorPath), ConnectorInterface, ConnectorInterfaceXml, {}), devices_(devices) {}

QDBusMessage ConnectorObject::CallMethod(const QString&, const QDBusMessage& message) {
  if (message.member() != QLatin1StringView("Device")) {
    return message.createErrorReply(QDBusError::UnknownMethod, QStringLiteral("No such method ") + message.member());
  }
  if (message.signature() != QLatin1StringView("n")) {
    return message.createErrorReply(QDBusError::InvalidArgs,
                                    QStringLiteral("Device takes one 'n', not '%1'").arg(message.signature()));
  }
  const int index = message.arguments().at(0).value<short>();
  // Error 9 outside 0 to 32 reaches the caller as SubscriptOutOfRange; the
  // object is served on the bus as soon as the table creates it.
  Connector(devices_).Device(index);
  return message.createReply(QVariant::fromValue(QDBusObjectPath(DeviceObjects::PathOf(index))));
}

}  // namespace tarvex::bus
