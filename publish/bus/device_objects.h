#pragma once
// The Device objects of the Devices table on the bus, /Device/0 to /Device/32,
// each from the moment the table creates it (by the main window's load or by a
// client's Connector.Device), with its nine typed properties, CDoUpdate and
// CCommandUpdate. Every CDoUpdate of an object, whoever calls it, is also
// broadcast as the bus signal CUpdate with the object's sequence number and
// its nine values, so no client has to read them back; the reply to either
// method carries the sequence number of the update it raised.
#include <array>
#include <memory>

#include "publish/bus/bus_object.h"
#include "publish/devices.h"

namespace tarvex::bus {

class DeviceObjects final : public BusObjectFamily {
  Q_OBJECT

public:
  // Serves the objects the table already holds and every one it creates later.
  explicit DeviceObjects(Devices& devices);
  ~DeviceObjects() override;

  static QString PathOf(int index);

protected:
  bool HasNode(const QString& node) const override;
  QStringList NodeNames() const override;
  QVariant ReadProperty(const QString& node, int index) const override;
  void WriteProperty(const QString& node, int index, const QVariant& value) override;
  QDBusMessage CallMethod(const QString& node, const QDBusMessage& message) override;

private:
  struct Exported {
    std::shared_ptr<Device> device;
    Device::Subscription subscription = 0;
  };

  void Export(int index, const std::shared_ptr<Device>& device);
  void BroadcastUpdate(int index, const Device& device) const;
  // The object of a node, or nullptr when none is served there.
  Device* DeviceAt(const QString& node) const;

  Devices& devices_;
  std::array<Exported, Devices::Count> exported_{};
};

}  // namespace tarvex::bus
