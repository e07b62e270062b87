#pragma once
// The scan error handler: every error that reaches the scan pass's boundary,
// with the channel whose turn it was. It classifies the error
// (engine/errors/scan_error_table.h) and carries the report out: the channel's lamps
// and status line, the error reply to a device whose database request failed,
// the error log, speech, the message box, and the port fallback that disables
// a channel whose port cannot be used (in memory only: its channel file stays
// as the operator wrote it).
//
// What it must cope with: any of its own steps may fail (the log file not
// writable, no speech, the port hung up, the terminal network gone, the box
// not shown). Policy: each step is guarded
// on its own; a step that fails is recorded in the error log once, as far as
// the log can be written, and the next step follows. Nothing escapes the
// handler, so the pass always ends with its guard cleared.
//
// The message box is opened, not waited for: the pass ends as it would have
// after the box, so every other channel goes on being served while the
// operator reads it. While a channel's box is open, the same box of the same
// channel is not opened a second time (the log and the rest of the report
// still are).
//
// The serial error reply joins the channel's transmit queue (TxBuffer) behind
// any reply still being paced; the transmit timer sends it. The terminal reply
// is written to the channel's request field at once.
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <tuple>

#include "engine/channel_steps.h"
#include "engine/errors/scan_error_table.h"
#include "engine/scan_surroundings.h"
#include "platform/beep.h"
#include "platform/message_box.h"
#include "publish/channel_indicators.h"

namespace tarvex {

// What the handler needs of the main window beyond the pass's own seams.
class ScanErrorWindow {
public:
  virtual ~ScanErrorWindow() = default;
  // Flags every cell of the grid for redraw.
  virtual void MarkAllCellsDirty() = 0;
};

class ScanErrorHandling final : public ScanErrorHandler {
public:
  // services: the pass's (its errors member may be this handler).
  // beeper: the platform's beep, for a terminal reply that could not be written.
  ScanErrorHandling(ScanSurroundings& services, MessageBox& box, ScanErrorWindow& window, Beeper& beeper)
      : s_(services),
        box_(box),
        window_(window),
        beeper_(beeper),
        indicators_(services.publication, services.engine, services.window, services.startup, services.grid,
                    services.icons) {}

  void HandleScanError(int32_t ch, const RunTimeError& error) noexcept override;

private:
  ScanErrorSituation SituationOf(int32_t ch) const;
  void DatabaseError(int32_t ch, const ScanErrorReport& report);
  void PortError(int32_t ch, const ScanErrorReport& report);
  void CriticalError(int32_t ch, const ScanErrorReport& report);
  void Reply(int32_t ch, const ScanErrorReply& reply);
  // Port and critical errors: error lamp on, the log line, speech, the box.
  void Announce(int32_t ch, const ScanErrorReport& report);
  void ShowBox(int32_t ch, const ScanErrorReport& report);
  // Runs one step; a failure is logged and the handler goes on. The step is
  // taken as it is (no std::function), so running it allocates nothing.
  template <typename StepCall>
  void Step(int32_t ch, const char* what, StepCall&& step) noexcept;

  ScanSurroundings& s_;
  MessageBox& box_;
  ScanErrorWindow& window_;
  Beeper& beeper_;
  ChannelIndicators indicators_;  // TurnTXLedON
  // The boxes open now, by channel, title and text. Shared with the boxes'
  // answers, which may come after the handler is gone.
  using OpenBox = std::tuple<int32_t, std::string, std::string>;
  std::shared_ptr<std::set<OpenBox>> openBoxes_ = std::make_shared<std::set<OpenBox>>();
};

}  // namespace tarvex
