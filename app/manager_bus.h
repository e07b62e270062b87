#pragma once
// The manager on the session bus. Main's loading of the 32 DDE topic windows
// is where the manager starts to publish: the topics, the Connector and the
// Device objects are served and the name org.tarvex.Manager is taken there,
// before the start-up window, so that a client whose call started the manager
// is answered while the start-up window still waits for the operator.
//
// A name that another process owns counts as a second instance, refused like
// the lock in the program folder. Without a session bus the manager writes one
// line to the ActiveX log and runs without bus publication. While it publishes,
// a watchdog keeps the connection reading (see publish/bus/connection_watchdog.h).
#include <QDBusConnection>
#include <memory>

#include "core/log_writer.h"
#include "core/startup.h"
#include "platform/instance_lock.h"
#include "publish/bus/bus_service.h"
#include "publish/bus/connection_watchdog.h"
#include "publish/devices.h"

namespace tarvex {

class ManagerBus {
public:
  ManagerBus(Devices& devices, LogWriter& log);

  bus::DdeTopicObjects& Topics() { return topics_; }
  // Whether another process owns the manager's name now; false without a bus.
  bool NameOwnedElsewhere() const;
  // Serves the objects and takes the name, and says so in one ActiveX log
  // line; without a bus, or when the bus refuses, the line says so and the
  // topics serve only this process.
  void Publish();

private:
  QDBusConnection connection_;
  LogWriter& log_;
  bus::DdeTopicObjects topics_;
  bus::BusService service_;
  bus::ConnectionWatchdog watchdog_;
};

// The lock in the program folder, then the name on the bus.
class BusInstanceCheck final : public InstanceCheck {
public:
  BusInstanceCheck(InstanceCheck& lock, const ManagerBus& bus) : lock_(lock), bus_(bus) {}
  bool AnotherInstanceRunning() override { return lock_.AnotherInstanceRunning() || bus_.NameOwnedElsewhere(); }

private:
  InstanceCheck& lock_;
  const ManagerBus& bus_;
};

// The given windows load; once their topic windows are loaded, the topics'
// items are served on the bus and the name is taken.
class BusTopicWindows final : public StartupWindows {
public:
  BusTopicWindows(StartupWindows& windows, ManagerBus& bus) : windows_(windows), bus_(bus) {}
  void LoadDDETopicWindows() override {
    windows_.LoadDDETopicWindows();
    bus_.Publish();
  }
  void LoadStartupWindow() override { windows_.LoadStartupWindow(); }

private:
  StartupWindows& windows_;
  ManagerBus& bus_;
};

}  // namespace tarvex
