#include "control/reply_wait.h"

#include <QDBusPendingCallWatcher>
#include <QEventLoop>
#include <QTimer>

namespace tarvex {

// Always through a watcher, even for an answer already in: the watcher then
// reports it by an event queued behind those that came before it.
QDBusMessage AwaitReply(const QDBusPendingCall& pending, const std::function<void()>& onReply) {
  QDBusPendingCallWatcher watcher(pending);
  QEventLoop loop;
  QObject::connect(&watcher, &QDBusPendingCallWatcher::finished, &loop, [&] {
    if (onReply) onReply();
    loop.quit();
  });
  QTimer bound;
  bound.setSingleShot(true);
  QObject::connect(&bound, &QTimer::timeout, &loop, &QEventLoop::quit);
  bound.start(kManagerCallTimeoutMs + 1000);
  loop.exec();
  return pending.reply();
}

namespace {

// The sequence number an answer names, if it names one.
std::optional<quint64> AnsweredSequence(const QDBusMessage& answer) {
  if (answer.type() != QDBusMessage::ReplyMessage) return std::nullopt;
  const QVariant sequence = answer.arguments().value(0);
  if (sequence.metaType() != QMetaType::fromType<qulonglong>()) return std::nullopt;
  return sequence.toULongLong();
}

}  // namespace

CommandUpdateOrder::CommandUpdateOrder(Deliver deliver) : deliver_(std::move(deliver)) {}

void CommandUpdateOrder::Take(const QDBusMessage& update) {
  if (held_.isEmpty() && !Holds(update)) {
    deliver_(update);
    return;
  }
  held_ << update;
}

// The pending call is asked, not only the wait's own notice of the answer:
// a CUpdate dispatched while the call is still unanswered came before the
// answer; one dispatched after the answer was taken in is placed by its number.
bool CommandUpdateOrder::Holds(const QDBusMessage& update) const {
  if (!pending_) return false;
  if (pending_->isFinished()) {
    if (const std::optional<quint64> answered = AnsweredSequence(pending_->reply())) {
      return update.arguments().value(0).toULongLong() > *answered;
    }
  }
  return answered_;
}

QDBusMessage CommandUpdateOrder::Await(const QDBusPendingCall& pending) {
  // A command sent from the host's handler of a delivered CUpdate runs inside
  // another command's wait or a release: the outer state is restored after it.
  const std::optional<QDBusPendingCall> outerPending = pending_;
  const bool outerAnswered = answered_;
  pending_ = pending;
  answered_ = false;
  struct Restore {
    CommandUpdateOrder& order;
    const std::optional<QDBusPendingCall>& pending;
    bool answered;
    ~Restore() {
      order.pending_ = pending;
      order.answered_ = answered;
      if (!order.held_.isEmpty()) {
        QMetaObject::invokeMethod(&order.context_, [&o = order] { o.ReleaseHeld(); }, Qt::QueuedConnection);
      }
    }
  } restore{*this, outerPending, outerAnswered};
  return AwaitReply(pending, [this] { answered_ = true; });
}

// Runs from the event loop; held CUpdates that the command now waiting (if
// any) places before its answer are delivered too.
void CommandUpdateOrder::ReleaseHeld() {
  while (!held_.isEmpty() && !Holds(held_.front())) deliver_(held_.takeFirst());
}

}  // namespace tarvex
