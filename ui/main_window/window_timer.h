#pragma once
// A timer control of the main window: an interval in milliseconds and an
// enabled switch. Its tick calls the handler the owner gave it. The real one
// is a precise Qt timer; tests hold their own and call the handler themselves.
#include <functional>

namespace tarvex {

class WindowTimer {
public:
  virtual ~WindowTimer() = default;
  virtual int Interval() const = 0;
  // A new interval takes effect at once on a running timer.
  virtual void SetInterval(int milliseconds) = 0;
  virtual bool Enabled() const = 0;
  virtual void SetEnabled(bool enabled) = 0;
};

// The three timers the window carries.
struct MainWindowTimers {
  WindowTimer& Timer1;    // the scan pass
  WindowTimer& TxTimer;   // the paced transmitter
  WindowTimer& GDITimer;  // the grid redraw
};

}  // namespace tarvex
