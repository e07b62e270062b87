#pragma once
// The manager's service on the session bus: the Connector, the Device objects
// and the DDE topics, under the name org.tarvex.Manager.
//
// The objects are served before the name is taken, so a client whose call
// started the manager through activation finds every object when its call is
// delivered. Taking the name asks only the bus itself, never a client.
#include <QDBusConnection>
#include <memory>

#include "publish/bus/bus_outbox.h"
#include "publish/bus/connector_object.h"
#include "publish/bus/dde_topic_objects.h"
#include "publish/bus/device_objects.h"
#include "publish/bus/root_object.h"

namespace tarvex::bus {

enum class NameRequest {
  Taken,           // this process now owns org.tarvex.Manager
  OwnedElsewhere,  // another process owns it: a second instance
  Failed,          // the bus refused for another reason
};

class BusService {
public:
  // log: where the Device objects tell that they combine updates.
  BusService(const QDBusConnection& connection, Devices& devices, DdeTopicObjects& topics,
             LogWriter* log = nullptr);

  // Serves the root and the three families; false when the connection is not
  // open or a path is already served.
  bool ServeObjects();
  NameRequest TakeName();
  // Whether some other connection owns the name right now.
  bool NameOwnedElsewhere() const;

private:
  QDBusConnection connection_;
  std::shared_ptr<BusOutbox> outbox_;
  DdeTopicObjects& topics_;
  RootObject root_;
  ConnectorObject connector_;
  DeviceObjects devices_;
};

}  // namespace tarvex::bus
