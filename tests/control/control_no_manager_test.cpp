// The control where no manager can be reached: a private bus without the
// manager's activation file, and no bus at all.
#include <QDBusConnection>
#include <gtest/gtest.h>

#include "control/bus_manager_session.h"
#include "control/dev_control.h"
#include "tests/control/counting_session.h"
#include "tests/support/run_time_error_of.h"
#include "platform/message_box.h"
#include "platform/run_time_error.h"

namespace tarvex {
namespace {

using test::CountingSession;
using test::ErrorOf;

TEST(ControlWithoutManager, DoUpdateFailsWith429AfterTheBoundedTries) {
  struct Row {
    const char* legend;
    QDBusConnection connection;
  };
  for (const Row& row : {Row{"bus without activation file", QDBusConnection::sessionBus()},
                         Row{"no bus", QDBusConnection(QStringLiteral("no such connection"))}}) {
    SCOPED_TRACE(row.legend);
    CountingSession session(row.connection);
    RecordingMessageBox messages;
    DevControl control(session, messages);
    control.SetChannel(3);
    EXPECT_EQ(ErrorOf([&] { control.DoUpdate(); }), ErrorNumber::CantCreateObject);
    EXPECT_EQ(session.creations, DevControl::kConnectAttempts);
    EXPECT_FALSE(control.Connected(3));
  }
}

}  // namespace
}  // namespace tarvex
