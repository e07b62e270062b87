#include "app/manager_bus.h"

namespace tarvex {

ManagerBus::ManagerBus(Devices& devices, LogWriter& log)
    : connection_(QDBusConnection::sessionBus()),
      log_(log),
      service_(connection_, devices, topics_, &log),
      watchdog_(connection_, log) {}

bool ManagerBus::NameOwnedElsewhere() const { return connection_.isConnected() && service_.NameOwnedElsewhere(); }

void ManagerBus::Publish() {
  if (!connection_.isConnected()) {
    log_.WriteLog(LogKind::ActiveX, "No Session Bus: Tarvex Manager Runs Without Bus Publication");
    return;
  }
  if (!service_.ServeObjects() || service_.TakeName() != bus::NameRequest::Taken) {
    log_.WriteLog(LogKind::ActiveX, "Bus Name org.tarvex.Manager Not Taken: Tarvex Manager Runs Without Bus Publication");
    return;
  }
  log_.WriteLog(LogKind::ActiveX, "Session Bus In Use: Tarvex Manager Publishes As org.tarvex.Manager");
  watchdog_.Start();
}

}  // namespace tarvex
