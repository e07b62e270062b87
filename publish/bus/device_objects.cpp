#include "publish/bus/device_objects.h"

#include <QScopedValueRollback>
#include <algorithm>

#include "platform/ansi_text.h"
#include "publish/bus/bus_interfaces.h"
#include "publish/bus/bus_names.h"

namespace tarvex::bus {

namespace {

// In the order the interface file lists them.
enum DeviceProperty { Desc, Id, Cmd, CmdParm, CmdStat, Gross, Tare, Net, ScaleStat };

constexpr std::array<BusProperty, 9> DeviceProperties{{
    {QLatin1StringView("CDeviceDesc"), 's', true},
    {QLatin1StringView("CDeviceID"), 'i', true},
    {QLatin1StringView("CCmd"), 'n', true},
    {QLatin1StringView("CCmdParm"), 'd', true},
    {QLatin1StringView("CCmdStat"), 'n', true},
    {QLatin1StringView("CGross"), 'd', true},
    {QLatin1StringView("CTare"), 'd', true},
    {QLatin1StringView("CNet"), 'd', true},
    {QLatin1StringView("CScaleStat"), 'n', true},
}};

// "0" to "32" as written, without leading zeros or sign; -1 for anything else.
int ChannelOf(const QString& node) {
  bool ok = false;
  const int index = node.toInt(&ok);
  if (!ok || index < 0 || index >= Devices::Count || QString::number(index) != node) return -1;
  return index;
}

// The reply to a call that raised CUpdate carries the object's count of
// updates once the call is done: no CUpdate sent before it carries a greater
// number (a handler may have raised further updates inside the call), none
// sent after it one as small.
QDBusMessage UpdateReply(const QDBusMessage& message, const Device& device) {
  return message.createReply(QVariant::fromValue(static_cast<qulonglong>(device.UpdateSequence())));
}

}  // namespace

DeviceObjects::DeviceObjects(Devices& devices, LogWriter* log)
    : BusObjectFamily(QString(DevicePath), DeviceInterface, DeviceInterfaceXml, DeviceProperties),
      devices_(devices),
      log_(log) {
  clock_.start();
  dueTimer_.setSingleShot(true);
  dueTimer_.setTimerType(Qt::PreciseTimer);
  connect(&dueTimer_, &QTimer::timeout, this, &DeviceObjects::SendDue);
  for (int index = 0; index < Devices::Count; ++index) {
    if (devices_.IsCreated(index)) Export(index, devices_.At(index));
  }
  devices_.ObserveCreation([this](int index, const std::shared_ptr<Device>& device) { Export(index, device); });
}

DeviceObjects::~DeviceObjects() {
  devices_.ObserveCreation(nullptr);
  for (Exported& exported : exported_) {
    if (exported.device) exported.device->UnsubscribeCUpdate(exported.subscription);
  }
}

QString DeviceObjects::PathOf(int index) { return QString(DevicePath) + QLatin1Char('/') + QString::number(index); }

void DeviceObjects::Export(int index, const std::shared_ptr<Device>& device) {
  Exported& exported = exported_[static_cast<size_t>(index)];
  if (exported.device) return;
  exported.device = device;
  exported.subscription =
      device->SubscribeCUpdate([this, index](Device& updated) { BroadcastUpdate(index, updated); });
}

void DeviceObjects::BroadcastUpdate(int index, const Device& device) {
  const UpdateCombiner::Update update{device.UpdateSequence(), device.Values()};
  const qint64 nowMs = clock_.elapsed();
  switch (combiner_.Raise(index, update, &device == unhurried_, nowMs)) {
    case UpdateCombiner::Outcome::SendNow:
      Send(index, update);
      return;
    case UpdateCombiner::Outcome::HeldStartsEpisode:
      TellCombining(index);
      break;
    case UpdateCombiner::Outcome::Held:
      break;
  }
  ArmTimer(nowMs);
}

void DeviceObjects::Send(int index, const UpdateCombiner::Update& update) {
  const DeviceValues& v = update.values;
  WireSignal signal;
  signal.Uint64(update.sequence)
      .AnsiString(v.CDeviceDesc)
      .Int32(v.CDeviceID)
      .Double(v.CGross)
      .Double(v.CTare)
      .Double(v.CNet)
      .Int16(v.CScaleStat)
      .Int16(v.CCmd)
      .Double(v.CCmdParm)
      .Int16(v.CCmdStat);
  SendSignal(QString::number(index), std::string_view(DeviceInterface.data(), DeviceInterface.size()), "CUpdate",
             signal);
}

void DeviceObjects::SendDue() {
  const qint64 nowMs = clock_.elapsed();
  for (const auto& [index, update] : combiner_.TakeDue(nowMs)) Send(index, update);
  ArmTimer(nowMs);
}

void DeviceObjects::ArmTimer(qint64 nowMs) {
  const qint64 dueMs = combiner_.NextDueMs();
  if (dueMs < 0) return;
  const int dueInMs = static_cast<int>(std::max<qint64>(0, dueMs - nowMs));
  if (!dueTimer_.isActive() || dueTimer_.remainingTime() > dueInMs) dueTimer_.start(dueInMs);
}

void DeviceObjects::TellCombining(int index) {
  if (log_ == nullptr) return;
  try {
    log_->WriteLog(LogKind::ActiveX, QString::fromLatin1(CombinedLogLine).arg(index).toStdString());
  } catch (const RunTimeError&) {
    // Telling must not cost the update its other subscribers.
  }
}

void DeviceObjects::RaiseUpdate(Device& device, bool unhurried) {
  const QScopedValueRollback<const Device*> raising(unhurried_, unhurried ? &device : nullptr);
  device.CDoUpdate();
}

Device* DeviceObjects::DeviceAt(const QString& node) const {
  const int index = ChannelOf(node);
  return index < 0 ? nullptr : exported_[static_cast<size_t>(index)].device.get();
}

bool DeviceObjects::HasNode(const QString& node) const { return DeviceAt(node) != nullptr; }

QStringList DeviceObjects::NodeNames() const {
  QStringList names;
  for (int index = 0; index < Devices::Count; ++index) {
    if (exported_[static_cast<size_t>(index)].device) names << QString::number(index);
  }
  return names;
}

QVariant DeviceObjects::ReadProperty(const QString& node, int index) const {
  const Device& d = *DeviceAt(node);
  switch (index) {
    case Desc: return FromAnsi(d.CDeviceDesc());
    case Id: return QVariant::fromValue(static_cast<int>(d.CDeviceID()));
    case Cmd: return QVariant::fromValue(static_cast<short>(d.CCmd()));
    case CmdParm: return d.CCmdParm();
    case CmdStat: return QVariant::fromValue(static_cast<short>(d.CCmdStat()));
    case Gross: return d.CGross();
    case Tare: return d.CTare();
    case Net: return d.CNet();
    case ScaleStat: return QVariant::fromValue(static_cast<short>(d.CScaleStat()));
    default: return QVariant();
  }
}

void DeviceObjects::WriteProperty(const QString& node, int index, const QVariant& value) {
  Device& d = *DeviceAt(node);
  switch (index) {
    case Desc: d.SetCDeviceDesc(ToAnsi(value.toString())); break;
    case Id: d.SetCDeviceID(value.toInt()); break;
    case Cmd: d.SetCCmd(value.value<short>()); break;
    case CmdParm: d.SetCCmdParm(value.toDouble()); break;
    case CmdStat: d.SetCCmdStat(value.value<short>()); break;
    case Gross: d.SetCGross(value.toDouble()); break;
    case Tare: d.SetCTare(value.toDouble()); break;
    case Net: d.SetCNet(value.toDouble()); break;
    case ScaleStat: d.SetCScaleStat(value.value<short>()); break;
    default: break;
  }
}

QDBusMessage DeviceObjects::CallMethod(const QString& node, const QDBusMessage& message) {
  Device& d = *DeviceAt(node);
  const QString& member = message.member();
  const bool unhurried = !message.isReplyRequired();
  if (member == QLatin1StringView("CDoUpdate") && message.signature().isEmpty()) {
    RaiseUpdate(d, unhurried);
    return UpdateReply(message, d);
  }
  if (member == QLatin1StringView("CCommandUpdate") && message.signature() == QLatin1StringView("nnd")) {
    const QVariantList arguments = message.arguments();
    d.SetCCmdStat(arguments.at(0).value<short>());
    d.SetCCmd(arguments.at(1).value<short>());
    d.SetCCmdParm(arguments.at(2).toDouble());
    RaiseUpdate(d, unhurried);
    return UpdateReply(message, d);
  }
  if (member == QLatin1StringView("CDoUpdate") || member == QLatin1StringView("CCommandUpdate")) {
    return message.createErrorReply(QDBusError::InvalidArgs,
                                    QStringLiteral("Wrong arguments '%1' for %2").arg(message.signature(), member));
  }
  return message.createErrorReply(QDBusError::UnknownMethod, QStringLiteral("No such method ") + member);
}

}  // namespace tarvex::bus
