#pragma once
// The paced transmitter: the main window's second timer (TxTimer) ticks on its
// own and, on every tick, lets the waiting reply characters of each serial
// channel leave at the channel's pace, blinks the channel's transmit lamp while
// its buffer drains and counts ticks per second for the refresh-rate dialog.
//
// What it must cope with: it runs on the user-interface thread between other
// events, also inside the scan pass's yield; the device may stop reading or
// vanish; the interval and TxDelay are operator settings (0 and below
// included); the tick counter wraps.
//
// Policy: a tick never waits on a device (SerialPort::Output queues what the
// device does not take at once). The pace is CharactersDue
// (engine/transmit/transmit_pacing.h) over the wrap-aware ticks since the channel's last
// character. A channel whose turn fails (a write, the grid, memory) has its
// waiting characters dropped and one error-log line written; nothing a tick
// meets leaves it, and the other channels are served as usual.
#include <cstdint>

#include "engine/scan_surroundings.h"

namespace tarvex {

class TransmitTimer {
public:
  TransmitTimer(ScanSurroundings services, TransmitRateLabel& lScan2) : s_(services), lScan2_(lScan2) {}
  TransmitTimer(const TransmitTimer&) = delete;
  TransmitTimer& operator=(const TransmitTimer&) = delete;

  // The timer event. interval is the timer's interval at this tick, in
  // milliseconds (TxTimer's Interval).
  void TxTimer_Timer(int32_t interval) noexcept;

private:
  void CountTick();
  void ServeChannel(int32_t ch, int32_t interval);
  void TransmitLampOn(int32_t ch);
  void TransmitLampOff(int32_t ch);
  void Write(int32_t ch, size_t count);
  void ReportTickFailure(int32_t ch) noexcept;

  ScanSurroundings s_;
  TransmitRateLabel& lScan2_;
};

}  // namespace tarvex
