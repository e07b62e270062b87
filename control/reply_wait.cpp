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

}  // namespace tarvex
