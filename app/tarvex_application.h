#pragma once
// The manager's QApplication and its last-resort error report.
//
// A run-time error that no handler of the manager caught is reported the way
// the original platform's run-time error report did: a box with the number and
// description, a line on stderr, and here also a line in the error log. Events
// are the only way code runs after start-up, so the event dispatch is where
// such an error is caught; the manager then goes on with the next event, since
// it serves scales and clients that must not lose it over one failed event.
// Only an error of the start-up itself ends the program (see main).
//
// An error of an event of another thread is reported on the program's own
// thread, where the box and the logs live.
//
// While one report's box is open, errors of further events are reported to
// stderr and the log only, so boxes never pile up. The same error again within
// a minute (a timer that fails at every tick) is only counted; the count goes
// to stderr and the log before the next report.
#include <QApplication>
#include <QElapsedTimer>
#include <exception>
#include <string>

#include "core/log_writer.h"
#include "platform/message_box.h"

namespace tarvex {

class TarvexApplication final : public QApplication {
public:
  TarvexApplication(int& argc, char** argv);

  // Where reports go from now on; either may be null (not yet made).
  void ReportErrorsTo(MessageBox* box, LogWriter* log) {
    box_ = box;
    log_ = log;
  }

  bool notify(QObject* receiver, QEvent* event) override;

  // Reports an error nothing else handled: stderr, the error log (when given)
  // and the box (when given). A RunTimeError keeps its number; anything else
  // is an internal error. Returns the exit status to end with, should the
  // caller end.
  static int ReportUncaughtError(MessageBox* box, LogWriter* log, const std::exception& error);

private:
  // Reports an error of an event of the program's own thread. An error that
  // comes again soon after is only counted, unless the operator's own press
  // (a mouse button, a key) raised it: each press is answered, so a Continue pressed
  // again on a setup file still damaged tells why once more.
  void Report(const std::exception& error, bool byOperator);

  MessageBox* box_ = nullptr;
  LogWriter* log_ = nullptr;
  bool reporting_ = false;
  // The last error reported, and how often it came again since.
  int lastNumber_ = 0;
  std::string lastDescription_;
  long repeats_ = 0;
  QElapsedTimer sinceLastReport_;
};

}  // namespace tarvex
