#pragma once
// A window timer on a QTimer of the precise kind: the scan runs at intervals
// of a few milliseconds, where the default coarse timers would stretch them.
// An interval below 1 ms is taken as 1, so an enabled timer never spins.
#include <QTimer>
#include <functional>

#include "ui/main_window/window_timer.h"

namespace tarvex {

class QtWindowTimer final : public WindowTimer {
public:
  // tick runs on every timeout while the timer is enabled.
  explicit QtWindowTimer(std::function<void()> tick);

  int Interval() const override { return interval_; }
  void SetInterval(int milliseconds) override;
  bool Enabled() const override { return timer_.isActive(); }
  void SetEnabled(bool enabled) override;

private:
  QTimer timer_;
  int interval_ = 0;
};

}  // namespace tarvex
