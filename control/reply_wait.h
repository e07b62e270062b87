#pragma once
// Waiting for the manager's answer without stopping the host.
//
// The manager sends a Device's CUpdate before its answer to the call that
// raised it, and the bus keeps that order; the control relies on it to have
// its own echo delivered before DoUpdate returns. The signals arrive as events
// of the host's thread, so the wait must dispatch them, and it must do so also
// when the answer was already taken in by the time the wait begins: the echo
// may still be waiting in the thread's queue then.
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <functional>

namespace tarvex {

// Bound of one call to the manager; the bus answers with NoReply after it.
inline constexpr int kManagerCallTimeoutMs = 10000;

// Dispatches the thread's events until the call's answer is taken in, in the
// order they came, and returns the answer. onReply runs as soon as the answer
// is taken in, before the events that came after it are dispatched. The call's
// own time-out ends the wait; a guard ends it a little later in any case, and
// the result is then not a reply.
QDBusMessage AwaitReply(const QDBusPendingCall& pending, const std::function<void()>& onReply = {});

}  // namespace tarvex
