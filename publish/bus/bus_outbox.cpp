#include "publish/bus/bus_outbox.h"

#include <dbus/dbus.h>

#include <QThread>
#include <QtGlobal>

#include "publish/bus/connection_side.h"

namespace tarvex::bus {

namespace {

// A job on its way to the connection's thread, and what it holds: released,
// and counted as no longer on its way, when the job is gone, even if it
// never ran because the connection went first.
struct OnItsWay {
  std::shared_ptr<std::atomic<int>> counter;
  DBusConnection* connection = nullptr;
  DBusMessage* message = nullptr;

  ~OnItsWay() {
    if (message != nullptr) dbus_message_unref(message);
    if (connection != nullptr) dbus_connection_unref(connection);
    counter->fetch_sub(1);
  }
};

}  // namespace

BusOutbox::BusOutbox(const QDBusConnection& connection) : connection_(connection) {}

bool BusOutbox::SameThreadAsConnection() const {
  const QObject* side = ConnectionSide(connection_);
  return side == nullptr || side->thread() == QThread::currentThread();
}

void BusOutbox::HandOver(DBusConnection* raw, DBusMessage* message) {
  onTheirWay_->fetch_add(1);
  auto job = std::make_shared<OnItsWay>();
  job->counter = onTheirWay_;
  if (raw != nullptr) job->connection = dbus_connection_ref(raw);
  job->message = message;
  // Posted to the object QtDBus posts its own sends to, so it runs after them.
  QMetaObject::invokeMethod(
      ConnectionSide(connection_),
      [job] {
        if (job->message != nullptr) dbus_connection_send(job->connection, job->message, nullptr);
        // Written out from here, where the library may ask to be told when
        // the socket takes more.
        if (job->connection != nullptr && dbus_connection_has_messages_to_send(job->connection)) {
          dbus_connection_flush(job->connection);
        }
      },
      Qt::QueuedConnection);
}

bool BusOutbox::Send(const QDBusMessage& message) {
  if (!connection_.send(message)) return false;
  // A marker behind the message: once it has run, the message is written.
  if (!SameThreadAsConnection()) HandOver(nullptr, nullptr);
  return true;
}

bool BusOutbox::Send(DBusMessage* message) {
  if (message == nullptr) return Refused();
  auto* raw = static_cast<DBusConnection*>(connection_.internalPointer());
  if (raw == nullptr || !connection_.isConnected()) {
    dbus_message_unref(message);
    return false;
  }
  if (SameThreadAsConnection()) {
    const bool queued = dbus_connection_send(raw, message, nullptr);
    dbus_message_unref(message);
    return queued || Refused();
  }
  if (onTheirWay_->load() > 0 || dbus_connection_has_messages_to_send(raw)) {
    HandOver(raw, message);
    return true;
  }
  const bool queued = dbus_connection_send(raw, message, nullptr);
  dbus_message_unref(message);
  if (!queued) return Refused();
  // Not written at once: the socket was full, or the connection's thread was
  // reading just then. A write never follows a read by itself, and this
  // thread cannot ask to be told when the socket takes more: the rest is
  // written from the connection's thread.
  if (dbus_connection_has_messages_to_send(raw)) HandOver(raw, nullptr);
  return true;
}

bool BusOutbox::Refused() {
  if (!toldRefusal_) {
    toldRefusal_ = true;
    qWarning("Tarvex: a bus signal could not be made or queued (out of memory); it was not sent");
  }
  return false;
}

}  // namespace tarvex::bus
