#include "engine/transmit/transmit_timer.h"

#include "core/grid/grid_layout.h"
#include "engine/errors/error_in_flight.h"
#include "engine/lamps.h"
#include "engine/transmit/transmit_pacing.h"

namespace tarvex {

namespace {

// While the window is in the tray the lamp and icon switch to transmit only
// after this many scan passes since the lamp last changed.
constexpr int32_t TrayIndicatorPasses = 10;

}  // namespace

void TransmitTimer::TxTimer_Timer(int32_t interval) noexcept {
  try {
    CountTick();
  } catch (...) {
    ReportTickFailure(-1);
  }
  const int32_t last = s_.startup.MaxChannel;  // read once
  for (int32_t ch = 0; ch <= last; ++ch) {
    try {
      if (s_.config.Channels[ch].ConnectUsing != ConnectionType::PcSerialPort) continue;
      if (!s_.engine.ChannelActive[ch]) continue;
      ServeChannel(ch, interval);
    } catch (...) {
      ReportTickFailure(ch);
    }
  }
}

void TransmitTimer::CountTick() {
  EngineState& e = s_.engine;
  e.TxTick = NextScanTick(e.TxTick);
  if (!s_.mainWindow.RefreshDialogOpen()) return;
  const int32_t now = s_.clock.TimeOfDaySeconds();
  if (now != e.LastTxSecond) {
    // The count starts afresh before the label is written, so that a label
    // that fails is met once a second, not on every tick.
    const int32_t rate = e.TxTicksThisSecond;
    e.TxTicksThisSecond = 0;
    e.LastTxSecond = now;
    lScan2_.ShowTransmitRate(rate);
  } else {
    ++e.TxTicksThisSecond;
  }
}

void TransmitTimer::ServeChannel(int32_t ch, int32_t interval) {
  EngineState& e = s_.engine;
  TransmitQueue& waiting = e.TxBuffer[ch];
  if (waiting.empty()) {
    TransmitLampOff(ch);
    return;
  }
  TransmitLampOn(ch);
  s_.grid.DrawCell(ch, GridColumn::TransmitIndicator);

  const int32_t txDelay = s_.config.Channels[ch].TxDelay;
  const int32_t elapsed = PassesSince(e.TxTick, e.LastTxTick[ch]);
  const size_t due = CharactersDue(interval, txDelay, elapsed, waiting.size());
  if (due > 0) Write(ch, due);

  if (txDelay > 0) {
    if (due == 0 && !s_.window.InTray && elapsed > 1) TransmitLampOff(ch);  // dark between characters
    return;
  }
  // Without pacing the whole reply has left at once.
  if (!s_.window.InTray) {
    TransmitLampOff(ch);
  } else {
    s_.icons.SetWindowIcon(ActivityImage::Idle);
    if (!s_.startup.DebugMode) s_.icons.ShowWindowIconInTray();
  }
}

void TransmitTimer::TransmitLampOn(int32_t ch) {
  if (s_.grid.IndicatorOn(ch, Lamp::Transmit)) return;
  EngineState& e = s_.engine;
  int32_t& lastChange = e.LastIndicatorTick[ch][Indicator::Transmit];
  const bool inTray = s_.window.InTray;
  if (inTray && PassesSince(e.ScanTick, lastChange) < TrayIndicatorPasses) return;
  SwitchLamp(s_.grid, ch, Lamp::Transmit, true);
  lastChange = e.ScanTick;
  if (!inTray) return;
  s_.icons.SetWindowIcon(ActivityImage::Transmit);
  if (!s_.startup.DebugMode) s_.icons.ShowWindowIconInTray();
}

void TransmitTimer::TransmitLampOff(int32_t ch) {
  if (!s_.grid.IndicatorOn(ch, Lamp::Transmit)) return;
  SwitchLamp(s_.grid, ch, Lamp::Transmit, false);
}

void TransmitTimer::Write(int32_t ch, size_t count) {
  EngineState& e = s_.engine;
  TransmitQueue& waiting = e.TxBuffer[ch];
  s_.MSComm[ch].Output(waiting.Front(count));
  waiting.Drop(count);
  e.LastTxTick[ch] = e.TxTick;
}

void TransmitTimer::ReportTickFailure(int32_t ch) noexcept {
  if (ch >= 0) {
    try {
      // The rest of a reply whose turn failed means nothing to the device:
      // drop it, so that the failure is met and logged once, not on every tick.
      s_.engine.TxBuffer[ch].clear();
    } catch (...) {
      // A channel number out of range: there is no queue to drop.
    }
  }
  try {
    const RunTimeError error = ErrorInFlight();
    std::string line = ch >= 0 ? "Channel: " + std::to_string(ch + 1) + "  " : std::string();
    line += "Transmit Error: " + std::to_string(error.number()) + "  " + error.description();
    s_.log.WriteLog(LogKind::Error, line);
  } catch (...) {
    // Nowhere left to report it; the tick goes on regardless.
  }
}

}  // namespace tarvex
