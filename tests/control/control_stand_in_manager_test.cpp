// What reaches the host from the manager's answers, against a stand-in
// manager in the test process on a bus connection of its own: its failures,
// and its updates sent right after its answer to a command.
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVirtualObject>
#include <QSignalSpy>
#include <QStringList>
#include <QVariantMap>
#include <functional>
#include <gtest/gtest.h>

#include "control/bus_manager_session.h"
#include "control/dev_control.h"
#include "tests/support/run_time_error_of.h"
#include "platform/message_box.h"
#include "platform/run_time_error.h"

namespace tarvex {
namespace {

using test::ErrorOf;

// Answers Device and GetAll; every command goes to the test's handler.
class StandInManager final : public QDBusVirtualObject {
public:
  using CommandHandler = std::function<void(int channel, const QDBusMessage&, const QDBusConnection&)>;

  explicit StandInManager(CommandHandler onCommand) : onCommand_(std::move(onCommand)) {
    server_ = QDBusConnection::connectToBus(QDBusConnection::SessionBus, kServer);
    ok_ = server_.registerVirtualObject(QStringLiteral("/Connector"), this) &&
          server_.registerVirtualObject(QStringLiteral("/Device"), this, QDBusConnection::SubPath) &&
          server_.registerService(QStringLiteral("org.tarvex.Manager"));
  }
  ~StandInManager() override { QDBusConnection::disconnectFromBus(kServer); }

  bool serving() const { return ok_; }

  QString introspect(const QString&) const override { return {}; }

  bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
    if (message.member() == QLatin1String("Device")) {
      connection.send(message.createReply(QVariant::fromValue(
          QDBusObjectPath(QStringLiteral("/Device/%1").arg(message.arguments().at(0).toInt())))));
    } else if (message.member() == QLatin1String("GetAll")) {
      connection.send(message.createReply(QVariant::fromValue(QVariantMap{})));
    } else {
      onCommand_(message.path().section(QLatin1Char('/'), -1).toInt(), message, connection);
    }
    return true;
  }

  // A CUpdate of a channel with the given sequence number and command status.
  static QDBusMessage CUpdate(int channel, quint64 sequence, std::int16_t cmdStat) {
    QDBusMessage signal = QDBusMessage::createSignal(QStringLiteral("/Device/%1").arg(channel),
                                                     QStringLiteral("org.tarvex.Device1"),
                                                     QStringLiteral("CUpdate"));
    signal << QVariant::fromValue(sequence) << QString() << 0 << 0.0 << 0.0 << 0.0
           << QVariant::fromValue<std::int16_t>(0) << QVariant::fromValue<std::int16_t>(0) << 0.0
           << QVariant::fromValue(cmdStat);
    return signal;
  }

private:
  inline static const QString kServer = QStringLiteral("stand-in-manager");
  CommandHandler onCommand_;
  QDBusConnection server_{QString()};
  bool ok_ = false;
};

TEST(ControlAgainstAStandInManager, EachFailureOfACommandReachesTheHostWithItsNumber) {
  struct Failure {
    const char* name;
    const char* message;
  };
  struct Row {
    Failure failure;
    int number;
    std::string description;
  };
  const std::vector<Row> rows = {
      {{"org.tarvex.Error.RunTimeError", "6: Overflow"}, ErrorNumber::Overflow, "Overflow"},
      {{"org.tarvex.Error.RunTimeError", "57: Device I/O error (COM3)"}, ErrorNumber::DeviceIOError,
       "Device I/O error (COM3)"},
      {{"org.freedesktop.DBus.Error.InvalidArgs", "Wrong arguments"}, ErrorNumber::TypeMismatch,
       "Type mismatch (org.freedesktop.DBus.Error.InvalidArgs: Wrong arguments)"},
      {{"org.freedesktop.DBus.Error.Failed", "broken"}, ErrorNumber::AutomationError,
       "Automation error (org.freedesktop.DBus.Error.Failed: broken)"},
      {{"org.tarvex.Error.RunTimeError", "no number"}, ErrorNumber::AutomationError,
       "Automation error (org.tarvex.Error.RunTimeError: no number)"},
  };
  StandInManager manager([&](int channel, const QDBusMessage& command, const QDBusConnection& bus) {
    const Failure& failure = rows.at(static_cast<size_t>(channel)).failure;
    bus.send(command.createErrorReply(QString::fromLatin1(failure.name),
                                      QString::fromLatin1(failure.message)));
  });
  ASSERT_TRUE(manager.serving());

  BusManagerSession session;
  RecordingMessageBox messages;
  for (size_t channel = 0; channel < rows.size(); ++channel) {
    SCOPED_TRACE(rows[channel].failure.message);
    DevControl control(session, messages);
    control.SetChannel(static_cast<std::int32_t>(channel));
    try {
      control.DoUpdate();
      ADD_FAILURE() << "no error";
    } catch (const RunTimeError& error) {
      EXPECT_EQ(error.number(), rows[channel].number);
      EXPECT_EQ(error.description(), rows[channel].description);
    }
  }
}

TEST(ControlAgainstAStandInManager, UpdateSentAfterTheAnswerArrivesAfterDoUpdateReturned) {
  StandInManager manager([](int channel, const QDBusMessage& command, const QDBusConnection& bus) {
    bus.send(StandInManager::CUpdate(channel, 1, 0));  // the caller's echo
    bus.send(command.createReply(QVariant::fromValue(quint64(1))));  // names the echo
    bus.send(StandInManager::CUpdate(channel, 2, 103));  // the next pass took the command
    bus.send(StandInManager::CUpdate(channel, 2, 999));  // stale: no newer than the last
  });
  ASSERT_TRUE(manager.serving());
  BusManagerSession session;
  RecordingMessageBox messages;
  DevControl control(session, messages);
  control.SetChannel(3);
  QStringList log;
  QObject::connect(&control, &DevControl::Update,
                   [&] { log << QStringLiteral("Update %1").arg(control.CmdStat()); });

  control.DoUpdate();
  log << QStringLiteral("returned");
  QSignalSpy updates(&control, &DevControl::Update);
  ASSERT_TRUE(updates.wait(5000));

  EXPECT_EQ(log, (QStringList{QStringLiteral("Update 0"), QStringLiteral("returned"),
                              QStringLiteral("Update 103")}));
}

}  // namespace
}  // namespace tarvex
