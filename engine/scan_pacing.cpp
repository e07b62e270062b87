#include "engine/scan_pacing.h"

#include <QCoreApplication>
#include <QThread>

namespace tarvex {

void QtScanPacing::Sleep(int32_t milliseconds) {
  if (milliseconds > 0) QThread::msleep(static_cast<unsigned long>(milliseconds));
}

void QtScanPacing::DoEvents() { QCoreApplication::processEvents(); }

}  // namespace tarvex
