#pragma once
// Waiting for the manager's answer without stopping the host.
//
// The manager sends a Device's CUpdate before its answer to the call that
// raised it, and the bus keeps that order; the control relies on it to have
// its own echo delivered before DoUpdate returns. The signals arrive as events
// of the host's thread, so the wait must dispatch them, and it must do so also
// when the answer was already taken in by the time the wait begins: the echo
// may still be waiting in the thread's queue then.
//
// The queue does not tell, though, which of the CUpdates waiting in it came
// before the answer and which after it. The answer to a command names the
// sequence number of the update it raised: a CUpdate numbered above it came
// after the answer.
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QList>
#include <QObject>
#include <functional>
#include <optional>

namespace tarvex {

// Bound of one call to the manager; the bus answers with NoReply after it.
inline constexpr int kManagerCallTimeoutMs = 10000;

// Dispatches the thread's events until the call's answer is taken in, in the
// order they came, and returns the answer. onReply runs as soon as the answer
// is taken in, before the events that came after it are dispatched. The call's
// own time-out ends the wait; a guard ends it a little later in any case, and
// the result is then not a reply.
QDBusMessage AwaitReply(const QDBusPendingCall& pending, const std::function<void()>& onReply = {});

// The order in which one Device's CUpdates reach the host around a command:
// those the manager sent before its answer (the command's own echo among
// them) are delivered while the command waits, those it sent after its answer
// are held back until the command has returned and then delivered in the
// order they came. Outside a command every CUpdate is delivered as it comes,
// unless earlier ones are still held.
//
// An answer whose first argument is the sequence number of the update it
// raised decides by number, also for CUpdates taken in after the answer but
// dispatched before the wait saw it. Any other answer (an error) decides by
// time: what is dispatched after the wait took the answer in is held.
class CommandUpdateOrder {
public:
  using Deliver = std::function<void(const QDBusMessage& update)>;

  explicit CommandUpdateOrder(Deliver deliver);
  CommandUpdateOrder(const CommandUpdateOrder&) = delete;
  CommandUpdateOrder& operator=(const CommandUpdateOrder&) = delete;

  // A CUpdate as the bus delivers it; its first argument is its sequence number.
  void Take(const QDBusMessage& update);

  // Waits for the command's answer as AwaitReply does and returns it; the
  // CUpdates held meanwhile are delivered from the event loop afterwards.
  QDBusMessage Await(const QDBusPendingCall& pending);

private:
  bool Holds(const QDBusMessage& update) const;
  void ReleaseHeld();

  Deliver deliver_;
  std::optional<QDBusPendingCall> pending_;
  bool answered_ = false;
  QList<QDBusMessage> held_;
  // Owns the queued release: none runs after this object is gone.
  QObject context_;
};

}  // namespace tarvex
