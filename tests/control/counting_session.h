#pragma once
// The control's real way to the manager, counting the Connectors asked for.
#include <QDBusConnection>

#include "control/bus_manager_session.h"

namespace tarvex::test {

struct CountingSession final : ManagerSession {
  explicit CountingSession(QDBusConnection connection = QDBusConnection::sessionBus())
      : real(std::move(connection)) {}
  std::unique_ptr<ManagerConnector> CreateConnector() override {
    ++creations;
    return real.CreateConnector();
  }
  BusManagerSession real;
  int creations = 0;
};

}  // namespace tarvex::test
