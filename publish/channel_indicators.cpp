#include "publish/channel_indicators.h"

namespace tarvex {

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
  const int32_t distance = PassesSince(engine_.ScanTick, lastTick);
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
