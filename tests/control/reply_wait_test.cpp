// The wait for the manager's answer: what the host's thread has queued before
// the answer is dispatched before the wait returns, also when the answer was in
// before the wait began.
#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusError>
#include <QStringList>
#include <gtest/gtest.h>

#include "control/reply_wait.h"

namespace tarvex {
namespace {

TEST(ReplyWait, EventsQueuedBeforeAnAnswerAlreadyInRunBeforeTheWaitReturns) {
  const QDBusMessage call = QDBusMessage::createMethodCall(
      QStringLiteral(":1.7"), QStringLiteral("/Device/3"), QStringLiteral("org.tarvex.Device1"),
      QStringLiteral("CCommandUpdate"));
  struct Row {
    const char* legend;
    QDBusMessage answer;
  };
  for (const Row& row : {Row{"reply", call.createReply()},
                         Row{"error", call.createErrorReply(QDBusError::ServiceUnknown, QStringLiteral("gone"))}}) {
    SCOPED_TRACE(row.legend);
    QStringList log;
    // Stands for the echo: the bus signal that came before the answer, queued
    // on the thread when the answer was already taken in.
    QMetaObject::invokeMethod(
        qApp, [&log] { log << QStringLiteral("echo"); }, Qt::QueuedConnection);
    const QDBusMessage answer =
        AwaitReply(QDBusPendingCall::fromCompletedCall(row.answer), [&log] { log << QStringLiteral("answer"); });
    log << QStringLiteral("returned");

    EXPECT_EQ(log.join(QLatin1Char(',')).toStdString(), "echo,answer,returned");
    EXPECT_EQ(answer.type(), row.answer.type());
  }
}

}  // namespace
}  // namespace tarvex
