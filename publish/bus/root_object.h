#pragma once
// The root of the manager's paths, "/": answers introspection with the three
// families BusService serves below it (Connector, DDE, Device) and the
// standard interfaces, and has nothing of its own. An object the toolkit
// itself may export on the same connection (a desktop's global menu) is still
// reached at its path, but not listed here.
//
// Served here rather than left to the bus library, whose introspection of the
// root costs several times a call of the manager's own objects: a client that
// sent it as fast as the bus carries it kept the manager busy for many seconds
// after it stopped, and every other client's call waited behind it.
#include "publish/bus/bus_object.h"

namespace tarvex::bus {

class RootObject final : public BusObjectFamily {
  Q_OBJECT

public:
  // Serves "/" alone: the families keep their own paths.
  RootObject();

protected:
  bool HasNode(const QString& node) const override { return node.isEmpty(); }
  QStringList NodeNames() const override;
  QVariant ReadProperty(const QString&, int) const override { return QVariant(); }
  void WriteProperty(const QString&, int, const QVariant&) override {}
  QDBusMessage CallMethod(const QString& node, const QDBusMessage& message) override;
};

}  // namespace tarvex::bus
