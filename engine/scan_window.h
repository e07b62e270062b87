#pragma once
// The main window as the scan pass and the transmit timer call it. The main
// window implements both.
#include <cstdint>

namespace tarvex {

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
// ticks per second into.
class TransmitRateLabel {
public:
  virtual ~TransmitRateLabel() = default;
  virtual void ShowTransmitRate(int32_t ticksPerSecond) = 0;
};

}  // namespace tarvex
