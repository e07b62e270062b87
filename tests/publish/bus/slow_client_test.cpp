// A client that subscribes to the manager's signals and then stops reading
// must not hold up what the manager publishes to everyone else.
#include <gtest/gtest.h>

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusObjectPath>
#include <QDBusPendingCall>
#include <QDeadlineTimer>
#include <csignal>
#include <sys/types.h>

#include "tests/support/bus_test_support.h"

namespace tarvex::bustest {
namespace {

// The bus's own statistics of the connection of a process, when the bus
// keeps them; empty otherwise.
QVariantMap StatsOf(uint pid) {
  QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface();
  for (const QString& name : bus->registeredServiceNames().value()) {
    if (!name.startsWith(QLatin1Char(':')) || bus->servicePid(name).value() != pid) continue;
    const QDBusMessage reply = Call(QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
                                    QStringLiteral("org.freedesktop.DBus.Debug.Stats"),
                                    QStringLiteral("GetConnectionStats"), {name});
    if (reply.type() == QDBusMessage::ReplyMessage) return qdbus_cast<QVariantMap>(reply.arguments().value(0));
  }
  return {};
}

class SlowClient : public ::testing::Test {
protected:
  static void SetUpTestSuite() { EnsureApplication(); }
};

TEST_F(SlowClient, ClientThatNeverReadsDoesNotDelayPublicationToOthers) {
  FixtureProcess fixture;
  ASSERT_TRUE(fixture.Ready()) << fixture.Output().toStdString();
  const QString device = QStringLiteral("org.tarvex.Device1");
  const QDBusMessage path = CallManager(QStringLiteral("/Connector"), QStringLiteral("org.tarvex.Connector1"),
                                        QStringLiteral("Device"), {QVariant::fromValue(short(1))});
  ASSERT_EQ(ErrorName(path), QString());
  const QString devicePath = path.arguments().value(0).value<QDBusObjectPath>().path();

  // gdbus monitor subscribes to every signal of the manager; once it has
  // printed an update its match is in place, and it is stopped.
  QProcess stalled;
  stalled.setProcessChannelMode(QProcess::MergedChannels);
  stalled.start(QStringLiteral("gdbus"), {QStringLiteral("monitor"), QStringLiteral("--session"),
                                          QStringLiteral("--dest"), Manager});
  ASSERT_TRUE(stalled.waitForStarted(5000));
  QByteArray said;
  const QDeadlineTimer deadline(10000);
  while (!said.contains("CUpdate") && !deadline.hasExpired()) {
    CallManager(devicePath, device, QStringLiteral("CDoUpdate"));
    stalled.waitForReadyRead(100);
    said += stalled.readAll();
  }
  ASSERT_TRUE(said.contains("CUpdate")) << said.toStdString();
  ASSERT_EQ(::kill(static_cast<pid_t>(stalled.processId()), SIGSTOP), 0);

  // Far more than a socket buffer holds, all addressed to the stopped client
  // as well: every update still reaches this client, and the manager goes on
  // with its own scan.
  constexpr int Updates = 4000;
  SignalRecorder updates(devicePath, device, QStringLiteral("CUpdate"));
  // In rounds, within the bus's limit of pending calls per connection.
  constexpr int Round = 100;
  for (int sent = 0; sent < Updates; sent += Round) {
    std::vector<QDBusPendingCall> calls;
    for (int i = 0; i < Round; ++i) {
      calls.push_back(QDBusConnection::sessionBus().asyncCall(
          QDBusMessage::createMethodCall(Manager, devicePath, device, QStringLiteral("CDoUpdate")), 10000));
    }
    for (QDBusPendingCall& call : calls) {
      call.waitForFinished();
      ASSERT_FALSE(call.isError()) << call.error().message().toStdString();
    }
  }
  ASSERT_TRUE(updates.WaitForCount(Updates, 30000)) << updates.Received().size();
  // The stopped client's share waits in the bus, not in the manager.
  const QVariantMap stats = StatsOf(static_cast<uint>(stalled.processId()));
  if (!stats.isEmpty()) {
    EXPECT_GT(stats.value(QStringLiteral("OutgoingMessages")).toUInt(), 100u);
  }
  EXPECT_EQ(updates.Received().back().arguments().value(0).toULongLong(),
            updates.Received().front().arguments().value(0).toULongLong() + Updates - 1);

  SignalRecorder topic(QStringLiteral("/DDE/DDEForm1"), PropertiesInterface, QStringLiteral("PropertiesChanged"));
  ASSERT_EQ(ErrorName(CallFixture(QStringLiteral("SetWeights"),
                                  {QVariant::fromValue(short(1)), QStringLiteral("5"), QStringLiteral("1"),
                                   QStringLiteral("4")})),
            QString());
  EXPECT_TRUE(topic.WaitForCount(1));

  ::kill(static_cast<pid_t>(stalled.processId()), SIGCONT);
  stalled.kill();
  stalled.waitForFinished(5000);
}

}  // namespace
}  // namespace tarvex::bustest
