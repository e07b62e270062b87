#pragma once
// The control's way to the manager over the D-Bus session bus.
//
// Creating a Connector asks the bus to start the manager when none owns its
// name (activation), then pins the manager's unique name: every later call of
// that Connector and of the Devices it hands out goes to that one process. So
// after that manager ends, the calls fail with error 462 instead of starting
// another one behind the control's back; only a new bind (a new Connector)
// reaches a new manager.
#include <QDBusConnection>
#include <QString>
#include <memory>
#include <optional>

#include "control/manager_link.h"

namespace tarvex {

class BusManagerSession final : public ManagerSession {
public:
  // On the user's session bus.
  BusManagerSession();
  explicit BusManagerSession(QDBusConnection connection);

  std::unique_ptr<ManagerConnector> CreateConnector() override;

private:
  std::optional<QString> ManagerOwner();

  QDBusConnection connection_;
};

}  // namespace tarvex
