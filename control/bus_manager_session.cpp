#include "control/bus_manager_session.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QVariantMap>
#include <cstdint>
#include <optional>
#include <string>

#include "control/reply_wait.h"
#include "platform/ansi_text.h"
#include "platform/run_time_error.h"
#include "publish/bus/bus_names.h"

namespace tarvex {

namespace {

const QString kManagerName = bus::ServiceName;
const QString kConnectorPath = bus::ConnectorPath;
const QString kConnectorInterface = bus::ConnectorInterface;
const QString kDeviceInterface = bus::DeviceInterface;
const QString kBusName = QStringLiteral("org.freedesktop.DBus");
const QString kBusPath = QStringLiteral("/org/freedesktop/DBus");
const QString kPropertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");

std::string Detail(const QDBusError& error) {
  return " (" + ToAnsi(error.name()) + ": " + ToAnsi(error.message()) + ")";
}

RunTimeError Failure(int number, const QDBusError& error) {
  return RunTimeError(number, StandardErrorDescription(number) + Detail(error));
}

// The manager's own run-time error, whose message is its number, ": " and
// its description.
std::optional<RunTimeError> ManagerError(const QDBusError& error) {
  const QString message = error.message();
  const qsizetype colon = message.indexOf(QLatin1String(": "));
  bool ok = false;
  const int number = message.left(colon).toInt(&ok);
  if (colon <= 0 || !ok) return std::nullopt;
  return RunTimeError(number, ToAnsi(message.mid(colon + 2)));
}

// The error a host sees for a failed call to a manager already reached.
RunTimeError CallFailure(const QDBusError& error) {
  const QString name = error.name();
  if (name == bus::SubscriptOutOfRangeError) {
    return Failure(ErrorNumber::SubscriptOutOfRange, error);
  }
  if (name == bus::RunTimeErrorName) {
    if (std::optional<RunTimeError> failure = ManagerError(error)) return *failure;
  }
  if (name == QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner")) {
    return Failure(ErrorNumber::RemoteServerUnavailable, error);
  }
  switch (error.type()) {
    case QDBusError::InvalidArgs:
      return Failure(ErrorNumber::TypeMismatch, error);
    case QDBusError::ServiceUnknown:
    case QDBusError::Disconnected:
    case QDBusError::NoServer:
      return Failure(ErrorNumber::RemoteServerUnavailable, error);
    default:
      return Failure(ErrorNumber::AutomationError, error);
  }
}

// The answer of a call, or the error a host sees for it.
QDBusMessage Checked(const QDBusMessage& reply) {
  if (reply.type() == QDBusMessage::ErrorMessage) throw CallFailure(QDBusError(reply));
  if (reply.type() != QDBusMessage::ReplyMessage) {
    throw RunTimeError(ErrorNumber::AutomationError,
                       StandardErrorDescription(ErrorNumber::AutomationError) +
                           " (no answer from the manager)");
  }
  return reply;
}

QDBusMessage CallChecked(const QDBusConnection& connection, const QDBusMessage& call) {
  return Checked(AwaitReply(connection.asyncCall(call, kManagerCallTimeoutMs)));
}

QVariant Unwrap(const QVariant& value) {
  if (value.userType() == qMetaTypeId<QDBusVariant>()) return value.value<QDBusVariant>().variant();
  return value;
}

QVariantMap ToMap(const QVariant& value) {
  if (value.userType() == qMetaTypeId<QDBusArgument>()) {
    QVariantMap map;
    value.value<QDBusArgument>() >> map;
    return map;
  }
  return value.toMap();
}

void TakeValues(const QVariantMap& map, DeviceValues& values) {
  auto number = [&](const char* key, auto& field) {
    const auto it = map.find(QLatin1String(key));
    if (it != map.end()) field = static_cast<std::remove_reference_t<decltype(field)>>(
                             Unwrap(*it).toDouble());
  };
  if (const auto it = map.find(QStringLiteral("CDeviceDesc")); it != map.end()) {
    values.CDeviceDesc = Unwrap(*it).toString();
  }
  number("CGross", values.CGross);
  number("CTare", values.CTare);
  number("CNet", values.CNet);
  number("CScaleStat", values.CScaleStat);
  number("CCmd", values.CCmd);
  number("CCmdParm", values.CCmdParm);
  number("CCmdStat", values.CCmdStat);
}

class BusDeviceLink final : public DeviceLink {
  Q_OBJECT
public:
  BusDeviceLink(QDBusConnection connection, QString owner, QString path)
      : connection_(std::move(connection)), owner_(std::move(owner)), path_(std::move(path)) {
    // Subscribed before the first read, so no CUpdate falls between the two.
    connection_.connect(owner_, path_, kDeviceInterface, QStringLiteral("CUpdate"), this,
                        SLOT(OnCUpdate(QDBusMessage)));
    QDBusMessage getAll =
        QDBusMessage::createMethodCall(owner_, path_, kPropertiesInterface, QStringLiteral("GetAll"));
    getAll << kDeviceInterface;
    // A CUpdate delivered while the read was under way was sent before its
    // answer: the values read are at least as new as it.
    const QDBusMessage reply = CallChecked(connection_, getAll);
    if (!reply.arguments().isEmpty()) TakeValues(ToMap(reply.arguments().at(0)), values_);
  }

  ~BusDeviceLink() override {
    connection_.disconnect(owner_, path_, kDeviceInterface, QStringLiteral("CUpdate"), this,
                           SLOT(OnCUpdate(QDBusMessage)));
  }

  DeviceValues Values() const override { return values_; }

  // The manager sends the call's CUpdate before its answer, and the bus keeps
  // that order, so the echo is delivered while the call waits. CUpdates the
  // manager sent after its answer (the next scan pass may already have taken
  // the command) are held back until the call has returned, as they came
  // after it; the answer names the echo's sequence number, so the two are
  // told apart also when all of them were in before the wait began.
  void CommandUpdate(std::int16_t cmdStat, std::int16_t cmd, double cmdParm) override {
    QDBusMessage call = QDBusMessage::createMethodCall(owner_, path_, kDeviceInterface,
                                                       QStringLiteral("CCommandUpdate"));
    call << QVariant::fromValue(cmdStat) << QVariant::fromValue(cmd) << QVariant::fromValue(cmdParm);
    Checked(order_.Await(connection_.asyncCall(call, kManagerCallTimeoutMs)));
  }

private Q_SLOTS:
  void OnCUpdate(const QDBusMessage& message) { order_.Take(message); }

private:
  // CUpdate carries the Device's sequence number (its count of updates) and
  // its nine values. An update not newer than the last one delivered is stale
  // and dropped.
  void Deliver(const QDBusMessage& message) {
    const QList<QVariant> args = message.arguments();
    if (args.size() != 10) return;
    const quint64 sequence = args.at(0).toULongLong();
    if (sequence_ && sequence <= *sequence_) return;
    sequence_ = sequence;
    values_.CDeviceDesc = args.at(1).toString();
    values_.CGross = args.at(3).toDouble();
    values_.CTare = args.at(4).toDouble();
    values_.CNet = args.at(5).toDouble();
    values_.CScaleStat = static_cast<std::int16_t>(args.at(6).toInt());
    values_.CCmd = static_cast<std::int16_t>(args.at(7).toInt());
    values_.CCmdParm = args.at(8).toDouble();
    values_.CCmdStat = static_cast<std::int16_t>(args.at(9).toInt());
    Q_EMIT CUpdate();
  }

private:
  QDBusConnection connection_;
  QString owner_;
  QString path_;
  DeviceValues values_;
  std::optional<quint64> sequence_;
  CommandUpdateOrder order_{[this](const QDBusMessage& update) { Deliver(update); }};
};

class BusConnector final : public ManagerConnector {
public:
  BusConnector(QDBusConnection connection, QString owner)
      : connection_(std::move(connection)), owner_(std::move(owner)) {}

  std::unique_ptr<DeviceLink> Device(std::int16_t index) override {
    QDBusMessage call =
        QDBusMessage::createMethodCall(owner_, kConnectorPath, kConnectorInterface, QStringLiteral("Device"));
    call << QVariant::fromValue(index);
    const QDBusMessage reply = CallChecked(connection_, call);
    const QString path = reply.arguments().value(0).value<QDBusObjectPath>().path();
    return std::make_unique<BusDeviceLink>(connection_, owner_, path);
  }

private:
  QDBusConnection connection_;
  QString owner_;
};

RunTimeError CreationFailure(const std::string& why) {
  return RunTimeError(ErrorNumber::CantCreateObject,
                      StandardErrorDescription(ErrorNumber::CantCreateObject) + " (" + why + ")");
}

}  // namespace

BusManagerSession::BusManagerSession() : BusManagerSession(QDBusConnection::sessionBus()) {}

BusManagerSession::BusManagerSession(QDBusConnection connection)
    : connection_(std::move(connection)) {}

// The unique name of the process owning the manager's name, if one does.
std::optional<QString> BusManagerSession::ManagerOwner() {
  QDBusMessage owner =
      QDBusMessage::createMethodCall(kBusName, kBusPath, kBusName, QStringLiteral("GetNameOwner"));
  owner << kManagerName;
  const QDBusMessage named = AwaitReply(connection_.asyncCall(owner, kManagerCallTimeoutMs));
  if (named.type() != QDBusMessage::ReplyMessage || named.arguments().isEmpty()) return std::nullopt;
  return named.arguments().at(0).toString();
}

// A running manager is used as it is: the bus refuses to start a name it has
// no activation file for, even when that name is owned already.
std::unique_ptr<ManagerConnector> BusManagerSession::CreateConnector() {
  if (!connection_.isConnected()) {
    throw CreationFailure("no session bus" + Detail(connection_.lastError()));
  }
  std::optional<QString> owner = ManagerOwner();
  if (!owner) {
    QDBusMessage start =
        QDBusMessage::createMethodCall(kBusName, kBusPath, kBusName, QStringLiteral("StartServiceByName"));
    start << kManagerName << 0u;
    const QDBusMessage started = AwaitReply(connection_.asyncCall(start, kManagerCallTimeoutMs));
    if (started.type() != QDBusMessage::ReplyMessage) {
      throw CreationFailure("the manager could not be started" + Detail(QDBusError(started)));
    }
    owner = ManagerOwner();
    if (!owner) throw CreationFailure("the manager ended while it started");
  }
  return std::make_unique<BusConnector>(connection_, *owner);
}

}  // namespace tarvex

#include "bus_manager_session.moc"
