#include "engine/scan_pass.h"

#include <algorithm>

#include "core/grid/grid_layout.h"
#include "engine/errors/error_in_flight.h"
#include "engine/lamps.h"
#include "engine/out_of_service.h"
#include "engine/port_calls.h"
#include "engine/terminal/terminal_registration.h"

namespace tarvex {

namespace {

// The pass's scale protocols: 1 to 41; protocol 0 is the database request
// service.
constexpr int32_t DatabaseRequestProtocol = 0;
constexpr int32_t LastScaleProtocol = 41;
// The longest idle sleep of a pass: above anything the refresh-rate dialog
// sets (three digits), so a damaged setup value cannot freeze the window.
constexpr int32_t LongestIdle = 1000;

}  // namespace

void ScanPass::Timer1_Timer() {
  EngineState& e = s_.engine;
  if (e.ScanInProgress) return;
  // Cleared on every way out of the pass, whatever the error report met.
  struct ClearedOnExit {
    bool& flag;
    ~ClearedOnExit() { flag = false; }
  } guard{e.ScanInProgress};
  try {
    s_.pacing.DoEvents();
    // A nested pass may have run inside the yield; it ended before this
    // point, so the flag is free again.
    e.ScanInProgress = true;
    if (s_.config.System.RxIdle > 0) s_.pacing.Sleep(std::min(s_.config.System.RxIdle, LongestIdle));
    CountPass();
    if (!e.DevicesInitialized) {
      ch_ = 0;
      init_.FirstPass();
    } else {
      ServeChannels();
    }
  } catch (...) {
    ReportInFlight(s_.errors, ch_);
  }
}

void ScanPass::CountPass() {
  EngineState& e = s_.engine;
  e.ScanTick = NextScanTick(e.ScanTick);
  const int32_t now = s_.clock.TimeOfDaySeconds();
  if (now != e.LastSecond) {
    if (s_.mainWindow.RefreshDialogOpen()) s_.mainWindow.ShowScanRate(e.ScansThisSecond);
    e.ScansThisSecond = 0;
    e.LastSecond = now;
  } else {
    ++e.ScansThisSecond;
  }
}

void ScanPass::ServeChannels() {
  ch_ = 0;
  // Before any channel: a terminal channel never reads without the
  // registration that Setup of another channel closed.
  RegisterAgainWhenPending(s_);
  const int32_t last = s_.startup.MaxChannel;  // read once
  for (int32_t ch = 0; ch <= last; ++ch) {
    ch_ = ch;
    if (!s_.engine.ChannelActive[ch]) {
      init_.InactiveChannel(ch);
      continue;
    }
    ServeChannel(ch);
  }
}

void ScanPass::ServeChannel(int32_t ch) {
  StartupState& startup = s_.startup;
  if (s_.config.System.AutoStart && startup.AutoStartPending) {
    startup.AutoStartPending = false;
    if (!startup.NoMinimize) s_.mainWindow.PutInTray();
  }
  // A step that lets a closed port's 8012 escape goes on with the next step.
  AtPort(s_.grid, ch, [&] { s_.steps.ClientCommands(ch); });
  AtPort(s_.grid, ch, [&] { Dispatch(ch); });
  ChannelTail(ch);
}

void ScanPass::Dispatch(int32_t ch) {
  const ChannelSetup& channel = s_.config.Channels[ch];
  const int32_t protocol = channel.ChannelProtocol;
  const int32_t connection = channel.ConnectUsing;
  if (protocol == DatabaseRequestProtocol) {
    if (connection == ConnectionType::PcSerialPort) s_.steps.SerialDBRequest(ch);
    if (connection == ConnectionType::ArcNet) s_.steps.TerminalDBRequest(ch);
  } else if (protocol >= 1 && protocol <= LastScaleProtocol) {
    if (connection == ConnectionType::PcSerialPort) s_.steps.SerialScaleData(ch);
    if (connection == ConnectionType::ArcNet) s_.steps.TerminalScaleData(ch);
  } else {
    // No step reads a channel without a protocol of the table.
    TellOutOfService(s_.engine, s_.handshake, ch);
  }
}

void ScanPass::ChannelTail(int32_t ch) {
  ReceiveIndicatorOut(ch);
  FlushOPC(ch);
  PublicationState& p = s_.publication;
  if (s_.config.Channels[ch].DDEServerEnabled && p.DDEDirty[ch]) {
    p.DDEDirty[ch] = false;
    s_.dde.UpdateDDELinks(ch);
  }
  if (s_.window.DeviceDirty[ch]) s_.handshake.CallDeviceUpdateMethod(ch);
}

void ScanPass::ReceiveIndicatorOut(int32_t ch) {
  if (!s_.grid.IndicatorOn(ch, Lamp::Receive)) return;
  EngineState& e = s_.engine;
  int32_t& last = e.LastIndicatorTick[ch][Indicator::Receive];
  const int32_t passes = PassesSince(e.ScanTick, last);
  const bool inTray = s_.window.InTray;
  if (passes < (inTray ? 10 : 1)) return;
  SwitchLamp(s_.grid, ch, Lamp::Receive, false);
  last = e.ScanTick;
  if (!inTray) return;
  s_.icons.SetWindowIcon(ActivityImage::Idle);
  if (!s_.startup.DebugMode) s_.icons.ShowWindowIconInTray();
}

void ScanPass::FlushOPC(int32_t ch) {
  PublicationState& p = s_.publication;
  EngineState& e = s_.engine;
  if (!s_.config.Channels[ch].OPCEnabled || !p.OPCDirty[ch]) return;
  if (e.OPCWriteBusy[ch]) return;  // tried again at the next tail
  // Cleared before the write: a value set during the write marks it again.
  p.OPCDirty[ch] = false;
  e.OPCWriteBusy[ch] = true;
  try {
    s_.opc.OPC(ch).Write();
    e.OPCWriteFailing[ch] = false;
  } catch (...) {
    // A server that refuses writes must cost neither this channel's DDE and
    // COM updates nor the channels after it, and must not raise a box on
    // every pass: the failure is logged once per episode (until a write
    // succeeds), and the write counts as made, so the next change or the
    // periodic re-write tries again.
    e.LastOPCWriteTick[ch] = e.ScanTick;
    e.OPCWriteBusy[ch] = false;
    ReportOPCWriteFailure(ch);
    return;
  }
  e.LastOPCWriteTick[ch] = e.ScanTick;
  e.OPCWriteBusy[ch] = false;
}

void ScanPass::ReportOPCWriteFailure(int32_t ch) {
  EngineState& e = s_.engine;
  if (e.OPCWriteFailing[ch]) return;
  e.OPCWriteFailing[ch] = true;
  const RunTimeError error = ErrorInFlight();
  s_.log.WriteLog(LogKind::Error, "Channel: " + std::to_string(ch + 1) + "  OPC Write Error: " +
                                      std::to_string(error.number()) + "  " + error.description());
}

}  // namespace tarvex
