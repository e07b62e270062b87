#pragma once
// What the scan pass needs of its surroundings besides the channels: the
// clock, the pass's pause and yield, and the main window.
#include <cstdint>

namespace tarvex {

class ScanClock {
public:
  virtual ~ScanClock() = default;
  // The time of day in whole seconds, 0 to 86399.
  virtual int32_t TimeOfDaySeconds() const = 0;
  // Milliseconds of a clock that never goes back.
  virtual int64_t MonotonicMilliseconds() const = 0;
};

class ScanPacing {
public:
  virtual ~ScanPacing() = default;
  // Blocks the thread for the given milliseconds (RxIdle).
  virtual void Sleep(int32_t milliseconds) = 0;
  // Processes every pending window message once; a timer event among them
  // may run a whole nested pass.
  virtual void DoEvents() = 0;
};

// The main window as the pass calls it. The main window implements it.
class ScanWindow {
public:
  virtual ~ScanWindow() = default;
  // The window's mouse pointer (MousePointer::Default after initialisation).
  virtual void SetMousePointer(int pointer) = 0;
  // cmdPutInTray_Click: hides the window behind its tray icon.
  virtual void PutInTray() = 0;
  // RefreshDialogOpen, and the caption of its label lScan1.
  virtual bool RefreshDialogOpen() const = 0;
  virtual void ShowScanRate(int32_t passesPerSecond) = 0;
};

// The refresh-rate dialog's label lScan2, which the transmit timer writes its
// ticks per second into. The main window implements it.
class TransmitRateLabel {
public:
  virtual ~TransmitRateLabel() = default;
  virtual void ShowTransmitRate(int32_t ticksPerSecond) = 0;
};

// The real clock: the local time of day and the steady clock.
class SystemScanClock final : public ScanClock {
public:
  int32_t TimeOfDaySeconds() const override;
  int64_t MonotonicMilliseconds() const override;
};

// The real pause and yield: the thread sleeps; Qt's event loop runs once.
class QtScanPacing final : public ScanPacing {
public:
  void Sleep(int32_t milliseconds) override;
  void DoEvents() override;
};

}  // namespace tarvex
