#include "engine/scan_seams.h"

#include <QCoreApplication>
#include <QThread>
#include <QTime>
#include <chrono>

namespace tarvex {

int32_t SystemScanClock::TimeOfDaySeconds() const { return QTime::currentTime().msecsSinceStartOfDay() / 1000; }

int64_t SystemScanClock::MonotonicMilliseconds() const {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void QtScanPacing::Sleep(int32_t milliseconds) {
  if (milliseconds > 0) QThread::msleep(static_cast<unsigned long>(milliseconds));
}

void QtScanPacing::DoEvents() { QCoreApplication::processEvents(); }

}  // namespace tarvex
