#include "publish/channel_indicators.h"

#include <cstdlib>
#include <limits>

#include "platform/run_time_error.h"

namespace tarvex {

namespace {

// |a - b| with the overflow check of 32-bit signed arithmetic.
int32_t TickDistance(int32_t a, int32_t b) {
  const int64_t d = std::llabs(static_cast<int64_t>(a) - static_cast<int64_t>(b));
  if (d > std::numeric_limits<int32_t>::max()) {
    throw RunTimeError(ErrorNumber::Overflow, "Overflow (ScanTick " + std::to_string(a) +
                                                  " minus LastIndicatorTick " + std::to_string(b) + ")");
  }
  return static_cast<int32_t>(d);
}

}  // namespace

void ChannelIndicators::UpdateStatus(int32_t ch, const std::string& text) {
  publication_.StatusText[ch] = text;
  grid_.SetCellDirty(ch, GridColumn::StatusText);
  grid_.DrawCell(ch, GridColumn::StatusText);
}

void ChannelIndicators::TurnRXLedON(int32_t ch) { TurnOn(ch, Indicator::Receive, ActivityImage::Receive); }

void ChannelIndicators::TurnTXLedON(int32_t ch) { TurnOn(ch, Indicator::Transmit, ActivityImage::Transmit); }

void ChannelIndicators::TurnOn(int32_t ch, int indicator, ActivityImage image) {
  int32_t& lastTick = engine_.LastIndicatorTick[ch][static_cast<size_t>(indicator)];
  if (grid_.IndicatorOn(ch, indicator)) return;
  const int32_t distance = TickDistance(engine_.ScanTick, lastTick);
  const int32_t needed = window_.InTray ? 10 : 1;
  if (distance < needed) return;

  grid_.SetIndicatorOn(ch, indicator, true);
  grid_.SetCellDirty(ch, indicator);
  lastTick = engine_.ScanTick;
  if (!window_.InTray) {
    if (indicator == Indicator::Transmit) grid_.DrawCell(ch, GridColumn::TransmitIndicator);
    return;
  }
  icons_.SetWindowIcon(image);
  if (!startup_.DebugMode) icons_.ShowWindowIconInTray();
}

}  // namespace tarvex
