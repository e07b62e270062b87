#pragma once
// The channel's status line and its receive and transmit indicators.
//
// The scan pass asks to light an indicator far more often than a person can
// see, so lighting is rate limited in scan passes: an indicator changes at
// most once per pass, and once per ten passes while the window is in the tray,
// where the window icon and the tray icon show the activity instead. A lit
// indicator stays as it is; the scan pass turns it off under the same limit.
// Only the transmit cell and the status line are drawn at once; the receive
// cell waits for the grid timer.
#include <cstdint>
#include <string>

#include "core/startup_state.h"
#include "publish/activity_icons.h"
#include "publish/scan_values.h"
#include "publish/grid_cells.h"
#include "publish/main_window_values.h"
#include "publish/publication_state.h"

namespace tarvex {

class ChannelIndicators {
public:
  ChannelIndicators(PublicationState& publication, ScanValues& engine, const MainWindowValues& window,
                    const StartupState& startup, GridCells& grid, ActivityIcons& icons)
      : publication_(publication),
        engine_(engine),
        window_(window),
        startup_(startup),
        grid_(grid),
        icons_(icons) {}

  // Stores the status line, flags its cell and draws it now. Error 9 for a
  // channel outside 0 to 32, with nothing changed.
  void UpdateStatus(int32_t ch, const std::string& text);
  // Light the receive or transmit indicator when the rate limit allows.
  // The passes since the last change count forward across the ScanTick
  // wrap. Error 9 for a channel outside 0 to 32, before anything changes.
  void TurnRXLedON(int32_t ch);
  void TurnTXLedON(int32_t ch);

private:
  void TurnOn(int32_t ch, int indicator, ActivityImage image);

  PublicationState& publication_;
  ScanValues& engine_;
  const MainWindowValues& window_;
  const StartupState& startup_;
  GridCells& grid_;
  ActivityIcons& icons_;
};

}  // namespace tarvex
