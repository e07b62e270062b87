// The wait for the manager's answer: what the host's thread has queued before
// the answer is dispatched before the wait returns, also when the answer was in
// before the wait began; and around a command, which of a Device's CUpdates
// reach the host before the command returns.
#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusError>
#include <QStringList>
#include <gtest/gtest.h>
#include <string>

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

// A CUpdate as far as the order looks at it: its sequence number first, then
// the command status it carries.
QDBusMessage Update(quint64 sequence, std::int16_t cmdStat) {
  QDBusMessage update = QDBusMessage::createSignal(QStringLiteral("/Device/3"), QStringLiteral("org.tarvex.Device1"),
                                                   QStringLiteral("CUpdate"));
  update << QVariant::fromValue(sequence) << QVariant::fromValue(cmdStat);
  return update;
}

// The order of one Device, logging what it delivers; a CUpdate is queued on
// the thread as the bus queues it.
struct OrderedDevice {
  QStringList log;
  CommandUpdateOrder order{[this](const QDBusMessage& update) {
    log << QStringLiteral("update %1 (%2)")
               .arg(update.arguments().at(0).toULongLong())
               .arg(update.arguments().at(1).toInt());
  }};
  void Queue(const QDBusMessage& update) {
    QMetaObject::invokeMethod(qApp, [this, update] { order.Take(update); }, Qt::QueuedConnection);
  }
  std::string Log() const { return log.join(QStringLiteral(", ")).toStdString(); }
  // Lets the thread dispatch what is queued, for at most a bounded time.
  void Settle(qsizetype entries) {
    for (int pass = 0; pass < 100 && log.size() < entries; ++pass) QCoreApplication::processEvents();
  }
};

QDBusMessage CommandCall() {
  return QDBusMessage::createMethodCall(QStringLiteral(":1.7"), QStringLiteral("/Device/3"),
                                        QStringLiteral("org.tarvex.Device1"), QStringLiteral("CCommandUpdate"));
}

TEST(CommandUpdateOrder, AnAnswerInBeforeTheWaitStillHoldsBackTheUpdatesNumberedAboveIt) {
  OrderedDevice device;
  // The echo of the command (update 4), the answer naming it, and the engine's
  // next pass taking the command (update 5): all in before the wait begins.
  device.Queue(Update(4, 0));
  device.Queue(Update(5, 103));
  const QDBusMessage answer = device.order.Await(
      QDBusPendingCall::fromCompletedCall(CommandCall().createReply(QVariant::fromValue(quint64(4)))));
  device.log << QStringLiteral("returned");
  // Taken in after the return while update 5 is still held: it goes behind it.
  device.order.Take(Update(6, 0));
  device.Settle(4);

  EXPECT_EQ(answer.type(), QDBusMessage::ReplyMessage);
  EXPECT_EQ(device.Log(), "update 4 (0), returned, update 5 (103), update 6 (0)");
}

TEST(CommandUpdateOrder, UpdatesComeAsTheyArriveOutsideACommandAndBeforeAnAnswerWithoutNumber) {
  OrderedDevice device;
  device.order.Take(Update(1, 0));
  // An error names no update: what was queued before it is dispatched first.
  device.Queue(Update(2, 0));
  const QDBusMessage answer = device.order.Await(QDBusPendingCall::fromCompletedCall(
      CommandCall().createErrorReply(QDBusError::ServiceUnknown, QStringLiteral("gone"))));
  device.log << QStringLiteral("returned");
  device.order.Take(Update(3, 7));

  EXPECT_EQ(answer.type(), QDBusMessage::ErrorMessage);
  EXPECT_EQ(device.Log(), "update 1 (0), update 2 (0), returned, update 3 (7)");
}

}  // namespace
}  // namespace tarvex
