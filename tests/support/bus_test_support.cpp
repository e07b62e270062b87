#include "tests/support/bus_test_support.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusReply>
#include <QDBusVariant>
#include <QDeadlineTimer>
#include <QSignalSpy>

namespace tarvex::bustest {

namespace {

constexpr int CallTimeoutMs = 10000;

}  // namespace

void EnsureApplication() {
  if (QCoreApplication::instance() != nullptr) return;
  static int argc = 1;
  static char name[] = "bus_test";
  static char* argv[] = {name, nullptr};
  new QCoreApplication(argc, argv);  // lives as long as the test program
}

QDBusMessage Call(const QString& service, const QString& path, const QString& interfaceName, const QString& member,
                  const QVariantList& arguments, const QDBusConnection& connection) {
  QDBusMessage message = QDBusMessage::createMethodCall(service, path, interfaceName, member);
  message.setArguments(arguments);
  return connection.call(message, QDBus::Block, CallTimeoutMs);
}

QDBusMessage CallManager(const QString& path, const QString& interfaceName, const QString& member,
                         const QVariantList& arguments) {
  return Call(Manager, path, interfaceName, member, arguments);
}

QDBusMessage CallFixture(const QString& member, const QVariantList& arguments) {
  return CallManager(QStringLiteral("/Fixture"), QStringLiteral("org.tarvex.test.Fixture1"), member, arguments);
}

QDBusMessage GetProperty(const QString& path, const QString& interfaceName, const QString& name) {
  return CallManager(path, PropertiesInterface, QStringLiteral("Get"), {interfaceName, name});
}

QDBusMessage SetProperty(const QString& path, const QString& interfaceName, const QString& name,
                         const QVariant& value) {
  return CallManager(path, PropertiesInterface, QStringLiteral("Set"),
                     {interfaceName, name, QVariant::fromValue(QDBusVariant(value))});
}

QString Introspect(const QString& path) {
  return CallManager(path, QStringLiteral("org.freedesktop.DBus.Introspectable"), QStringLiteral("Introspect"))
      .arguments()
      .value(0)
      .toString();
}

QVariant ValueOf(const QDBusMessage& reply) {
  if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return QVariant();
  return reply.arguments().at(0).value<QDBusVariant>().variant();
}

QString ErrorName(const QDBusMessage& reply) {
  return reply.type() == QDBusMessage::ErrorMessage ? reply.errorName() : QString();
}

ProcessResult Busctl(const QStringList& arguments) {
  QProcess busctl;
  busctl.start(QStringLiteral("busctl"), QStringList{QStringLiteral("--user")} + arguments);
  ProcessResult result;
  if (!busctl.waitForFinished(CallTimeoutMs)) {
    busctl.kill();
    busctl.waitForFinished(1000);
    result.err = QStringLiteral("busctl did not end");
    return result;
  }
  result.exitCode = busctl.exitStatus() == QProcess::NormalExit ? busctl.exitCode() : -1;
  result.out = QString::fromUtf8(busctl.readAllStandardOutput()).trimmed();
  result.err = QString::fromUtf8(busctl.readAllStandardError()).trimmed();
  return result;
}

bool WaitForOwner(const QString& name, bool owned, int timeoutMs) {
  QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface();
  const QDeadlineTimer deadline(timeoutMs);
  while (true) {
    const QDBusReply<bool> reply = bus->isServiceRegistered(name);
    if (reply.isValid() && reply.value() == owned) return true;
    if (deadline.hasExpired()) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }
}

qint64 OwnerPid(const QString& name) {
  const QDBusReply<uint> pid = QDBusConnection::sessionBus().interface()->servicePid(name);
  return pid.isValid() ? pid.value() : 0;
}

FixtureProcess::FixtureProcess(const QStringList& options) {
  process_.setProcessChannelMode(QProcess::MergedChannels);
  process_.start(QStringLiteral(TARVEX_BIN_DIR "/tarvex-bus-fixture"), options);
  ready_ = process_.waitForStarted(5000) && WaitForOwner(Manager, true);
}

FixtureProcess::~FixtureProcess() {
  if (process_.state() == QProcess::NotRunning) return;
  process_.terminate();
  if (!process_.waitForFinished(5000)) {
    process_.kill();
    process_.waitForFinished(1000);
  }
}

QString FixtureProcess::Output() { return QString::fromUtf8(process_.readAll()); }

SignalRecorder::SignalRecorder(const QString& path, const QString& interfaceName, const QString& member,
                               const QDBusConnection& connection) {
  QDBusConnection bus(connection);
  bus.connect(QString(), path, interfaceName, member, this, SLOT(Record(QDBusMessage)));
  // The bus handles one connection's messages in order: after this round trip
  // the match is in place.
  bus.interface()->isServiceRegistered(Manager);
}

void SignalRecorder::Record(const QDBusMessage& message) {
  received_.push_back(message);
  Q_EMIT Arrived();
}

bool SignalRecorder::WaitForCount(size_t count, int timeoutMs) {
  QSignalSpy spy(this, &SignalRecorder::Arrived);
  const QDeadlineTimer deadline(timeoutMs);
  while (received_.size() < count) {
    if (deadline.hasExpired()) return false;
    spy.wait(static_cast<int>(qMax<qint64>(1, deadline.remainingTime())));
  }
  return true;
}

}  // namespace tarvex::bustest
