#pragma once
// The Device objects of the Devices table on the bus, /Device/0 to /Device/32,
// each from the moment the table creates it (by the main window's load or by a
// client's Connector.Device), with its nine typed properties, CDoUpdate and
// CCommandUpdate. Every CDoUpdate of an object, whoever calls it, is also
// broadcast as the bus signal CUpdate with the object's sequence number and
// its nine values, so no client has to read them back; the reply to either
// method carries the sequence number of the update it raised.
//
// A flood of updates from clients that want no reply is combined on its way
// to the bus (see update_combiner.h); the first combining of an episode is
// written once per object to the ActiveX log.
#include <QElapsedTimer>
#include <QTimer>
#include <array>
#include <memory>

#include "core/log_writer.h"
#include "publish/bus/bus_object.h"
#include "publish/bus/update_combiner.h"
#include "publish/devices.h"

namespace tarvex::bus {

class DeviceObjects final : public BusObjectFamily {
  Q_OBJECT

public:
  // Serves the objects the table already holds and every one it creates later.
  // log: where the first combining of updates is told (none without it); a
  // record it cannot write is lost, never raised.
  explicit DeviceObjects(Devices& devices, LogWriter* log = nullptr);
  ~DeviceObjects() override;

  static QString PathOf(int index);

  static constexpr const char* CombinedLogLine =
      "Device %1: Updates Without Reply Faster Than One Per 10 ms: CUpdate Signals Combined, "
      "The Latest Values Sent";

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
  void BroadcastUpdate(int index, const Device& device);
  // Raises the object's update for a call; unhurried when it wants no reply.
  void RaiseUpdate(Device& device, bool unhurried);
  void Send(int index, const UpdateCombiner::Update& update);
  void SendDue();
  // The timer runs out when the earliest held update is due.
  void ArmTimer(qint64 nowMs);
  void TellCombining(int index);
  // The object of a node, or nullptr when none is served there.
  Device* DeviceAt(const QString& node) const;

  Devices& devices_;
  LogWriter* log_;
  std::array<Exported, Devices::Count> exported_{};
  UpdateCombiner combiner_;
  QElapsedTimer clock_;
  QTimer dueTimer_;
  // The object whose update a call that wants no reply is raising, if any.
  const Device* unhurried_ = nullptr;
};

}  // namespace tarvex::bus
