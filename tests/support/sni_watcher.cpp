// tarvex-sni-watcher: a StatusNotifier watcher with a host, as a desktop's
// panel offers it, for the tray tests on a private session bus. It owns
// org.kde.StatusNotifierWatcher, says "ready" on its output once it does,
// writes "registered <service>" for every item that registers and "asked host"
// whenever a program asks whether a host is there.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QStringList>
#include <cstdio>

namespace {

class Watcher final : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
  Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ items)
  Q_PROPERTY(bool IsStatusNotifierHostRegistered READ hostRegistered)
  Q_PROPERTY(int ProtocolVersion READ protocolVersion)

public:
  QStringList items() const { return items_; }
  bool hostRegistered() const {
    std::printf("asked host\n");
    std::fflush(stdout);
    return true;
  }
  int protocolVersion() const { return 0; }

public Q_SLOTS:
  void RegisterStatusNotifierItem(const QString& service, const QDBusMessage& message) {
    // An item may give its object path instead of its name.
    const QString name = service.startsWith(QLatin1Char('/')) ? message.service() : service;
    items_.append(name);
    std::printf("registered %s\n", qPrintable(name));
    std::fflush(stdout);
    Q_EMIT StatusNotifierItemRegistered(name);
  }
  void RegisterStatusNotifierHost(const QString&) {}

Q_SIGNALS:
  void StatusNotifierItemRegistered(const QString& service);
  void StatusNotifierItemUnregistered(const QString& service);
  void StatusNotifierHostRegistered();

private:
  QStringList items_;
};

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  QDBusConnection bus = QDBusConnection::sessionBus();
  Watcher watcher;
  if (!bus.registerObject(QStringLiteral("/StatusNotifierWatcher"), &watcher,
                          QDBusConnection::ExportAllContents) ||
      !bus.registerService(QStringLiteral("org.kde.StatusNotifierWatcher"))) {
    std::fprintf(stderr, "tarvex-sni-watcher: %s\n", qPrintable(bus.lastError().message()));
    return 1;
  }
  std::printf("ready\n");
  std::fflush(stdout);
  return application.exec();
}

#include "sni_watcher.moc"
