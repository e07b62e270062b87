#pragma once
// A family of objects on the bus that share one interface: the Device objects
// under /Device, the DDE topics under /DDE, the Connector at /Connector.
//
// QtDBus's own property export converts a written value to the property's C++
// type (an int32 written to an int16 property is silently cut), so every call
// is answered here, by hand: the standard interfaces (Introspectable,
// Properties, Peer) and the family's own methods. A value of another type than
// the property's is refused with InvalidArgs, a write to a read-only property
// with PropertyReadOnly, a path without an object with UnknownObject.
//
// Everything runs on the thread that owns the family (the manager's one
// thread). Replies and signals are queued on the connection and never waited
// for, so a client that does not read its messages cannot hold the manager up;
// they leave in the order they are sent (see bus_outbox.h).
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QLatin1StringView>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <memory>
#include <span>
#include <string_view>

#include "platform/run_time_error.h"
#include "publish/bus/bus_outbox.h"
#include "publish/bus/wire_signal.h"

namespace tarvex::bus {

// One property of an interface: its name, its single D-Bus type code ('s',
// 'i', 'n' or 'd') and whether clients may write it.
struct BusProperty {
  QLatin1StringView name;
  char signature;
  bool writable;
};

class BusObjectFamily : public QDBusVirtualObject {
  Q_OBJECT

public:
  // basePath: the path of the family ("/Device"); a node "3" is then the
  // object at "/Device/3", the node "" the object at basePath itself.
  // interfaceXml: the <interface> element of the family's interface file.
  // reach: SubPath serves the base path and every path below it, SingleNode
  // the base path alone.
  BusObjectFamily(QString basePath, QLatin1StringView interfaceName, QLatin1StringView interfaceXml,
                  std::span<const BusProperty> properties,
                  QDBusConnection::VirtualObjectRegisterOption reach = QDBusConnection::SubPath);

  // Serves the family on the connection; false when the path is taken or the
  // connection is not open. outbox: the connection's, which every family
  // served there sends through.
  bool Register(const QDBusConnection& connection, std::shared_ptr<BusOutbox> outbox);

  QString PathOf(const QString& node) const;

  QString introspect(const QString& path) const override;
  bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;

protected:
  // Whether an object stands at the node ("" being the base path itself).
  virtual bool HasNode(const QString& node) const = 0;
  // The nodes below the base path, for the base path's introspection.
  virtual QStringList NodeNames() const = 0;
  // The value of property number index of the node, with the property's type.
  virtual QVariant ReadProperty(const QString& node, int index) const = 0;
  // Stores a value whose type was already checked against the property.
  virtual void WriteProperty(const QString& node, int index, const QVariant& value) = 0;
  // A call of the family's own interface on an existing node; returns the
  // reply (or error reply) to send.
  virtual QDBusMessage CallMethod(const QString& node, const QDBusMessage& message) = 0;

  // Broadcasts a signal from a node, when the family is registered.
  void SendSignal(const QString& node, const QString& interfaceName, const QString& member,
                  const QVariantList& arguments);
  // The same for a signal already in the wire format, written out without
  // QtDBus.
  void SendSignal(const QString& node, std::string_view interfaceName, std::string_view member,
                  const WireSignal& arguments);
  // All properties of a node, name to value, as GetAll gives them.
  QVariantMap AllProperties(const QString& node) const;

  QLatin1StringView InterfaceName() const { return interfaceName_; }

private:
  QDBusMessage Answer(const QString& node, const QDBusMessage& message);
  QDBusMessage AnswerProperties(const QString& node, const QDBusMessage& message);
  int PropertyIndex(const QString& name) const;

  QString basePath_;
  QLatin1StringView interfaceName_;
  QLatin1StringView interfaceXml_;
  std::span<const BusProperty> properties_;
  QDBusConnection::VirtualObjectRegisterOption reach_;
  std::shared_ptr<BusOutbox> outbox_;  // once registered
};

// The error reply to a call that failed with a run-time error of the manager:
// SubscriptOutOfRange for error 9, RunTimeError for the others, the message
// "<number>: <description>".
QDBusMessage ErrorReplyFor(const QDBusMessage& call, const RunTimeError& error);

// The D-Bus type code of a value as QtDBus would send it: 's', 'i', 'n', 'd',
// or 0 for anything else.
char SignatureOf(const QVariant& value);

}  // namespace tarvex::bus
