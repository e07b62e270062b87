#pragma once
// What the manager's bus objects send, in the order they send it: one outbox
// per connection, shared by every family served there (a channel's DDE topic
// change goes out before its CUpdate, as the pass makes them).
//
// QtDBus hands every message it is given to its connection's thread, which
// writes it out there: a hand-over per message, and a wake-up of that thread.
// A message of the bus library's own (a WireSignal) is written onto the
// connection straight from the sending thread instead, with no hand-over. It
// must not overtake a message sent earlier that is still on its way through
// QtDBus (a call's reply would then arrive after a CUpdate raised after it):
// while one is, the library's message is handed over the same way, behind it.
// So is one sent while the library still holds output the socket could not
// take: only the connection's own thread may ask to be told when it can
// write again. A message the library could not write at once from this
// thread (the socket filled up, or the connection's thread was reading just
// then) is written out from there, without waiting for a further send.
#include <QDBusConnection>
#include <QDBusMessage>
#include <atomic>
#include <memory>

struct DBusConnection;
struct DBusMessage;

namespace tarvex::bus {

class BusOutbox {
public:
  BusOutbox() = default;
  explicit BusOutbox(const QDBusConnection& connection);

  bool IsConnected() const { return connection_.isConnected(); }

  // Through QtDBus, followed by a marker on the connection's thread that
  // tells when it has been written; false when QtDBus refuses it.
  bool Send(const QDBusMessage& message);
  // Takes the reference to a message of the bus library; false when it is
  // nullptr, the connection is not open or the library has no memory (told
  // once as a warning).
  bool Send(DBusMessage* message);

private:
  // On the connection's thread, after everything handed over before: the
  // message sent (when there is one), and the connection's output written
  // out (when there is a connection); neither for a bare marker.
  void HandOver(DBusConnection* raw, DBusMessage* message);
  bool SameThreadAsConnection() const;
  bool Refused();

  QDBusConnection connection_{QString()};
  // Messages of this outbox handed to the connection's thread and not yet
  // written there; touched on both threads.
  std::shared_ptr<std::atomic<int>> onTheirWay_ = std::make_shared<std::atomic<int>>(0);
  bool toldRefusal_ = false;
};

}  // namespace tarvex::bus
