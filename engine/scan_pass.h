#pragma once
// The scan pass: the engine's heartbeat, raised by the main window's scan
// timer (Timer1_Timer). One pass walks channels 0 to MaxChannel once and, for
// each, either runs the inactive-channel step or serves it: client commands,
// then the database request service or the scale data by protocol and
// connection, then the channel tail that flushes what changed. The first pass
// after DevicesInitialized was cleared only initialises the channels.
//
// What it must cope with: it runs on the user-interface thread and may be
// re-entered through the event loop (its own yield, message boxes, calls that
// pump events); devices answer whenever they like; the pass counter wraps;
// any step may fail. Policy: the pass never waits for a device; a pass that
// finds another running returns at once and changes nothing; every time
// counted in passes goes through PassesSince, which counts across the wrap;
// and the pass has one boundary: every error raised inside it is handed to
// the scan error handler with the channel whose turn it was, the pass ends
// there, and ScanInProgress is cleared on every way out. A port that is not
// open (8012) is not an error of the pass: its lamp goes off and the pass goes
// on. A pending terminal re-registration is tried before the first channel
// (engine/terminal/terminal_registration.h), so Setup of one channel never leaves the
// other terminal channels reading without it.
#include <cstdint>

#include "engine/channel_initialisation.h"
#include "engine/scan_surroundings.h"

namespace tarvex {

class ScanPass {
public:
  explicit ScanPass(ScanSurroundings services) : s_(services), init_(s_) {}
  ScanPass(const ScanPass&) = delete;
  ScanPass& operator=(const ScanPass&) = delete;

  // The timer event; the only entry.
  void Timer1_Timer();

  // The channel whose turn it is (or was, when the pass ended).
  int32_t CurrentChannel() const noexcept { return ch_; }

private:
  void CountPass();
  void ServeChannels();
  void ServeChannel(int32_t ch);
  void Dispatch(int32_t ch);
  void ChannelTail(int32_t ch);
  void ReceiveIndicatorOut(int32_t ch);
  void FlushOPC(int32_t ch);
  // Logs the OPC write failure in flight, once per failure episode.
  void ReportOPCWriteFailure(int32_t ch);

  ScanSurroundings s_;
  ChannelInitialisation init_;
  int32_t ch_ = 0;
};

}  // namespace tarvex
