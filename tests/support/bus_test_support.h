#pragma once
// What the bus tests share. Every test case runs on a private session bus of
// its own (see cmake/TarvexBus.cmake); these helpers start the programs that
// serve it, call it, run busctl against it and wait, always within a bound.
#include <QDBusConnection>
#include <QDBusMessage>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <memory>
#include <ostream>
#include <vector>

// Readable failures: gtest finds these by the argument's namespace.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }
inline void PrintTo(const QVariant& value, std::ostream* os) {
  *os << value.metaType().name() << ' ' << value.toString().toStdString();
}

namespace tarvex::bustest {

inline const QString Manager = QStringLiteral("org.tarvex.Manager");
inline const QString PropertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");

// The QCoreApplication QtDBus needs, created once per test program.
void EnsureApplication();

// A blocking call with a bound of 10 s (activation included).
QDBusMessage Call(const QString& service, const QString& path, const QString& interfaceName, const QString& member,
                  const QVariantList& arguments = {}, const QDBusConnection& connection = QDBusConnection::sessionBus());
QDBusMessage CallManager(const QString& path, const QString& interfaceName, const QString& member,
                         const QVariantList& arguments = {});
// A call of the fixture's test interface.
QDBusMessage CallFixture(const QString& member, const QVariantList& arguments = {});
// Properties.Get / Set on the manager.
QDBusMessage GetProperty(const QString& path, const QString& interfaceName, const QString& name);
QDBusMessage SetProperty(const QString& path, const QString& interfaceName, const QString& name,
                         const QVariant& value);
// The introspection document of a path of the manager.
QString Introspect(const QString& path);
// The value of a successful Get, unwrapped from its variant.
QVariant ValueOf(const QDBusMessage& reply);

struct ProcessResult {
  int exitCode = -1;
  QString out;
  QString err;
};
// busctl --user <arguments>, bounded to 10 s.
ProcessResult Busctl(const QStringList& arguments);

// Waits until the bus name has an owner (or has none), bounded.
bool WaitForOwner(const QString& name, bool owned, int timeoutMs = 10000);
// The process id of the name's owner, 0 when none.
qint64 OwnerPid(const QString& name);

// tarvex-bus-fixture started by the test, ended with it.
class FixtureProcess {
public:
  explicit FixtureProcess(const QStringList& options = {});
  ~FixtureProcess();
  // True once the fixture owns org.tarvex.Manager.
  bool Ready() const { return ready_; }
  QString Output();

private:
  QProcess process_;
  bool ready_ = false;
};

// Signals received by a match on one connection, kept in arrival order.
class SignalRecorder : public QObject {
  Q_OBJECT

public:
  SignalRecorder(const QString& path, const QString& interfaceName, const QString& member,
                 const QDBusConnection& connection = QDBusConnection::sessionBus());
  const std::vector<QDBusMessage>& Received() const { return received_; }
  // Waits until at least count signals arrived; false after timeoutMs.
  bool WaitForCount(size_t count, int timeoutMs = 10000);

Q_SIGNALS:
  void Arrived();

private Q_SLOTS:
  void Record(const QDBusMessage& message);

private:
  std::vector<QDBusMessage> received_;
};

// An error reply's name, or "" for a reply.
QString ErrorName(const QDBusMessage& reply);

}  // namespace tarvex::bustest
