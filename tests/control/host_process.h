#pragma once
// A tarvex-host run on a private bus whose output lines a test waits for,
// each wait bounded.
#include <QDeadlineTimer>
#include <QProcess>
#include <QStringList>
#include <algorithm>
#include <functional>

namespace tarvex::test {

class HostProcess {
public:
  HostProcess(const QProcessEnvironment& env, const QStringList& arguments) {
    process_.setProcessEnvironment(env);
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start(QStringLiteral(TARVEX_BUILD_DIR "/bin/tarvex-host"), arguments);
  }
  ~HostProcess() {
    process_.kill();
    process_.waitForFinished(5000);
  }

  // Waits until a line satisfies the test; returns its index, or -1 when the
  // bound ran out or the host ended first.
  int WaitForLine(const std::function<bool(const QString&)>& test, int timeoutMs = 15000) {
    const QDeadlineTimer deadline(timeoutMs);
    for (qsizetype i = 0;; ++i) {
      while (i >= lines_.size()) {
        if (deadline.hasExpired() || !ReadMore(deadline)) return -1;
      }
      if (test(lines_[i])) return static_cast<int>(i);
    }
  }
  int WaitForLine(const QString& start, int timeoutMs = 15000) {
    return WaitForLine([&](const QString& line) { return line.startsWith(start); }, timeoutMs);
  }
  // Waits for the host's end; all its lines are then in lines().
  bool Finish(int timeoutMs = 15000) {
    const bool ended = process_.waitForFinished(timeoutMs);
    Collect();
    return ended;
  }
  void Stop() {
    process_.kill();
    process_.waitForFinished(5000);
    Collect();
  }

  const QStringList& lines() const { return lines_; }
  int exitCode() const { return process_.exitCode(); }

private:
  bool ReadMore(const QDeadlineTimer& deadline) {
    const qsizetype before = lines_.size();
    if (process_.state() != QProcess::NotRunning && !process_.canReadLine()) {
      process_.waitForReadyRead(static_cast<int>(std::max<qint64>(1, deadline.remainingTime())));
    }
    Collect();
    return lines_.size() > before || process_.state() != QProcess::NotRunning;
  }
  void Collect() {
    while (process_.canReadLine()) lines_ << QString::fromUtf8(process_.readLine()).trimmed();
  }

  QProcess process_;
  QStringList lines_;
};

}  // namespace tarvex::test
