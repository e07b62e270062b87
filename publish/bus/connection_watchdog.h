#pragma once
// Keeps the manager's bus connection reading and writing.
//
// What it must cope with: the bus library stops reading a connection while
// more than its limit of received messages (63 MiB by default) is alive, and
// asks to be told when its socket can take output again whenever the socket
// is full. Qt 6.4 frees received messages on the main thread and sends from
// there too, and the library then switches the connection's socket notifiers
// from that thread, which they refuse ("Socket notifiers cannot be enabled or
// disabled from another thread"). After one message of 64 MiB, or a flood of
// calls that each make the manager send a signal, the manager reads or writes
// nothing more while it still owns its name: every client call times out, and
// activation cannot start another manager.
//
// Policy: twice a second the watchdog looks, on the connection's own thread.
// Output still waiting a look later is written out from there. One ping to the
// manager's own name is kept under way; when its answer is still missing a
// second after it went out, reading has stopped: the bus library is made to
// decide again, on that thread, whether to read (which switches Qt's notifier
// the right way there), and what that read is dispatched as Qt would. If still
// nothing can be read, what is alive holds the limit: the limit is doubled, up
// to 1 GiB, and the library decides again. The first resumption of an episode
// is written once to the ActiveX log; an episode ends after a minute without
// one. A backlog the manager has already taken in is worked off at its own
// pace.
#include <QDBusConnection>
#include <QObject>
#include <QTimer>
#include <memory>

#include "core/log_writer.h"

namespace tarvex::bus {

class ConnectionWatchdog final : public QObject {
public:
  ConnectionWatchdog(const QDBusConnection& connection, LogWriter& log, int periodMs = 500);
  ~ConnectionWatchdog() override;

  // Starts looking; false (and no watchdog) when the connection's thread
  // cannot be reached.
  bool Start();

  static constexpr const char* ResumedLogLine =
      "Session Bus Connection Stalled After Too Much Traffic (An Oversized Message Or A Flood Of Calls): "
      "Reading And Writing Resumed";

private:
  struct BusSide;
  void Check();
  void Resumed();

  QDBusConnection connection_;
  LogWriter& log_;
  QTimer timer_;
  std::shared_ptr<BusSide> busSide_;  // touched only on the connection's thread
  qint64 lastResumedMs_ = -1;
};

}  // namespace tarvex::bus
