#include "publish/bus/connection_watchdog.h"

#include <dbus/dbus.h>
#include <poll.h>

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDateTime>
#include <QPointer>
#include <algorithm>

#include "publish/bus/connection_side.h"

namespace tarvex::bus {

namespace {

constexpr qint64 EpisodeEndsAfterMs = 60 * 1000;
constexpr long LargestLimit = 1024L * 1024 * 1024;
constexpr int LooksBeforeResuming = 2;

bool InputWaits(DBusConnection* raw) {
  int fd = -1;
  if (!dbus_connection_get_socket(raw, &fd) || fd < 0) return false;
  pollfd waiting{fd, POLLIN, 0};
  return ::poll(&waiting, 1, 0) == 1 && (waiting.revents & POLLIN) != 0;
}

// The library switches reading only on a change and decides only when input
// waits: the limit is dropped for one pass (reading off, told to Qt from this
// thread) and restored for the next (reading on unless the limit holds). What
// the second pass read is dispatched the way Qt dispatches it, on this thread.
// True when it read something.
bool DecideAgain(DBusConnection* raw, long limit) {
  dbus_connection_set_max_received_size(raw, 0);
  dbus_connection_read_write(raw, 0);
  dbus_connection_set_max_received_size(raw, limit);
  dbus_connection_read_write(raw, 0);
  bool read = false;
  while (dbus_connection_get_dispatch_status(raw) == DBUS_DISPATCH_DATA_REMAINS) {
    read = true;
    dbus_connection_dispatch(raw);
  }
  return read;
}

}  // namespace

// Runs only on the connection's thread. A ping to the manager's own name goes
// out through the bus and comes back through the socket: while reading works
// its answer is there by the next look; if it is still missing a look later,
// reading has stopped.
struct ConnectionWatchdog::BusSide {
  DBusPendingCall* ping = nullptr;
  int looksWithoutAnswer = 0;

  ~BusSide() {
    if (ping != nullptr) dbus_pending_call_unref(ping);
  }

  bool outgoingWaited = false;

  // One look; true when reading or writing had stopped and now goes on.
  bool Look(const QDBusConnection& connection) {
    auto* raw = static_cast<DBusConnection*>(connection.internalPointer());
    if (raw == nullptr || !connection.isConnected()) return false;
    const bool wroteStuckOutput = WriteStuckOutput(raw);
    return ResumeReading(raw) || wroteStuckOutput;
  }

  // Output is written from whatever thread sends it; when the socket is full
  // the library asks from that thread to be told when it can write again,
  // which Qt refuses outside the connection's thread: the output then waits
  // for ever. Output still waiting a look later is written out from here.
  bool WriteStuckOutput(DBusConnection* raw) {
    if (!dbus_connection_has_messages_to_send(raw)) {
      outgoingWaited = false;
      return false;
    }
    if (!outgoingWaited) {
      outgoingWaited = true;
      return false;
    }
    outgoingWaited = false;
    dbus_connection_flush(raw);
    return true;
  }

  bool ResumeReading(DBusConnection* raw) {
    if (ping == nullptr || dbus_pending_call_get_completed(ping)) {
      SendPing(raw);
      return false;
    }
    if (++looksWithoutAnswer < LooksBeforeResuming) return false;
    looksWithoutAnswer = 0;
    long limit = dbus_connection_get_max_received_size(raw);
    bool read = DecideAgain(raw, limit);
    if (!read && InputWaits(raw) && limit < LargestLimit) {
      // Still nothing read: what is alive holds the limit.
      limit = std::min(limit * 2, LargestLimit);
      read = DecideAgain(raw, limit);
    }
    return read;
  }

  void SendPing(DBusConnection* raw) {
    if (ping != nullptr) dbus_pending_call_unref(ping);
    ping = nullptr;
    looksWithoutAnswer = 0;
    const char* self = dbus_bus_get_unique_name(raw);
    if (self == nullptr) return;
    DBusMessage* message = dbus_message_new_method_call(self, "/", DBUS_INTERFACE_PEER, "Ping");
    if (message == nullptr) return;
    if (!dbus_connection_send_with_reply(raw, message, &ping, DBUS_TIMEOUT_INFINITE)) ping = nullptr;
    dbus_message_unref(message);
  }
};

ConnectionWatchdog::ConnectionWatchdog(const QDBusConnection& connection, LogWriter& log, int periodMs)
    : connection_(connection), log_(log), busSide_(std::make_shared<BusSide>()) {
  timer_.setInterval(periodMs);
  connect(&timer_, &QTimer::timeout, this, &ConnectionWatchdog::Check);
}

ConnectionWatchdog::~ConnectionWatchdog() = default;

bool ConnectionWatchdog::Start() {
  QObject* side = ConnectionSide(connection_);
  // Looking from this thread would be the very fault it is there to mend.
  if (side == nullptr || side->thread() == thread()) return false;
  timer_.start();
  return true;
}

void ConnectionWatchdog::Check() {
  QObject* side = ConnectionSide(connection_);
  if (side == nullptr || side->thread() == thread()) return;
  const QPointer<ConnectionWatchdog> self(this);
  QMetaObject::invokeMethod(
      side,
      [self, connection = connection_, busSide = busSide_] {
        if (!busSide->Look(connection)) return;
        // The watchdog may be going away on its own thread right now: the
        // report goes through the application, and the pointer is tested
        // there, on the watchdog's thread.
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [self] {
              if (self) self->Resumed();
            },
            Qt::QueuedConnection);
      },
      Qt::QueuedConnection);
}

void ConnectionWatchdog::Resumed() {
  const qint64 now = QDateTime::currentMSecsSinceEpoch();
  const bool newEpisode = lastResumedMs_ < 0 || now - lastResumedMs_ > EpisodeEndsAfterMs;
  lastResumedMs_ = now;
  if (newEpisode) log_.WriteLog(LogKind::ActiveX, ResumedLogLine);
}

}  // namespace tarvex::bus
