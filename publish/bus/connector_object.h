#pragma once
// The Connector at /Connector: hands out the path of a channel's shared Device
// object, creating the object on the first request.
#include "publish/bus/bus_object.h"
#include "publish/devices.h"

namespace tarvex::bus {

class ConnectorObject final : public BusObjectFamily {
  Q_OBJECT

public:
  explicit ConnectorObject(Devices& devices);

protected:
  bool HasNode(const QString& node) const override { return node.isEmpty(); }
  QStringList NodeNames() const override { return {}; }
  QVariant ReadProperty(const QString&, int) const override { return QVariant(); }
  void WriteProperty(const QString&, int, const QVariant&) override {}
  QDBusMessage CallMethod(const QString& node, const QDBusMessage& message) override;

private:
  Devices& devices_;
};

}  // namespace tarvex::bus
