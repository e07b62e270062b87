#pragma once
// A session bus of a test's own: a dbus-daemon listening in a temporary
// folder, whose service folder holds an activation file for the given manager
// program, or none. Hosts started with environment() and connections from
// connect() see only this bus; the manager it activates is ended with it.
#include <QDBusConnection>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>
#include <optional>

namespace tarvex::test {

class PrivateBus {
public:
  // With an activation file for org.tarvex.Manager that runs managerProgram,
  // or without one when it is empty.
  explicit PrivateBus(const QString& managerProgram);
  ~PrivateBus();

  bool started() const { return !address_.isEmpty(); }
  QString address() const { return address_; }
  QProcessEnvironment environment() const;
  // A connection of the test process to this bus.
  QDBusConnection connection();

  // The process id of the manager owning org.tarvex.Manager, if one does.
  std::optional<qint64> ManagerPid();
  // Kills the running manager and waits, bounded, until its name is free.
  bool KillManager();

private:
  QTemporaryDir folder_;
  QProcess daemon_;
  QString address_;
  QString connectionName_;
};

}  // namespace tarvex::test
