// The Connector and the Device objects as a client on the bus sees them,
// served by the fixture.
#include <gtest/gtest.h>

#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>
#include <QSignalSpy>
#include <limits>

#include "tests/support/bus_test_support.h"

namespace tarvex::bustest {
namespace {

const QString ConnectorPath = QStringLiteral("/Connector");
const QString Connector = QStringLiteral("org.tarvex.Connector1");
const QString Device = QStringLiteral("org.tarvex.Device1");

class DeviceBus : public ::testing::Test {
protected:
  static void SetUpTestSuite() { EnsureApplication(); }

  // The path Connector.Device hands out for a channel.
  static QString DevicePath(short index) {
    const QDBusMessage reply = CallManager(ConnectorPath, Connector, QStringLiteral("Device"), {QVariant::fromValue(index)});
    EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
    return reply.arguments().value(0).value<QDBusObjectPath>().path();
  }
};

TEST_F(DeviceBus, ConnectorGivesChannels0To32AndRefusesOthersWithSubscriptOutOfRange) {
  FixtureProcess fixture;
  ASSERT_TRUE(fixture.Ready()) << fixture.Output().toStdString();

  const ProcessResult outside = Busctl({QStringLiteral("call"), Manager, ConnectorPath, Connector,
                                        QStringLiteral("Device"), QStringLiteral("n"), QStringLiteral("33")});
  EXPECT_NE(outside.exitCode, 0);
  EXPECT_TRUE(outside.err.contains(QStringLiteral("SubscriptOutOfRange")) ||
              outside.err.contains(QStringLiteral("Subscript out of range")))
      << outside.err.toStdString();

  const ProcessResult last = Busctl({QStringLiteral("call"), Manager, ConnectorPath, Connector,
                                     QStringLiteral("Device"), QStringLiteral("n"), QStringLiteral("32")});
  EXPECT_EQ(last.exitCode, 0) << last.err.toStdString();
  EXPECT_EQ(last.out, QStringLiteral("o \"/Device/32\""));
  const ProcessResult desc = Busctl({QStringLiteral("get-property"), Manager, QStringLiteral("/Device/32"), Device,
                                     QStringLiteral("CDeviceDesc")});
  EXPECT_EQ(desc.exitCode, 0) << desc.err.toStdString();
  EXPECT_EQ(desc.out, QStringLiteral("s \"\""));

  struct Case {
    short index;
    const char* error;  // nullptr: answered with /Device/<index>
  };
  const Case cases[] = {{0, nullptr}, {31, nullptr}, {-1, "org.tarvex.Error.SubscriptOutOfRange"},
                        {std::numeric_limits<short>::min(), "org.tarvex.Error.SubscriptOutOfRange"},
                        {std::numeric_limits<short>::max(), "org.tarvex.Error.SubscriptOutOfRange"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.index);
    const QDBusMessage reply =
        CallManager(ConnectorPath, Connector, QStringLiteral("Device"), {QVariant::fromValue(c.index)});
    if (c.error != nullptr) {
      EXPECT_EQ(ErrorName(reply), QString::fromLatin1(c.error));
    } else {
      ASSERT_EQ(ErrorName(reply), QString());
      EXPECT_EQ(reply.arguments().value(0).value<QDBusObjectPath>().path(),
                QStringLiteral("/Device/%1").arg(c.index));
    }
  }
  // The index has the type of the original's 16-bit argument.
  EXPECT_EQ(ErrorName(CallManager(ConnectorPath, Connector, QStringLiteral("Device"), {QVariant::fromValue(3)})),
            QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"));
}

TEST_F(DeviceBus, ObjectsExistOnceCreatedAndTheFailedRequestCreatesNothing) {
  FixtureProcess fixture({QStringLiteral("--unbound")});
  ASSERT_TRUE(fixture.Ready()) << fixture.Output().toStdString();

  // Nothing created yet: no object at /Device/32, /Device lists no child.
  EXPECT_EQ(ErrorName(GetProperty(QStringLiteral("/Device/32"), Device, QStringLiteral("CGross"))),
            QStringLiteral("org.freedesktop.DBus.Error.UnknownObject"));
  const QString before = Introspect(QStringLiteral("/Device"));
  EXPECT_FALSE(before.contains(QStringLiteral("<node name=")));
  EXPECT_EQ(ErrorName(CallManager(ConnectorPath, Connector, QStringLiteral("Device"), {QVariant::fromValue(short(33))})),
            QStringLiteral("org.tarvex.Error.SubscriptOutOfRange"));

  EXPECT_EQ(DevicePath(32), QStringLiteral("/Device/32"));
  const QString after = Introspect(QStringLiteral("/Device"));
  EXPECT_TRUE(after.contains(QStringLiteral("<node name=\"32\"/>")));
  EXPECT_FALSE(after.contains(QStringLiteral("<node name=\"0\"/>")));
  const QString object = Introspect(QStringLiteral("/Device/32"));
  EXPECT_TRUE(object.contains(QStringLiteral("<interface name=\"org.tarvex.Device1\">")));
  EXPECT_TRUE(object.contains(QStringLiteral("<method name=\"CCommandUpdate\">")));
  EXPECT_TRUE(object.contains(QStringLiteral("<arg name=\"Sequence\" type=\"t\" direction=\"out\"/>")));

  // The main window's load creates channels 0 to 31: each is served at once,
  // and a client finds it without asking the Connector first.
  ASSERT_EQ(ErrorName(CallFixture(QStringLiteral("BindHandlers"))), QString());
  const QString loaded = Introspect(QStringLiteral("/Device"));
  for (int index = 0; index <= 32; ++index) {
    EXPECT_TRUE(loaded.contains(QStringLiteral("<node name=\"%1\"/>").arg(index))) << index;
  }
  EXPECT_EQ(ValueOf(GetProperty(QStringLiteral("/Device/31"), Device, QStringLiteral("CDeviceDesc"))),
            QVariant(QString()));
  EXPECT_EQ(ValueOf(GetProperty(QStringLiteral("/Device/0"), Device, QStringLiteral("CDeviceDesc"))),
            QVariant(QStringLiteral("Fixture Scale 1")));
}

TEST_F(DeviceBus, PropertiesTakeOnlyTheirOwnTypeAndKeepEveryValueOfIt) {
  FixtureProcess fixture({QStringLiteral("--unbound")});
  ASSERT_TRUE(fixture.Ready()) << fixture.Output().toStdString();
  const QString path = DevicePath(32);  // no channel feeds 32: the values stay as written

  // Done by busctl as a client would: int32 40000 into the int16 CCmd.
  const ProcessResult wide = Busctl({QStringLiteral("set-property"), Manager, path, Device, QStringLiteral("CCmd"),
                                     QStringLiteral("i"), QStringLiteral("40000")});
  EXPECT_NE(wide.exitCode, 0);
  EXPECT_TRUE(wide.err.contains(QStringLiteral("InvalidArgs")) || wide.err.contains(QStringLiteral("takes type")))
      << wide.err.toStdString();
  EXPECT_EQ(Busctl({QStringLiteral("get-property"), Manager, path, Device, QStringLiteral("CCmd")}).out,
            QStringLiteral("n 0"));
  EXPECT_EQ(Busctl({QStringLiteral("set-property"), QStringLiteral("--"), Manager, path, Device, QStringLiteral("CCmd"),
                    QStringLiteral("n"), QStringLiteral("-32768")})
                .exitCode,
            0);
  EXPECT_EQ(Busctl({QStringLiteral("get-property"), Manager, path, Device, QStringLiteral("CCmd")}).out,
            QStringLiteral("n -32768"));

  struct Case {
    const char* property;
    QVariant stored;   // of the property's type: stored and read back as is
    QVariant refused;  // of another type: InvalidArgs, nothing changes
  };
  const Case cases[] = {
      {"CDeviceDesc", QStringLiteral("Waage 3 \u00c4\u00d6"), QVariant::fromValue(7)},
      {"CDeviceID", QVariant::fromValue(std::numeric_limits<int>::min()), QVariant::fromValue(short(1))},
      {"CDeviceID", QVariant::fromValue(std::numeric_limits<int>::max()), QVariant::fromValue(qlonglong(1))},
      {"CCmdParm", QVariant::fromValue(-0.125), QVariant::fromValue(1)},
      {"CCmdStat", QVariant::fromValue(short(32767)), QVariant::fromValue(ushort(1))},
      {"CGross", QVariant::fromValue(-1234.5), QStringLiteral("12.5")},
      {"CTare", QVariant::fromValue(1e300), QVariant::fromValue(short(2))},
      {"CNet", QVariant::fromValue(-0.0001), QVariant::fromValue(uint(3))},
      {"CScaleStat", QVariant::fromValue(short(-1)), QVariant::fromValue(true)},
  };
  for (const Case& c : cases) {
    const QString name = QString::fromLatin1(c.property);
    SCOPED_TRACE(c.property);
    const QVariant before = ValueOf(GetProperty(path, Device, name));
    EXPECT_EQ(ErrorName(SetProperty(path, Device, name, c.refused)),
              QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"));
    EXPECT_EQ(ValueOf(GetProperty(path, Device, name)), before);

    EXPECT_EQ(ErrorName(SetProperty(path, Device, name, c.stored)), QString());
    const QVariant read = ValueOf(GetProperty(path, Device, name));
    EXPECT_EQ(read.metaType(), c.stored.metaType());
    EXPECT_EQ(read, c.stored);
  }
  EXPECT_EQ(ErrorName(SetProperty(path, Device, QStringLiteral("CWeight"), QVariant::fromValue(1.0))),
            QStringLiteral("org.freedesktop.DBus.Error.UnknownProperty"));
  EXPECT_EQ(ErrorName(SetProperty(path, QStringLiteral("org.tarvex.Other1"), QStringLiteral("CGross"),
                                  QVariant::fromValue(1.0))),
            QStringLiteral("org.freedesktop.DBus.Error.UnknownInterface"));
}

TEST_F(DeviceBus, CUpdateCarriesSequenceAndValuesToEveryClientBeforeTheReply) {
  FixtureProcess fixture({QStringLiteral("--unbound")});
  ASSERT_TRUE(fixture.Ready()) << fixture.Output().toStdString();
  const QString path = DevicePath(32);

  // A second client on its own connection asks for the same channel.
  QDBusConnection other = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("other"));
  ASSERT_TRUE(other.isConnected());
  SignalRecorder seenByOther(path, Device, QStringLiteral("CUpdate"), other);
  const QDBusMessage again = Call(Manager, ConnectorPath, Connector, QStringLiteral("Device"),
                                  {QVariant::fromValue(short(32))}, other);
  EXPECT_EQ(again.arguments().value(0).value<QDBusObjectPath>().path(), path);
  ASSERT_EQ(ErrorName(Call(Manager, path, PropertiesInterface, QStringLiteral("Set"),
                           {Device, QStringLiteral("CGross"), QVariant::fromValue(QDBusVariant(12.5))}, other)),
            QString());

  // This client's command update: its echo is delivered before its reply.
  SignalRecorder seenHere(path, Device, QStringLiteral("CUpdate"));
  QStringList order;
  QObject::connect(&seenHere, &SignalRecorder::Arrived, [&order] { order << QStringLiteral("signal"); });
  QDBusMessage command = QDBusMessage::createMethodCall(Manager, path, Device, QStringLiteral("CCommandUpdate"));
  command.setArguments({QVariant::fromValue(short(7)), QVariant::fromValue(short(-3)), QVariant::fromValue(2.25)});
  QDBusPendingCallWatcher watcher(QDBusConnection::sessionBus().asyncCall(command, 10000));
  QObject::connect(&watcher, &QDBusPendingCallWatcher::finished, [&order] { order << QStringLiteral("reply"); });
  QSignalSpy finished(&watcher, &QDBusPendingCallWatcher::finished);
  ASSERT_TRUE(finished.wait(10000));
  ASSERT_FALSE(watcher.isError()) << watcher.error().message().toStdString();
  ASSERT_TRUE(seenHere.WaitForCount(1));
  EXPECT_EQ(order, (QStringList{QStringLiteral("signal"), QStringLiteral("reply")}));
  // The reply names the update it raised.
  EXPECT_EQ(watcher.reply().signature(), QStringLiteral("t"));
  EXPECT_EQ(watcher.reply().arguments(), (QVariantList{QVariant::fromValue(qulonglong(1))}));

  ASSERT_TRUE(seenByOther.WaitForCount(1));
  // Sequence, CDeviceDesc, CDeviceID, CGross, CTare, CNet, CScaleStat, CCmd, CCmdParm, CCmdStat.
  const QVariantList expected{QVariant::fromValue(qulonglong(1)), QString(), QVariant::fromValue(0), 12.5, 0.0, 0.0,
                              QVariant::fromValue(short(0)), QVariant::fromValue(short(-3)), 2.25,
                              QVariant::fromValue(short(7))};
  for (const SignalRecorder* seen : {&seenHere, &seenByOther}) {
    ASSERT_EQ(seen->Received().size(), 1u);
    const QVariantList arguments = seen->Received().front().arguments();
    EXPECT_EQ(seen->Received().front().signature(), QStringLiteral("tsidddnndn"));
    EXPECT_EQ(arguments, expected);
  }

  // The next update counts on; the values stand as last stored.
  const QDBusMessage next = Call(Manager, path, Device, QStringLiteral("CDoUpdate"), {}, other);
  ASSERT_EQ(ErrorName(next), QString());
  EXPECT_EQ(next.arguments(), (QVariantList{QVariant::fromValue(qulonglong(2))}));
  ASSERT_TRUE(seenHere.WaitForCount(2));
  EXPECT_EQ(seenHere.Received().back().arguments().value(0), QVariant::fromValue(qulonglong(2)));
  EXPECT_EQ(seenHere.Received().back().arguments().value(3), QVariant(12.5));
}

TEST_F(DeviceBus, ClientsObjectFromBeforeTheHandlersAreBoundIsTheOneTheHandlerServes) {
  FixtureProcess fixture({QStringLiteral("--unbound")});
  ASSERT_TRUE(fixture.Ready()) << fixture.Output().toStdString();
  const QString path = DevicePath(3);
  ASSERT_EQ(ErrorName(SetProperty(path, Device, QStringLiteral("CGross"), QVariant::fromValue(7.25))), QString());
  // Status 5 keeps the engine from consuming the command: the slots show
  // exactly what the handler copied.
  const auto setCommand = [&path] {
    for (const auto& [name, value] : {std::pair{"CCmd", QVariant::fromValue(short(4))},
                                      std::pair{"CCmdParm", QVariant::fromValue(1.5)},
                                      std::pair{"CCmdStat", QVariant::fromValue(short(5))}}) {
      ASSERT_EQ(ErrorName(SetProperty(path, Device, QString::fromLatin1(name), value)), QString());
    }
  };
  setCommand();
  const auto slots = [] {
    const QDBusMessage reply =
        CallFixture(QStringLiteral("CommandSlots"), {QVariant::fromValue(short(3))});
    return reply.arguments();
  };
  // Unbound: an update reaches no handler.
  ASSERT_EQ(ErrorName(CallManager(path, Device, QStringLiteral("CDoUpdate"))), QString());
  EXPECT_EQ(slots(), (QVariantList{0, 0.0, 0}));

  ASSERT_EQ(ErrorName(CallFixture(QStringLiteral("BindHandlers"))), QString());
  EXPECT_EQ(DevicePath(3), path);
  EXPECT_EQ(ValueOf(GetProperty(path, Device, QStringLiteral("CGross"))), QVariant(7.25));
  // The bus and one handler: the object was reused, not replaced, and bound once.
  EXPECT_EQ(CallFixture(QStringLiteral("Subscribers"), {QVariant::fromValue(short(3))})
                .arguments()
                .value(0),
            QVariant(2u));

  // The main window's first pass has published the channel's command slots
  // over the object: the client writes its command again.
  setCommand();
  SignalRecorder updates(path, Device, QStringLiteral("CUpdate"));
  ASSERT_EQ(ErrorName(CallManager(path, Device, QStringLiteral("CDoUpdate"))), QString());
  EXPECT_EQ(slots(), (QVariantList{4, 1.5, 5}));
  // One update raised, and the fixture's reply came after everything it sent
  // during that update.
  ASSERT_TRUE(updates.WaitForCount(1));
  EXPECT_EQ(updates.Received().size(), 1u);
}

TEST_F(DeviceBus, CommandsComeBackWithTheEngineOutcome) {
  FixtureProcess fixture({QStringLiteral("--commands"), QStringLiteral("3,9"), QStringLiteral("--one-way"),
                          QStringLiteral("5")});
  ASSERT_TRUE(fixture.Ready()) << fixture.Output().toStdString();

  struct Case {
    short channel;
    short cmd;
    double parm;
    short expectedCmd;
    short expectedStat;
  };
  const Case cases[] = {
      {3, 3, 12.5, 0, 103},    // an enabled command: code + 100
      {4, 77, -1.0, 0, 1077},  // no such command: code + 1000
      {6, 9, 0.0, 0, 109},
      {5, 3, 2.0, 3, 0},       // a channel without commands sends the values back unchanged
  };
  // Arguments of other types are refused before anything is stored.
  const QString three = DevicePath(3);
  EXPECT_EQ(ErrorName(CallManager(three, Device, QStringLiteral("CCommandUpdate"),
                                  {QVariant::fromValue(0), QVariant::fromValue(3), QVariant::fromValue(12.5)})),
            QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"));
  EXPECT_EQ(ValueOf(GetProperty(three, Device, QStringLiteral("CCmd"))), QVariant::fromValue(short(0)));

  for (const Case& c : cases) {
    SCOPED_TRACE(c.channel);
    const QString path = DevicePath(c.channel);
    SignalRecorder updates(path, Device, QStringLiteral("CUpdate"));
    ASSERT_EQ(ErrorName(CallManager(path, Device, QStringLiteral("CCommandUpdate"),
                                    {QVariant::fromValue(short(0)), QVariant::fromValue(c.cmd),
                                     QVariant::fromValue(c.parm)})),
              QString());
    // The echo of the client's own update, then the engine's answer.
    ASSERT_TRUE(updates.WaitForCount(1));
    const QVariantList echo = updates.Received().front().arguments();
    EXPECT_EQ(echo.value(7), QVariant::fromValue(c.cmd));
    if (c.expectedStat == 0) {
      // Give the engine a pass in which it could wrongly answer; a weight
      // hand-over makes that pass visible.
      ASSERT_EQ(ErrorName(CallFixture(QStringLiteral("SetWeights"),
                                      {QVariant::fromValue(c.channel), QStringLiteral("1"), QStringLiteral("0"),
                                       QStringLiteral("1")})),
                QString());
    }
    ASSERT_TRUE(updates.WaitForCount(2));
    const QVariantList answer = updates.Received().at(1).arguments();
    EXPECT_EQ(answer.value(0).toULongLong(), echo.value(0).toULongLong() + 1);
    EXPECT_EQ(answer.value(7), QVariant::fromValue(c.expectedCmd));
    EXPECT_EQ(answer.value(8), QVariant(c.parm));
    EXPECT_EQ(answer.value(9), QVariant::fromValue(c.expectedStat));
  }
}

}  // namespace
}  // namespace tarvex::bustest
