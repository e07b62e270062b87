// tarvex-bus-fixture: serves the manager's bus objects under org.tarvex.Manager
// with a timer that plays the engine's part on a few channels, so that bus
// clients can be tested without the engine or the windows.
//
// Options:
//   --channels N     channels 0 to N-1 are scanned (default 8, at most 32)
//   --interval MS    scan timer interval in milliseconds (default 20)
//   --commands LIST  enabled command codes, comma-separated (default 1 to 10)
//   --one-way LIST   channels that do not accept commands
//   --unbound        the main window's load (binding the handlers, then the
//                    first scan pass and the scan timer) waits for BindHandlers
//
// A scanned channel n is described "Fixture Scale <n+1>", refreshes its DDE
// topic and, unless one-way, answers a command with command 0 and status
// code + 100 (enabled code) or code + 1000 (any other), parameter unchanged.
//
// Test interface org.tarvex.test.Fixture1 at /Fixture:
//   SetWeights(n channel, s gross, s tare, s net)  published on the next pass
//   SetScaleStatus(n channel, n bits)              published on the next pass
//   BindHandlers()                                 the main window's load
//   CommandSlots(n channel) -> (i cmd, d parm, i stat)
//   Subscribers(n channel) -> u                    CUpdate subscribers of the object
//   Quit()
// The program ends by itself when its bus goes away. Logs go to TARVEX_HOME,
// or to a temporary folder removed at the end.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QTemporaryDir>
#include <QTimer>
#include <iostream>
#include <memory>

#include "platform/clock.h"
#include "platform/program_folder.h"
#include "platform/run_time_error.h"
#include "publish/bus/bus_object.h"
#include "publish/bus/bus_service.h"
#include "tests/support/bus_fixture/fixture_engine.h"

namespace tarvex::fixture {

class FixtureControl final : public QObject, protected QDBusContext {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.tarvex.test.Fixture1")

public:
  FixtureControl(FixtureEngine& engine, Devices& devices) : engine_(engine), devices_(devices) {}

public Q_SLOTS:
  Q_SCRIPTABLE void SetWeights(short channel, const QString& gross, const QString& tare, const QString& net) {
    Guard([&] { engine_.SetWeights(channel, gross.toStdString(), tare.toStdString(), net.toStdString()); });
  }
  Q_SCRIPTABLE void SetScaleStatus(short channel, short bits) {
    Guard([&] { engine_.SetScaleStatus(channel, bits); });
  }
  Q_SCRIPTABLE void BindHandlers() { engine_.LoadMainWindow(); }
  Q_SCRIPTABLE int CommandSlots(short channel, double& parm, int& stat) {
    int cmd = 0;
    Guard([&] {
      cmd = engine_.Window().ClientCmd[channel];
      parm = engine_.Window().ClientCmdParm[channel];
      stat = engine_.Window().ClientCmdStat[channel];
    });
    return cmd;
  }
  Q_SCRIPTABLE uint Subscribers(short channel) {
    uint count = 0;
    Guard([&] {
      if (devices_.IsCreated(channel)) count = static_cast<uint>(devices_.At(channel)->SubscriberCount());
    });
    return count;
  }
  Q_SCRIPTABLE void Quit() { QTimer::singleShot(0, qApp, &QCoreApplication::quit); }

private:
  template <typename F>
  void Guard(F&& work) {
    try {
      work();
    } catch (const RunTimeError& error) {
      setDelayedReply(true);
      connection().send(bus::ErrorReplyFor(message(), error));
    }
  }

  FixtureEngine& engine_;
  Devices& devices_;
};

std::set<int> ParseList(const QString& text) {
  std::set<int> values;
  for (const QString& part : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) values.insert(part.toInt());
  return values;
}

int Run(QCoreApplication& app) {
  QCommandLineParser parser;
  const QCommandLineOption channels(QStringLiteral("channels"), QStringLiteral("Channels scanned."),
                                    QStringLiteral("n"), QStringLiteral("8"));
  const QCommandLineOption interval(QStringLiteral("interval"), QStringLiteral("Scan interval in ms."),
                                    QStringLiteral("ms"), QStringLiteral("20"));
  const QCommandLineOption commands(QStringLiteral("commands"), QStringLiteral("Enabled command codes."),
                                    QStringLiteral("list"), QStringLiteral("1,2,3,4,5,6,7,8,9,10"));
  const QCommandLineOption oneWay(QStringLiteral("one-way"), QStringLiteral("Channels without commands."),
                                  QStringLiteral("list"));
  const QCommandLineOption unbound(QStringLiteral("unbound"), QStringLiteral("Bind handlers only on request."));
  parser.addOptions({channels, interval, commands, oneWay, unbound});
  parser.addHelpOption();
  parser.process(app);

  EngineOptions options;
  options.channels = qBound(1, parser.value(channels).toInt(), ServedChannels);
  options.intervalMs = qMax(1, parser.value(interval).toInt());
  options.enabledCommands = ParseList(parser.value(commands));
  options.oneWayChannels = ParseList(parser.value(oneWay));

  QDBusConnection connection = QDBusConnection::sessionBus();
  if (!connection.isConnected()) {
    std::cerr << "tarvex-bus-fixture: no session bus" << std::endl;
    return 1;
  }

  QTemporaryDir scratch;
  const std::string home = qEnvironmentVariable("TARVEX_HOME").toStdString();
  const ProgramFolder folder(home.empty() ? scratch.path().toStdString() : home);
  SystemClock clock;
  LogWriter log(folder, clock);

  Devices devices;
  bus::DdeTopicObjects topics;
  FixtureEngine engine(options, devices, topics, log);
  bus::BusService service(connection, devices, topics);
  FixtureControl control(engine, devices);
  if (!service.ServeObjects() ||
      !connection.registerObject(QStringLiteral("/Fixture"), &control, QDBusConnection::ExportScriptableSlots)) {
    std::cerr << "tarvex-bus-fixture: cannot serve the objects" << std::endl;
    return 1;
  }
  // Loaded before the name is taken, the first pass's updates are done when
  // the first client arrives.
  if (!parser.isSet(unbound)) engine.LoadMainWindow();
  if (service.TakeName() != bus::NameRequest::Taken) {
    std::cerr << "tarvex-bus-fixture: the bus name is owned by another process" << std::endl;
    return 2;
  }
  // A fixture whose bus went away has no one left to serve.
  QTimer watchdog;
  QObject::connect(&watchdog, &QTimer::timeout, &app, [&connection] {
    if (!connection.isConnected()) QCoreApplication::quit();
  });
  watchdog.start(100);
  return QCoreApplication::exec();
}

}  // namespace tarvex::fixture

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  return tarvex::fixture::Run(app);
}

#include "fixture_main.moc"
