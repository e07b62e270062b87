#include "publish/bus/bus_service.h"

#include <QDBusConnectionInterface>
#include <QDBusReply>

#include "publish/bus/bus_names.h"

namespace tarvex::bus {

BusService::BusService(const QDBusConnection& connection, Devices& devices, DdeTopicObjects& topics,
                       LogWriter* log)
    : connection_(connection), outbox_(std::make_shared<BusOutbox>(connection)), topics_(topics), connector_(devices), devices_(devices, log) {}

bool BusService::ServeObjects() {
  return root_.Register(connection_, outbox_) && connector_.Register(connection_, outbox_) &&
         devices_.Register(connection_, outbox_) && topics_.Register(connection_, outbox_);
}

NameRequest BusService::TakeName() {
  QDBusConnectionInterface* bus = connection_.interface();
  if (bus == nullptr) return NameRequest::Failed;
  const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply = bus->registerService(
      QString(ServiceName), QDBusConnectionInterface::DontQueueService, QDBusConnectionInterface::DontAllowReplacement);
  if (!reply.isValid()) return NameRequest::Failed;
  if (reply.value() == QDBusConnectionInterface::ServiceRegistered) return NameRequest::Taken;
  return NameOwnedElsewhere() ? NameRequest::OwnedElsewhere : NameRequest::Failed;
}

bool BusService::NameOwnedElsewhere() const {
  QDBusConnectionInterface* bus = connection_.interface();
  if (bus == nullptr) return false;
  const QDBusReply<QString> owner = bus->serviceOwner(QString(ServiceName));
  return owner.isValid() && owner.value() != connection_.baseService();
}

}  // namespace tarvex::bus
