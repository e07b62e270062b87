// Signals written straight onto the connection and messages sent through
// QtDBus leave a family in the order it sends them, on a private bus.
#include "publish/bus/bus_outbox.h"

#include <dbus/dbus.h>
#include <gtest/gtest.h>
#include <signal.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDeadlineTimer>
#include <QObject>
#include <vector>

#include "publish/bus/wire_signal.h"

namespace tarvex::bus {
namespace {

const QString Path = QStringLiteral("/Outbox");
const QString Interface = QStringLiteral("org.tarvex.test.Outbox1");

class Recorder : public QObject {
  Q_OBJECT

public:
  std::vector<qulonglong> numbers;
  std::vector<QString> kinds;

public Q_SLOTS:
  void Record(const QDBusMessage& message) {
    numbers.push_back(message.arguments().value(0).toULongLong());
    kinds.push_back(message.member());
  }
};

QCoreApplication& Application() {
  static int argc = 1;
  static char name[] = "bus_outbox_test";
  static char* argv[] = {name, nullptr};
  static QCoreApplication application(argc, argv);
  return application;
}

DBusMessage* WireNumber(qulonglong number) {
  WireSignal signal;
  signal.Uint64(number);
  return signal.NewMessage("/Outbox", "org.tarvex.test.Outbox1", "Wire");
}

QDBusMessage QtNumber(qulonglong number) {
  QDBusMessage message = QDBusMessage::createSignal(Path, Interface, QStringLiteral("Qt"));
  message << number;
  return message;
}

// A sending and a receiving connection of this program on the test's bus,
// the receiver recording both kinds of signal of the sender.
class TwoConnections : public ::testing::Test {
protected:
  void SetUp() override {
    Application();
    ASSERT_TRUE(sender.isConnected() && receiver.isConnected());
    for (const QString& member : {QStringLiteral("Qt"), QStringLiteral("Wire")}) {
      ASSERT_TRUE(receiver.connect(sender.baseService(), Path, Interface, member, &recorder,
                                   SLOT(Record(QDBusMessage))));
    }
    // The match rules are in place once a call through the bus came back.
    receiver.call(QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/"),
                                                 QStringLiteral("org.freedesktop.DBus.Peer"), QStringLiteral("Ping")));
  }

  // Runs the event loop until count signals arrived or 20 s passed.
  void WaitFor(size_t count) {
    const QDeadlineTimer deadline(20000);
    while (recorder.numbers.size() < count && !deadline.hasExpired()) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
  }

  QDBusConnection sender = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("sender"));
  QDBusConnection receiver = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("receiver"));
  Recorder recorder;
};

TEST_F(TwoConnections, WireSignalsNeverOvertakeWhatQtDBusStillCarries) {
  BusOutbox outbox(sender);
  // Runs of each kind and single ones, all sent within one turn of the loop.
  constexpr qulonglong Count = 3000;
  for (qulonglong n = 1; n <= Count; ++n) {
    const bool wire = (n % 7) < 3 || (n / 100) % 2 == 1;
    ASSERT_TRUE(wire ? outbox.Send(WireNumber(n)) : outbox.Send(QtNumber(n)));
  }
  WaitFor(Count);
  ASSERT_EQ(recorder.numbers.size(), Count);
  size_t outOfOrder = 0;
  for (size_t i = 0; i < recorder.numbers.size(); ++i) {
    if (recorder.numbers[i] != i + 1) ++outOfOrder;
  }
  EXPECT_EQ(outOfOrder, 0u) << "first: " << recorder.numbers[0] << " (" << recorder.kinds[0].toStdString() << ")";
}

TEST_F(TwoConnections, WhatTheSocketCouldNotTakeIsWrittenOutWithoutAFurtherSend) {
  // The bus stops reading for a moment, as a busy bus does: the burst fills
  // the socket, written from this thread, and nothing is sent after it.
  const QDBusReply<uint> daemon = sender.interface()->servicePid(QStringLiteral("org.freedesktop.DBus"));
  ASSERT_TRUE(daemon.isValid());
  BusOutbox outbox(sender);
  constexpr qulonglong Count = 6000;
  ASSERT_EQ(kill(static_cast<pid_t>(daemon.value()), SIGSTOP), 0);
  for (qulonglong n = 1; n <= Count; ++n) outbox.Send(WireNumber(n));
  ASSERT_EQ(kill(static_cast<pid_t>(daemon.value()), SIGCONT), 0);
  WaitFor(Count);
  ASSERT_EQ(recorder.numbers.size(), Count);
  EXPECT_EQ(recorder.numbers.back(), Count);
}

TEST(BusOutbox, AWireSignalOnAClosedConnectionIsRefused) {
  Application();
  BusOutbox closed;
  EXPECT_FALSE(closed.Send(WireNumber(1)));
  EXPECT_FALSE(closed.Send(nullptr));
}

}  // namespace
}  // namespace tarvex::bus

#include "bus_outbox_test.moc"
