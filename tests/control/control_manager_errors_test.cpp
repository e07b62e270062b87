// How the manager's failures reach the host: a stand-in manager in the test
// process, on a connection of its own, answers each channel's command with
// one kind of failure.
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVirtualObject>
#include <QVariantMap>
#include <gtest/gtest.h>

#include "control/bus_manager_session.h"
#include "control/dev_control.h"
#include "error_number_of.h"
#include "platform/message_box.h"
#include "platform/run_time_error.h"

namespace tarvex {
namespace {

using test::ErrorOf;

struct Failure {
  const char* name;
  const char* message;
};

// Channel c's CCommandUpdate fails with failures[c].
class FailingManager final : public QDBusVirtualObject {
public:
  explicit FailingManager(std::vector<Failure> failures) : failures_(std::move(failures)) {}

  QString introspect(const QString&) const override { return {}; }

  bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
    QDBusMessage reply;
    if (message.member() == QLatin1String("Device")) {
      reply = message.createReply(QVariant::fromValue(
          QDBusObjectPath(QStringLiteral("/Device/%1").arg(message.arguments().at(0).toInt()))));
    } else if (message.member() == QLatin1String("GetAll")) {
      reply = message.createReply(QVariant::fromValue(QVariantMap{}));
    } else {
      const Failure& failure = failures_.at(message.path().section(QLatin1Char('/'), -1).toUInt());
      reply = message.createErrorReply(QString::fromLatin1(failure.name),
                                       QString::fromLatin1(failure.message));
    }
    connection.send(reply);
    return true;
  }

private:
  std::vector<Failure> failures_;
};

TEST(ControlAgainstAFailingManager, EachFailureReachesTheHostWithItsNumber) {
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
  std::vector<Failure> failures;
  for (const Row& row : rows) failures.push_back(row.failure);

  QDBusConnection server =
      QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("failing-manager"));
  FailingManager manager(failures);
  ASSERT_TRUE(server.registerVirtualObject(QStringLiteral("/Connector"), &manager));
  ASSERT_TRUE(server.registerVirtualObject(QStringLiteral("/Device"), &manager,
                                           QDBusConnection::SubPath));
  ASSERT_TRUE(server.registerService(QStringLiteral("org.tarvex.Manager")));

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
  QDBusConnection::disconnectFromBus(QStringLiteral("failing-manager"));
}

}  // namespace
}  // namespace tarvex
