#include "publish/bus/bus_object.h"

#include <QDBusVariant>
#include <QMetaType>

#include "platform/ansi_text.h"
#include "publish/bus/bus_names.h"

namespace tarvex::bus {

namespace {

const QString IntrospectableInterface = QStringLiteral("org.freedesktop.DBus.Introspectable");
const QString PropertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");
const QString PeerInterface = QStringLiteral("org.freedesktop.DBus.Peer");

constexpr QLatin1StringView StandardInterfacesXml{
    R"xml(  <interface name="org.freedesktop.DBus.Introspectable">
    <method name="Introspect">
      <arg name="xml_data" type="s" direction="out"/>
    </method>
  </interface>
  <interface name="org.freedesktop.DBus.Properties">
    <method name="Get">
      <arg name="interface_name" type="s" direction="in"/>
      <arg name="property_name" type="s" direction="in"/>
      <arg name="value" type="v" direction="out"/>
    </method>
    <method name="Set">
      <arg name="interface_name" type="s" direction="in"/>
      <arg name="property_name" type="s" direction="in"/>
      <arg name="value" type="v" direction="in"/>
    </method>
    <method name="GetAll">
      <arg name="interface_name" type="s" direction="in"/>
      <arg name="values" type="a{sv}" direction="out"/>
    </method>
    <signal name="PropertiesChanged">
      <arg name="interface_name" type="s"/>
      <arg name="changed_properties" type="a{sv}"/>
      <arg name="invalidated_properties" type="as"/>
    </signal>
  </interface>
  <interface name="org.freedesktop.DBus.Peer">
    <method name="Ping"/>
    <method name="GetMachineId">
      <arg name="machine_uuid" type="s" direction="out"/>
    </method>
  </interface>
)xml"};

constexpr QLatin1StringView DocumentHeader{
    "<!DOCTYPE node PUBLIC \"-//freedesktop//DTD D-BUS Object Introspection 1.0//EN\"\n"
    " \"http://www.freedesktop.org/standards/dbus/1.0/introspect.dtd\">\n"};

QDBusMessage Error(const QDBusMessage& message, QDBusError::ErrorType type, const QString& text) {
  return message.createErrorReply(type, text);
}

// Whether the call only reads: introspection, the peer interface, and reading
// properties.
bool OnlyAsks(const QDBusMessage& message) {
  const QString& interfaceName = message.interface();
  if (interfaceName == IntrospectableInterface || interfaceName == PeerInterface) return true;
  return interfaceName == PropertiesInterface && message.member() != QLatin1StringView("Set");
}

}  // namespace

QDBusMessage ErrorReplyFor(const QDBusMessage& call, const RunTimeError& error) {
  const QLatin1StringView name =
      error.number() == ErrorNumber::SubscriptOutOfRange ? SubscriptOutOfRangeError : RunTimeErrorName;
  return call.createErrorReply(QString(name),
                               QStringLiteral("%1: %2").arg(error.number()).arg(FromAnsi(error.description())));
}

char SignatureOf(const QVariant& value) {
  switch (value.metaType().id()) {
    case QMetaType::QString: return 's';
    case QMetaType::Int: return 'i';
    case QMetaType::Short: return 'n';
    case QMetaType::Double: return 'd';
    default: return 0;
  }
}

BusObjectFamily::BusObjectFamily(QString basePath, QLatin1StringView interfaceName,
                                 QLatin1StringView interfaceXml, std::span<const BusProperty> properties,
                                 QDBusConnection::VirtualObjectRegisterOption reach)
    : basePath_(std::move(basePath)),
      interfaceName_(interfaceName),
      interfaceXml_(interfaceXml),
      properties_(properties),
      reach_(reach) {}

bool BusObjectFamily::Register(const QDBusConnection& connection, std::shared_ptr<BusOutbox> outbox) {
  QDBusConnection target = connection;
  if (!target.isConnected() || !target.registerVirtualObject(basePath_, this, reach_)) {
    return false;
  }
  outbox_ = std::move(outbox);
  return true;
}

QString BusObjectFamily::PathOf(const QString& node) const {
  return node.isEmpty() ? basePath_ : basePath_ + QLatin1Char('/') + node;
}

QString BusObjectFamily::introspect(const QString&) const {
  // Every call, Introspect included, is answered in handleMessage.
  return QString();
}

bool BusObjectFamily::handleMessage(const QDBusMessage& message, const QDBusConnection& connection) {
  if (message.type() != QDBusMessage::MethodCallMessage) return false;
  // A call that only asks, from a client that wants no answer, changes
  // nothing: a flood of them costs no more than its delivery.
  if (!message.isReplyRequired() && OnlyAsks(message)) return true;
  QString node;
  if (message.path() != basePath_) {
    node = message.path().mid(basePath_.size() + 1);
  }
  QDBusMessage reply;
  try {
    reply = Answer(node, message);
  } catch (const RunTimeError& error) {
    reply = ErrorReplyFor(message, error);
  }
  if (!message.isReplyRequired()) return true;
  // Behind what the family sent before on the connection it serves.
  if (outbox_ != nullptr && outbox_->IsConnected()) {
    outbox_->Send(reply);
  } else {
    connection.send(reply);
  }
  return true;
}

QDBusMessage BusObjectFamily::Answer(const QString& node, const QDBusMessage& message) {
  const bool exists = HasNode(node);
  const QString& interfaceName = message.interface();

  if (interfaceName == IntrospectableInterface && message.member() == QLatin1StringView("Introspect") &&
      message.signature().isEmpty()) {
    if (!exists && !node.isEmpty()) {
      return Error(message, QDBusError::UnknownObject, QStringLiteral("No object at ") + message.path());
    }
    QString xml = QString(DocumentHeader) + QStringLiteral("<node>\n");
    if (exists) {
      if (!interfaceXml_.isEmpty()) xml += QString(interfaceXml_) + QLatin1Char('\n');
      xml += QString(StandardInterfacesXml);
    }
    if (node.isEmpty()) {
      for (const QString& child : NodeNames()) xml += QStringLiteral("  <node name=\"%1\"/>\n").arg(child);
    }
    xml += QStringLiteral("</node>\n");
    return message.createReply(xml);
  }

  if (!exists) return Error(message, QDBusError::UnknownObject, QStringLiteral("No object at ") + message.path());

  if (interfaceName == PropertiesInterface) return AnswerProperties(node, message);
  if (interfaceName == PeerInterface) {
    if (message.member() == QLatin1StringView("Ping") && message.signature().isEmpty()) return message.createReply();
    if (message.member() == QLatin1StringView("GetMachineId") && message.signature().isEmpty()) {
      return message.createReply(QString::fromLatin1(QDBusConnection::localMachineId()));
    }
    return Error(message, QDBusError::UnknownMethod, QStringLiteral("No such method ") + message.member());
  }
  if (interfaceName.isEmpty() || interfaceName == interfaceName_) return CallMethod(node, message);
  return Error(message, QDBusError::UnknownInterface, QStringLiteral("No such interface ") + interfaceName);
}

QDBusMessage BusObjectFamily::AnswerProperties(const QString& node, const QDBusMessage& message) {
  const QString member = message.member();
  const QString signature = message.signature();
  const QVariantList arguments = message.arguments();
  const bool getAll = member == QLatin1StringView("GetAll") && signature == QLatin1StringView("s");
  const bool get = member == QLatin1StringView("Get") && signature == QLatin1StringView("ss");
  const bool set = member == QLatin1StringView("Set") && signature == QLatin1StringView("ssv");
  if (!getAll && !get && !set) {
    return Error(message, QDBusError::UnknownMethod,
                 QStringLiteral("No method %1 with signature '%2'").arg(member, signature));
  }
  const QString interfaceName = arguments.at(0).toString();
  // An empty interface name asks for the property in any interface.
  if (!interfaceName.isEmpty() && interfaceName != interfaceName_) {
    return Error(message, QDBusError::UnknownInterface, QStringLiteral("No such interface ") + interfaceName);
  }
  if (getAll) return message.createReply(AllProperties(node));

  const QString name = arguments.at(1).toString();
  const int index = PropertyIndex(name);
  if (index < 0) return Error(message, QDBusError::UnknownProperty, QStringLiteral("No such property ") + name);
  const BusProperty& property = properties_[static_cast<size_t>(index)];
  if (get) return message.createReply(QVariant::fromValue(QDBusVariant(ReadProperty(node, index))));

  if (!property.writable) {
    return Error(message, QDBusError::PropertyReadOnly, QStringLiteral("Property %1 is read-only").arg(name));
  }
  const QVariant value = arguments.at(2).value<QDBusVariant>().variant();
  if (SignatureOf(value) != property.signature) {
    return Error(message, QDBusError::InvalidArgs,
                 QStringLiteral("Property %1 takes type '%2'").arg(name, QString(QLatin1Char(property.signature))));
  }
  WriteProperty(node, index, value);
  return message.createReply();
}

QVariantMap BusObjectFamily::AllProperties(const QString& node) const {
  QVariantMap values;
  for (size_t i = 0; i < properties_.size(); ++i) {
    values.insert(QString(properties_[i].name), ReadProperty(node, static_cast<int>(i)));
  }
  return values;
}

int BusObjectFamily::PropertyIndex(const QString& name) const {
  for (size_t i = 0; i < properties_.size(); ++i) {
    if (properties_[i].name == name) return static_cast<int>(i);
  }
  return -1;
}

void BusObjectFamily::SendSignal(const QString& node, const QString& interfaceName, const QString& member,
                                 const QVariantList& arguments) {
  if (outbox_ == nullptr || !outbox_->IsConnected()) return;
  QDBusMessage signal = QDBusMessage::createSignal(PathOf(node), interfaceName, member);
  signal.setArguments(arguments);
  outbox_->Send(signal);
}

void BusObjectFamily::SendSignal(const QString& node, std::string_view interfaceName, std::string_view member,
                                 const WireSignal& arguments) {
  if (outbox_ == nullptr || !outbox_->IsConnected()) return;
  const QByteArray path = PathOf(node).toLatin1();
  outbox_->Send(arguments.NewMessage(std::string_view(path.constData(), static_cast<size_t>(path.size())),
                                    interfaceName, member));
}

}  // namespace tarvex::bus
