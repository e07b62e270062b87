// The real manager on a private bus: started by activation, its name counted
// as an instance, and its run without a bus.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDeadlineTimer>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QFile>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <csignal>
#include <sys/types.h>

#include "tests/support/bus_test_support.h"

namespace tarvex::bustest {
namespace {

using Environment = QMap<QString, QString>;

const QString ErrorLog = QStringLiteral("ErrorLog-Velmar Orinda Tarvex.txt");
const QString ActiveXLog = QStringLiteral("ActiveXLog-Velmar Orinda Tarvex.txt");

QStringList LinesOf(const QString& file) {
  QFile f(file);
  if (!f.open(QIODevice::ReadOnly)) return {};
  return QString::fromLatin1(f.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
}

class ManagerBus : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    EnsureApplication();
    qDBusRegisterMetaType<Environment>();
  }
  void SetUp() override { ASSERT_TRUE(home_.isValid()); }
  void TearDown() override {
    if (const qint64 pid = OwnerPid(Manager); pid > 0 && pid != QCoreApplication::applicationPid()) {
      ::kill(static_cast<pid_t>(pid), SIGKILL);
    }
  }

  QString InHome(const QString& name) const { return home_.filePath(name); }

  // The manager started directly, in the test's program folder.
  void StartManager(QProcess& manager, const QString& busAddress = QString()) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TARVEX_HOME"), home_.path());
    environment.insert(QStringLiteral("TARVEX_MESSAGE_BOXES"), InHome(QStringLiteral("boxes.txt")));
    if (!busAddress.isEmpty()) environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), busAddress);
    manager.setProcessEnvironment(environment);
    manager.setProcessChannelMode(QProcess::MergedChannels);
    manager.start(QStringLiteral(TARVEX_BIN_DIR "/tarvex"), QStringList());
    ASSERT_TRUE(manager.waitForStarted(5000));
  }

  QTemporaryDir home_;
};

TEST_F(ManagerBus, ClientCallStartsTheManagerWhichAnswersAndAfterItEndsNothingRestartsIt) {
  // What an activated manager finds in its environment comes from the bus.
  const QDBusMessage env = Call(QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
                                QStringLiteral("org.freedesktop.DBus"), QStringLiteral("UpdateActivationEnvironment"),
                                {QVariant::fromValue(Environment{
                                    {QStringLiteral("TARVEX_HOME"), home_.path()},
                                    {QStringLiteral("TARVEX_MESSAGE_BOXES"), InHome(QStringLiteral("boxes.txt"))}})});
  ASSERT_EQ(ErrorName(env), QString()) << env.errorMessage().toStdString();
  ASSERT_FALSE(QDBusConnection::sessionBus().interface()->isServiceRegistered(Manager).value());

  const QDBusMessage reply = CallManager(QStringLiteral("/Connector"), QStringLiteral("org.tarvex.Connector1"),
                                         QStringLiteral("Device"), {QVariant::fromValue(short(0))});
  ASSERT_EQ(ErrorName(reply), QString()) << reply.errorMessage().toStdString();
  EXPECT_EQ(reply.arguments().value(0).value<QDBusObjectPath>().path(), QStringLiteral("/Device/0"));
  // Its program folder is the one TARVEX_HOME names, not its working folder.
  EXPECT_TRUE(QFile::exists(InHome(QStringLiteral("TarvexManager.lock"))));
  EXPECT_FALSE(QFile::exists(InHome(QStringLiteral("boxes.txt"))));

  const QString unique = QDBusConnection::sessionBus().interface()->serviceOwner(Manager).value();
  ASSERT_TRUE(unique.startsWith(QLatin1Char(':')));
  const qint64 pid = OwnerPid(Manager);
  ASSERT_GT(pid, 0);
  ASSERT_EQ(::kill(static_cast<pid_t>(pid), SIGTERM), 0);
  ASSERT_TRUE(WaitForOwner(Manager, false));

  const QDBusMessage late = Call(unique, QStringLiteral("/Connector"), QStringLiteral("org.tarvex.Connector1"),
                                 QStringLiteral("Device"), {QVariant::fromValue(short(0))});
  EXPECT_EQ(late.type(), QDBusMessage::ErrorMessage);
  EXPECT_EQ(late.errorName(), QStringLiteral("org.freedesktop.DBus.Error.ServiceUnknown"));
  EXPECT_FALSE(QDBusConnection::sessionBus().interface()->isServiceRegistered(Manager).value());
}

TEST_F(ManagerBus, NameOwnedByAnotherProcessIsRefusedAsASecondInstance) {
  ASSERT_TRUE(QDBusConnection::sessionBus().registerService(Manager));
  QProcess manager;
  StartManager(manager);
  ASSERT_TRUE(manager.waitForFinished(10000)) << "the manager did not end";
  EXPECT_NE(manager.exitCode(), 0);

  const QStringList log = LinesOf(InHome(ErrorLog));
  ASSERT_EQ(log.size(), 1) << log.join(QLatin1Char('|')).toStdString();
  EXPECT_TRUE(log.front().startsWith(QStringLiteral("Tried To Start Tarvex Manager While Already Running @ ")));
  const QStringList boxes = LinesOf(InHome(QStringLiteral("boxes.txt")));
  ASSERT_FALSE(boxes.isEmpty());
  EXPECT_TRUE(boxes.front().startsWith(
      QStringLiteral("16\t Tarvex Manager Startup Problem...\tA Copy Of Tarvex Manager Is Already Running.")))
      << boxes.front().toStdString();
  EXPECT_EQ(QDBusConnection::sessionBus().interface()->serviceOwner(Manager).value(),
            QDBusConnection::sessionBus().baseService());
}

TEST_F(ManagerBus, WithoutSessionBusTheManagerRunsWithOneLogLine) {
  QProcess manager;
  StartManager(manager, QStringLiteral("unix:path=") + InHome(QStringLiteral("no-bus")));
  const QDeadlineTimer deadline(10000);
  while (LinesOf(InHome(ActiveXLog)).isEmpty() && manager.state() == QProcess::Running && !deadline.hasExpired()) {
    manager.waitForFinished(50);
  }
  const QStringList log = LinesOf(InHome(ActiveXLog));
  ASSERT_EQ(log.size(), 1) << manager.readAll().toStdString();
  EXPECT_TRUE(log.front().startsWith(QStringLiteral("No Session Bus: Tarvex Manager Runs Without Bus Publication @ ")));
  // Past the topics the start-up window loads and the manager runs on.
  EXPECT_FALSE(manager.waitForFinished(300)) << manager.readAll().toStdString();
  EXPECT_FALSE(QFile::exists(InHome(QStringLiteral("boxes.txt"))));
  manager.terminate();
  manager.waitForFinished(5000);
}

}  // namespace
}  // namespace tarvex::bustest
