#pragma once
// The Device objects of the Devices table on the bus, /Device/0 to /Device/32,
// each from the moment the table creates it (by the main window's load or by a
// client's Connector.Device), with its nine typed properties, CDoUpdate and
// CCommandUpdate. Every CDoUpdate of an object, whoever calls it, is also
// broadcast as the bus signal CUpdate with the object's sequence number and
// its nine values, so no client has to read them back; the reply to either
// method carries the sequence number of the update it raised.
//
// What it must cope with: a client that calls CDoUpdate without waiting for
// replies, as fast as the bus carries the calls (some 80,000 a second). One
// CUpdate per call costs the manager several times what the call does: the
// calls pile up for minutes and every other client's call waits behind them.
//
// Policy: an update raised by a call that wants no reply goes out at once,
// unless the object sent a CUpdate less than CombineGapMs ago; then it waits
// for the end of that gap, and when more such updates come meanwhile only the
// latest goes out (the sequence numbers in between are skipped). Every other
// update (the engine's, or a call's that waits for its reply) goes out at once
// and replaces one that waits, so the signal still comes before the reply. The
// first combining of an episode (a minute without it ends one) is written once
// to the ActiveX log.
#include <QElapsedTimer>
#include <QTimer>
#include <array>
#include <memory>

#include "core/log_writer.h"
#include "publish/bus/bus_object.h"
#include "publish/devices.h"

namespace tarvex::bus {

class DeviceObjects final : public BusObjectFamily {
  Q_OBJECT

public:
  // Serves the objects the table already holds and every one it creates later.
  // log: where the first combining of updates is told; none without it.
  explicit DeviceObjects(Devices& devices, LogWriter* log = nullptr);
  ~DeviceObjects() override;

  static QString PathOf(int index);

  static constexpr int CombineGapMs = 10;
  static constexpr const char* CombinedLogLine =
      "Device %1: CDoUpdate Calls Without Reply Faster Than One Per 10 ms: CUpdate Signals Combined, "
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
  // One object's CUpdate as it stood when raised.
  struct Update {
    qulonglong sequence = 0;
    DeviceValues values;
  };
  struct Outgoing {
    qint64 sentMs = -1;  // when its last CUpdate went out
    bool waits = false;
    Update waiting;
  };

  void Export(int index, const std::shared_ptr<Device>& device);
  void BroadcastUpdate(int index, const Device& device);
  // Raises the object's update for a call; unhurried when it wants no reply.
  void RaiseUpdate(Device& device, bool unhurried);
  void Send(int index, const Update& update, qint64 nowMs);
  void SendWaiting();
  void TellCombining(int index, qint64 nowMs);
  // The object of a node, or nullptr when none is served there.
  Device* DeviceAt(const QString& node) const;

  Devices& devices_;
  LogWriter* log_;
  std::array<Exported, Devices::Count> exported_{};
  std::array<Outgoing, Devices::Count> outgoing_{};
  QElapsedTimer clock_;
  QTimer waitingTimer_;
  bool unhurried_ = false;  // while a call that wants no reply raises its update
  qint64 lastCombinedMs_ = -1;
};

}  // namespace tarvex::bus
