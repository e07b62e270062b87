#pragma once
// The pause and the yield of a scan pass: the pass may first sleep for the
// configured idle time, and lets the window's messages run while it works.
#include <cstdint>

namespace tarvex {

class ScanPacing {
public:
  virtual ~ScanPacing() = default;
  // Blocks the thread for the given milliseconds (RxIdle).
  virtual void Sleep(int32_t milliseconds) = 0;
  // Processes every pending window message once; a timer event among them
  // may run a whole nested pass.
  virtual void DoEvents() = 0;
};

// The real pause and yield: the thread sleeps; Qt's event loop runs once.
class QtScanPacing final : public ScanPacing {
public:
  void Sleep(int32_t milliseconds) override;
  void DoEvents() override;
};

}  // namespace tarvex
