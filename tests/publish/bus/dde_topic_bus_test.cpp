// The DDE topics as a client on the bus sees them, served by the fixture.
#include <gtest/gtest.h>

#include <QDBusArgument>
#include <QDBusVariant>

#include "tests/support/bus_test_support.h"

namespace tarvex::bustest {
namespace {

const QString Topic = QStringLiteral("org.tarvex.DdeTopic1");
class DdeTopicBus : public ::testing::Test {
protected:
  static void SetUpTestSuite() { EnsureApplication(); }

  static QVariantMap AllItems(const QString& path) {
    const QDBusMessage reply = CallManager(path, PropertiesInterface, QStringLiteral("GetAll"), {Topic});
    EXPECT_EQ(ErrorName(reply), QString());
    return qdbus_cast<QVariantMap>(reply.arguments().value(0));
  }
};

TEST_F(DdeTopicBus, TopicReadsEmptyThenThePublishedTextsWithOneChangeSignalOfAllSeven) {
  FixtureProcess fixture;
  ASSERT_TRUE(fixture.Ready()) << fixture.Output().toStdString();
  const QString path = QStringLiteral("/DDE/DDEForm2");

  const ProcessResult before = Busctl({QStringLiteral("get-property"), Manager, path, Topic, QStringLiteral("Gross")});
  EXPECT_EQ(before.exitCode, 0) << before.err.toStdString();
  EXPECT_EQ(before.out, QStringLiteral("s \"\""));
  for (const QVariant& text : AllItems(path)) EXPECT_EQ(text, QVariant(QString()));

  SignalRecorder changes(path, PropertiesInterface, QStringLiteral("PropertiesChanged"));
  SignalRecorder updates(QStringLiteral("/Device/2"), QStringLiteral("org.tarvex.Device1"), QStringLiteral("CUpdate"));
  ASSERT_EQ(ErrorName(CallFixture(QStringLiteral("SetWeights"),
                                  {QVariant::fromValue(short(2)), QStringLiteral("12.5"), QStringLiteral("0012.50"),
                                   QStringLiteral("--")})),
            QString());
  // The channel's turn ends with the DDE refresh, then its Device update.
  ASSERT_TRUE(updates.WaitForCount(1));
  ASSERT_EQ(changes.Received().size(), 1u);
  const QDBusMessage& change = changes.Received().front();
  EXPECT_EQ(change.arguments().value(0).toString(), Topic);
  const QVariantMap changed = qdbus_cast<QVariantMap>(change.arguments().value(1));
  const QVariantMap expected{{QStringLiteral("Gross"), QStringLiteral("12.5")},
                             {QStringLiteral("Tare"), QStringLiteral("12.5")},
                             {QStringLiteral("Net"), QStringLiteral("0")},
                             {QStringLiteral("ScaleStat"), QString()},
                             {QStringLiteral("Cmd"), QString()},
                             {QStringLiteral("CmdParm"), QString()},
                             {QStringLiteral("CmdStat"), QString()}};
  EXPECT_EQ(changed, expected);
  EXPECT_EQ(change.arguments().value(2).toStringList(), QStringList());

  const ProcessResult after = Busctl({QStringLiteral("get-property"), Manager, path, Topic, QStringLiteral("Gross")});
  EXPECT_EQ(after.out, QStringLiteral("s \"12.5\""));
  EXPECT_EQ(AllItems(path), expected);

  const ProcessResult write =
      Busctl({QStringLiteral("set-property"), Manager, path, Topic, QStringLiteral("Gross"), QStringLiteral("s"),
              QStringLiteral("1")});
  EXPECT_NE(write.exitCode, 0);
  EXPECT_TRUE(write.err.contains(QStringLiteral("read-only")) || write.err.contains(QStringLiteral("ReadOnly")))
      << write.err.toStdString();
  EXPECT_EQ(ErrorName(SetProperty(path, Topic, QStringLiteral("Net"), QStringLiteral("1"))),
            QStringLiteral("org.freedesktop.DBus.Error.PropertyReadOnly"));
  EXPECT_EQ(AllItems(path), expected);

  // Later passes with nothing new for the channel refresh nothing: another
  // channel's refresh, sent after them, comes with no second change here.
  SignalRecorder otherChannel(QStringLiteral("/DDE/DDEForm4"), PropertiesInterface, QStringLiteral("PropertiesChanged"));
  ASSERT_EQ(ErrorName(CallFixture(QStringLiteral("SetScaleStatus"), {QVariant::fromValue(short(4)), QVariant::fromValue(short(2))})),
            QString());
  ASSERT_TRUE(otherChannel.WaitForCount(1));
  EXPECT_EQ(qdbus_cast<QVariantMap>(otherChannel.Received().front().arguments().value(1)).value(QStringLiteral("ScaleStat")),
            QVariant(QStringLiteral("2")));
  EXPECT_EQ(changes.Received().size(), 1u);
}

TEST_F(DdeTopicBus, EveryChannelOf0To31HasATopicAndNoOtherPathIsOne) {
  FixtureProcess fixture({QStringLiteral("--channels"), QStringLiteral("2")});
  ASSERT_TRUE(fixture.Ready()) << fixture.Output().toStdString();
  const QString listing = Introspect(QStringLiteral("/DDE"));
  for (int topic = 0; topic < 32; ++topic) {
    EXPECT_TRUE(listing.contains(QStringLiteral("<node name=\"DDEForm%1\"/>").arg(topic))) << topic;
  }
  // Channel 31 is beyond the two channels scanned: its topic exists, empty.
  for (const QVariant& text : AllItems(QStringLiteral("/DDE/DDEForm31"))) EXPECT_EQ(text, QVariant(QString()));
  for (const char* path : {"/DDE/DDEForm32", "/DDE/DDEForm05", "/DDE/ddeform5", "/DDE/DDEForm5/x"}) {
    EXPECT_EQ(ErrorName(GetProperty(QString::fromLatin1(path), Topic, QStringLiteral("Gross"))),
              QStringLiteral("org.freedesktop.DBus.Error.UnknownObject"))
        << path;
  }
}

}  // namespace
}  // namespace tarvex::bustest
