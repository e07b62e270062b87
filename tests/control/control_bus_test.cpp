// The control and its host against the test fixture that plays the manager,
// on a private session bus of each test case; the bus starts the fixture by
// activation when the first control binds.
#include <QProcessEnvironment>
#include <QSignalSpy>
#include <gtest/gtest.h>
#include <csignal>
#include <sys/types.h>

#include "control/bus_manager_session.h"
#include "control/dev_control.h"
#include "tests/control/host_process.h"
#include "tests/control/counting_session.h"
#include "tests/support/run_time_error_of.h"
#include "platform/message_box.h"
#include "platform/run_time_error.h"
#include "publish/bus/bus_names.h"
#include "tests/support/bus_test_support.h"

namespace tarvex {
namespace {

using test::ErrorOf;
using bustest::Manager;
using bustest::OwnerPid;
using test::HostProcess;

const QString kDevice1 = bus::DeviceInterface;
const QString kEightNotices =
    QStringLiteral("Changed=Gross,Tare,Net,CmdStat,Cmd,CmdParm,ScaleStat,DeviceDesc");

QStringList UpdatesIn(const QStringList& lines, qsizetype from = 0) {
  QStringList updates;
  for (qsizetype i = from; i < lines.size(); ++i) {
    if (lines[i].startsWith(QLatin1String("Update "))) updates << lines[i];
  }
  return updates;
}

TEST(ControlOnTheBus, CommandTravelsToEveryHostOfItsChannelAndNoOther) {
  const QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  HostProcess b(env, {QStringLiteral("--channel"), QStringLiteral("3"),
                                    QStringLiteral("--wait-ms"), QStringLiteral("60000")});
  HostProcess c(env, {QStringLiteral("--channel"), QStringLiteral("4"),
                                    QStringLiteral("--wait-ms"), QStringLiteral("60000")});
  const int bReady = b.WaitForLine(QStringLiteral("DoUpdate 0"));
  const int cReady = c.WaitForLine(QStringLiteral("DoUpdate 0"));
  ASSERT_GE(bReady, 0) << b.lines().join(QLatin1Char('\n')).toStdString();
  ASSERT_GE(cReady, 0) << c.lines().join(QLatin1Char('\n')).toStdString();

  HostProcess a(env,
                {QStringLiteral("--channel"), QStringLiteral("3"), QStringLiteral("--cmd"),
                 QStringLiteral("3"), QStringLiteral("--parm"), QStringLiteral("12.5"),
                 QStringLiteral("--wait-ms"), QStringLiteral("60000")});
  const int answered = a.WaitForLine([](const QString& line) {
    return line.startsWith(QLatin1String("Update Channel=3 Cmd=0 CmdStat=103 "));
  });
  ASSERT_GE(answered, 2) << a.lines().join(QLatin1Char('\n')).toStdString();
  const QStringList& out = a.lines();
  EXPECT_TRUE(out[0].startsWith(QLatin1String("Update Channel=3 Cmd=3 CmdStat=0 CmdParm=12.5 ")))
      << out[0].toStdString();
  EXPECT_EQ(out[1], QStringLiteral("DoUpdate 0")) << "the echo comes before DoUpdate returns";
  const QStringList aUpdates = UpdatesIn(out.mid(0, answered + 1));
  for (const QString& line : aUpdates) EXPECT_TRUE(line.endsWith(kEightNotices)) << line.toStdString();

  // B was bound before A sent: it sees the same updates from A's echo on.
  ASSERT_GE(b.WaitForLine([&](const QString& line) { return line == aUpdates.last(); }), 0);
  const QStringList bUpdates = UpdatesIn(b.lines(), bReady + 1);
  const qsizetype echoAt = bUpdates.indexOf(aUpdates.first());
  ASSERT_GE(echoAt, 0) << bUpdates.join(QLatin1Char('\n')).toStdString();
  EXPECT_EQ(bUpdates.mid(echoAt, aUpdates.size()), aUpdates);

  c.Stop();
  for (const QString& line : UpdatesIn(c.lines(), cReady + 1)) {
    EXPECT_FALSE(line.contains(QLatin1String("CmdParm=12.5")) ||
                 line.contains(QLatin1String("CmdStat=103")))
        << "channel 4 heard channel 3: " << line.toStdString();
  }
}

class ControlInProcess : public ::testing::Test {
protected:
  static QVariant DeviceProperty(int channel, const char* name) {
    return bustest::ValueOf(bustest::GetProperty(QStringLiteral("/Device/%1").arg(channel), kDevice1,
                                                 QString::fromLatin1(name)));
  }
  static bool KillManager() {
    const qint64 pid = OwnerPid(Manager);
    return pid > 0 && ::kill(static_cast<pid_t>(pid), SIGKILL) == 0 &&
           bustest::WaitForOwner(Manager, false);
  }

  test::CountingSession session;
  RecordingMessageBox messages;
};

TEST_F(ControlInProcess, CommandCodeThatOverflowsFailsWith6AndLeavesTheBusAlone) {
  DevControl control(session, messages);
  control.SetChannel(3);
  control.SetCmdStat(7);
  control.SetCmd(9);
  ASSERT_EQ(control.DoUpdate(), 0);
  ASSERT_EQ(DeviceProperty(3, "CCmdStat").toInt(), 7);

  QSignalSpy updates(&control, &DevControl::Update);
  for (const auto& [cmdStat, cmd] : {std::pair{0, 40000}, std::pair{-32769, 0}}) {
    control.SetCmdStat(cmdStat);
    control.SetCmd(cmd);
    EXPECT_EQ(ErrorOf([&] { control.DoUpdate(); }), ErrorNumber::Overflow);
  }
  EXPECT_EQ(DeviceProperty(3, "CCmdStat").toInt(), 7);
  EXPECT_EQ(DeviceProperty(3, "CCmd").toInt(), 9);

  // The bus keeps the order of the manager's signals: a CUpdate raised by
  // the failed calls would arrive before the echo of this one.
  control.SetCmdStat(0);
  control.SetCmd(0);
  ASSERT_EQ(control.DoUpdate(), 0);
  EXPECT_EQ(updates.count(), 1);
}

TEST_F(ControlInProcess, AfterTheManagerIsKilledDoUpdateFailsWith462UntilTheChannelIsSetAgain) {
  DevControl control(session, messages);
  control.SetChannel(3);
  ASSERT_EQ(control.DoUpdate(), 0);
  const qint64 first = OwnerPid(Manager);
  ASSERT_GT(first, 0);
  ASSERT_TRUE(KillManager());

  for (int call = 0; call < 2; ++call) {
    EXPECT_EQ(ErrorOf([&] { control.DoUpdate(); }), ErrorNumber::RemoteServerUnavailable);
  }
  EXPECT_EQ(OwnerPid(Manager), 0) << "no manager was started behind the control's back";
  EXPECT_EQ(session.creations, 1);

  control.SetChannel(3);
  EXPECT_EQ(control.DoUpdate(), 0);
  const qint64 second = OwnerPid(Manager);
  EXPECT_GT(second, 0);
  EXPECT_NE(second, first);
}

}  // namespace
}  // namespace tarvex
