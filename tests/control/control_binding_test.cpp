// DoUpdate, the bind and the update handler against a manager in the test
// process: what is sent, what comes back, in which order, and how failures of
// the manager reach the host.
#include <QSignalSpy>
#include <QStringList>
#include <gtest/gtest.h>

#include "control/dev_control.h"
#include "control/tarvex_dev.h"
#include "tests/control/fake_manager.h"
#include "tests/support/run_time_error_of.h"
#include "platform/message_box.h"
#include "platform/run_time_error.h"

namespace tarvex {
namespace {

using test::ErrorOf;
using test::FakeManager;

class ControlBinding : public ::testing::Test {
protected:
  FakeManager manager;
  RecordingMessageBox messages;

  std::unique_ptr<DevControl> ControlOn(int channel) {
    auto control = std::make_unique<DevControl>(manager, messages);
    control->SetChannel(channel);
    return control;
  }
  // Everything a control tells its host, in order, as one text.
  static QStringList* Record(DevControl& control, QStringList& log) {
    QObject::connect(&control, &DevControl::PropertyChanged, [&log](const QString& n) { log << n; });
    QObject::connect(&control, &DevControl::Update, [&log] { log << QStringLiteral("Update"); });
    return &log;
  }
};

TEST_F(ControlBinding, OwnEchoArrivesBeforeDoUpdateReturnsAfterEightNoticesInOrder) {
  manager.devices[3].CGross = 100.5;
  manager.devices[3].CTare = 0.5;
  manager.devices[3].CNet = 100;
  manager.devices[3].CScaleStat = 6;
  manager.devices[3].CDeviceDesc = QStringLiteral("Bay 3");
  auto control = ControlOn(3);
  control->SetCmd(3);
  control->SetCmdParm(12.5);
  QStringList log;
  Record(*control, log);

  EXPECT_EQ(control->DoUpdate(), 0);
  log << QStringLiteral("returned");

  EXPECT_EQ(log.join(QLatin1Char(',')),
            QStringLiteral("Gross,Tare,Net,CmdStat,Cmd,CmdParm,ScaleStat,DeviceDesc,Update,returned"));
  EXPECT_EQ(control->Gross(), 100.5);
  EXPECT_EQ(control->Cmd(), 3);
  EXPECT_EQ(control->CmdParm(), 12.5);
  EXPECT_EQ(control->ScaleStat(), 6);
  EXPECT_EQ(control->DeviceDesc(), QStringLiteral("Bay 3"));
  EXPECT_EQ(manager.devices[3].CCmd, 3);
  EXPECT_EQ(manager.devices[3].CCmdParm, 12.5);
}

TEST_F(ControlBinding, UpdatesReachEveryControlOfTheChannelAndNoOther) {
  auto first = ControlOn(3);
  auto second = ControlOn(3);
  auto other = ControlOn(4);
  auto neverSent = ControlOn(3);
  first->DoUpdate();
  second->DoUpdate();
  other->DoUpdate();
  QSignalSpy firstUpdates(first.get(), &DevControl::Update);
  QSignalSpy secondUpdates(second.get(), &DevControl::Update);
  QSignalSpy otherUpdates(other.get(), &DevControl::Update);
  QSignalSpy neverSentUpdates(neverSent.get(), &DevControl::Update);

  second->SetCmd(7);
  second->DoUpdate();
  manager.Publish(3, {QStringLiteral("Bay 3"), 1, 2, 3, 0, 0, 0, 0});

  EXPECT_EQ(firstUpdates.count(), 2);
  EXPECT_EQ(secondUpdates.count(), 2);
  EXPECT_EQ(otherUpdates.count(), 0);
  EXPECT_EQ(neverSentUpdates.count(), 0) << "a control binds only in DoUpdate";
  EXPECT_EQ(first->Gross(), 1);
}

TEST_F(ControlBinding, CommandCodeOutside16BitsFailsWith6AndSendsNothing) {
  struct Row {
    std::int32_t cmdStat, cmd;
  };
  for (const Row row : {Row{0, 40000}, Row{0, -32769}, Row{32768, 1}, Row{-40000, 40000}}) {
    SCOPED_TRACE(testing::Message() << row.cmdStat << "/" << row.cmd);
    manager.devices[5].CCmdStat = 9;
    manager.devices[5].CCmd = 9;
    auto control = ControlOn(5);
    control->SetCmdStat(row.cmdStat);
    control->SetCmd(row.cmd);
    QSignalSpy updates(control.get(), &DevControl::Update);
    manager.commandUpdates = 0;

    EXPECT_EQ(ErrorOf([&] { control->DoUpdate(); }), ErrorNumber::Overflow);
    EXPECT_EQ(manager.commandUpdates, 0);
    EXPECT_EQ(manager.devices[5].CCmdStat, 9);
    EXPECT_EQ(manager.devices[5].CCmd, 9);
    EXPECT_EQ(updates.count(), 0);
    EXPECT_EQ(control->Cmd(), row.cmd) << "the control's own fields change only by an echo";
  }
  auto edge = ControlOn(5);
  edge->SetCmdStat(-32768);
  edge->SetCmd(32767);
  EXPECT_EQ(edge->DoUpdate(), 0);
  EXPECT_EQ(edge->CmdStat(), -32768);
  EXPECT_EQ(edge->Cmd(), 32767);
}

TEST_F(ControlBinding, ChannelOutsideRangeFailsDoUpdateWith9BeforeAnyBind) {
  auto control = ControlOn(0);
  EXPECT_NE(ErrorOf([&] { control->SetChannel(33); }), 0);
  EXPECT_EQ(ErrorOf([&] { control->DoUpdate(); }), ErrorNumber::SubscriptOutOfRange);
  EXPECT_EQ(manager.creations, 0);
  EXPECT_EQ(manager.commandUpdates, 0);
}

TEST_F(ControlBinding, NegativeDeviceValuesArriveAsTheSameNegativeLongs) {
  manager.devices[6].CScaleStat = -32768;
  auto control = ControlOn(6);
  control->SetCmd(-1);
  control->SetCmdStat(-300);
  control->DoUpdate();
  EXPECT_EQ(control->ScaleStat(), -32768);
  EXPECT_EQ(control->Cmd(), -1);
  EXPECT_EQ(control->CmdStat(), -300);
}

TEST_F(ControlBinding, UpdatesOfTheOldChannelKeepComingUntilTheNextDoUpdate) {
  auto control = ControlOn(2);
  control->DoUpdate();
  control->SetChannel(5);
  manager.Publish(2, {QStringLiteral("two"), 2, 0, 2, 0, 0, 0, 0});
  manager.Publish(5, {QStringLiteral("five"), 5, 0, 5, 0, 0, 0, 0});
  EXPECT_EQ(control->DeviceDesc(), QStringLiteral("two"));

  control->DoUpdate();
  manager.Publish(2, {QStringLiteral("two again"), 2, 0, 2, 0, 0, 0, 0});
  EXPECT_EQ(control->DeviceDesc(), QStringLiteral("five"));
}

TEST_F(ControlBinding, FailedCreationIsRetriedFromTheCreation) {
  auto control = ControlOn(1);
  manager.creationFailures = DevControl::kConnectAttempts - 1;
  EXPECT_EQ(control->DoUpdate(), 0);
  EXPECT_EQ(manager.creations, DevControl::kConnectAttempts);
  EXPECT_EQ(manager.deviceRequests, 1);
  EXPECT_TRUE(control->Connected(1));
}

TEST_F(ControlBinding, CreationFailingEveryTryFailsDoUpdateWith429AndKeepsTheOldBinding) {
  auto control = ControlOn(2);
  control->DoUpdate();
  control->SetChannel(3);
  manager.creations = 0;
  manager.commandUpdates = 0;
  manager.creationFailures = 1000;

  EXPECT_EQ(ErrorOf([&] { control->DoUpdate(); }), ErrorNumber::CantCreateObject);
  EXPECT_EQ(manager.creations, DevControl::kConnectAttempts);
  EXPECT_EQ(manager.commandUpdates, 0);
  EXPECT_FALSE(control->Connected(3));
  manager.Publish(2, {QStringLiteral("still two"), 0, 0, 0, 0, 0, 0, 0});
  EXPECT_EQ(control->DeviceDesc(), QStringLiteral("still two"));

  manager.creationFailures = 0;
  EXPECT_EQ(control->DoUpdate(), 0) << "the next DoUpdate binds again";
  EXPECT_TRUE(control->Connected(3));
}

TEST_F(ControlBinding, FailedDeviceRequestIsRetriedOnTheSameConnector) {
  auto control = ControlOn(1);
  manager.deviceFailures = 2;
  EXPECT_EQ(control->DoUpdate(), 0);
  EXPECT_EQ(manager.creations, 1);
  EXPECT_EQ(manager.deviceRequests, 3);

  auto failing = ControlOn(1);
  manager.deviceFailures = 1000;
  EXPECT_EQ(ErrorOf([&] { failing->DoUpdate(); }), ErrorNumber::AutomationError);
  EXPECT_EQ(manager.creations, 2);
  EXPECT_EQ(manager.deviceRequests, 3 + DevControl::kConnectAttempts);
}

TEST_F(ControlBinding, FailingReadInTheHandlerIsShownAndRaisesNoUpdate) {
  manager.devices[7] = {QStringLiteral("seven"), 1, 2, 3, 4, 5, 6, 7};
  auto control = ControlOn(7);
  control->DoUpdate();
  control->InitProperties();
  QSignalSpy updates(control.get(), &DevControl::Update);
  messages.clear();

  manager.valueReadsLeft = 3;
  manager.RaiseCUpdate(7);

  EXPECT_EQ(updates.count(), 0);
  ASSERT_EQ(messages.shown().size(), 1u);
  EXPECT_EQ(messages.shown()[0].text, "440   Automation error");
  EXPECT_EQ(messages.shown()[0].style, MsgBoxStyle::OkOnly);
  EXPECT_EQ(messages.shown()[0].title, "");
  EXPECT_EQ(control->Net(), 3) << "properties set before the failing read keep their values";
  EXPECT_EQ(control->CmdStat(), 0);
}

TEST(TarvexDevWidget, StaysHiddenOnItsShownFormAndHidesOnlyGrossFromBrowsers) {
  FakeManager manager;
  RecordingMessageBox messages;
  QWidget form;
  TarvexDev dev(manager, messages, &form);
  form.show();
  EXPECT_FALSE(dev.isVisible());
  EXPECT_EQ(dev.focusPolicy(), Qt::NoFocus);

  QStringList browsable;
  const QMetaObject* meta = dev.metaObject();
  for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i) {
    if (meta->property(i).isDesignable()) browsable << QString::fromLatin1(meta->property(i).name());
  }
  EXPECT_EQ(browsable, (QStringList{QStringLiteral("DeviceDesc"), QStringLiteral("Tare"),
                                    QStringLiteral("Net"), QStringLiteral("ScaleStat"),
                                    QStringLiteral("Cmd"), QStringLiteral("CmdStat"),
                                    QStringLiteral("CmdParm"), QStringLiteral("Channel")}));

  QSignalSpy updates(&dev, &TarvexDev::Update);
  ASSERT_TRUE(dev.setProperty("Channel", 9));
  EXPECT_EQ(dev.DoUpdate(), 0);
  EXPECT_EQ(updates.count(), 1);
}

}  // namespace
}  // namespace tarvex
