#include "ui/main_window/qt_window_timer.h"

#include <algorithm>

namespace tarvex {

QtWindowTimer::QtWindowTimer(std::function<void()> tick) {
  timer_.setTimerType(Qt::PreciseTimer);
  timer_.setInterval(1);
  QObject::connect(&timer_, &QTimer::timeout, &timer_, std::move(tick));
}

void QtWindowTimer::SetInterval(int milliseconds) {
  interval_ = milliseconds;
  timer_.setInterval(std::max(milliseconds, 1));
}

void QtWindowTimer::SetEnabled(bool enabled) {
  if (enabled && !timer_.isActive()) timer_.start();
  if (!enabled) timer_.stop();
}

}  // namespace tarvex
