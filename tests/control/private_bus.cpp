#include "private_bus.h"

#include <QDBusConnectionInterface>
#include <QDBusServiceWatcher>
#include <QDir>
#include <QSignalSpy>
#include <QDeadlineTimer>
#include <QFile>
#include <QUuid>
#include <csignal>
#include <sys/types.h>

namespace tarvex::test {

namespace {
const QString kManagerName = QStringLiteral("org.tarvex.Manager");

bool WriteFile(const QString& path, const QByteArray& text) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}
}  // namespace

PrivateBus::PrivateBus(const QString& managerProgram) {
  if (!folder_.isValid()) return;
  const QString services = folder_.filePath(QStringLiteral("services"));
  QDir().mkpath(services);
  const QString socket = folder_.filePath(QStringLiteral("bus"));
  const QByteArray config =
      "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
      " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
      "<busconfig>\n"
      "  <type>session</type>\n"
      "  <listen>unix:path=" + socket.toUtf8() + "</listen>\n"
      "  <servicedir>" + services.toUtf8() + "</servicedir>\n"
      "  <policy context=\"default\">\n"
      "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
      "    <allow eavesdrop=\"true\"/>\n"
      "    <allow own=\"*\"/>\n"
      "  </policy>\n"
      "</busconfig>\n";
  const QString configPath = folder_.filePath(QStringLiteral("session.conf"));
  if (!WriteFile(configPath, config)) return;
  if (!managerProgram.isEmpty() &&
      !WriteFile(services + QStringLiteral("/org.tarvex.Manager.service"),
                 "[D-BUS Service]\nName=org.tarvex.Manager\nExec=" + managerProgram.toUtf8() + "\n")) {
    return;
  }
  // The manager the bus activates inherits this environment.
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("unix:path=") + socket);
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  env.insert(QStringLiteral("TARVEX_HOME"), folder_.path());
  daemon_.setProcessEnvironment(env);
  daemon_.setProgram(QStringLiteral("dbus-daemon"));
  daemon_.setArguments({QStringLiteral("--config-file=") + configPath, QStringLiteral("--nofork"),
                        QStringLiteral("--print-address=1")});
  daemon_.start();
  const QDeadlineTimer deadline(10000);
  while (!daemon_.canReadLine() && daemon_.state() != QProcess::NotRunning && !deadline.hasExpired()) {
    daemon_.waitForReadyRead(static_cast<int>(deadline.remainingTime()));
  }
  if (daemon_.canReadLine()) address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
}

PrivateBus::~PrivateBus() {
  if (started()) KillManager();
  if (!connectionName_.isEmpty()) QDBusConnection::disconnectFromBus(connectionName_);
  daemon_.kill();
  daemon_.waitForFinished(5000);
}

QProcessEnvironment PrivateBus::environment() const {
  QProcessEnvironment env = daemon_.processEnvironment();
  env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address_);
  return env;
}

QDBusConnection PrivateBus::connection() {
  if (connectionName_.isEmpty()) {
    connectionName_ = QStringLiteral("private-bus-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    return QDBusConnection::connectToBus(address_, connectionName_);
  }
  return QDBusConnection(connectionName_);
}

std::optional<qint64> PrivateBus::ManagerPid() {
  const QDBusReply<uint> pid = connection().interface()->servicePid(kManagerName);
  if (!pid.isValid()) return std::nullopt;
  return pid.value();
}

bool PrivateBus::KillManager() {
  const std::optional<qint64> pid = ManagerPid();
  if (!pid) return true;
  QDBusServiceWatcher watcher(kManagerName, connection(), QDBusServiceWatcher::WatchForUnregistration);
  QSignalSpy gone(&watcher, &QDBusServiceWatcher::serviceUnregistered);
  ::kill(static_cast<pid_t>(*pid), SIGKILL);
  return !connection().interface()->isServiceRegistered(kManagerName).value() || gone.wait(10000);
}

}  // namespace tarvex::test
