#pragma once
// The database request service over the terminal network: a terminal with
// protocol 0 leaves a request in its field lit01, the pass reads it, runs it
// against the database and answers in the terminal's fields. A select's rows
// travel back in groups of fifteen through ptp01 to ptp03, one group per
// "ACK1:" from the terminal, each announced by a "****:" header in lit01.
//
// What it must cope with: the manager never clears lit01 itself, so a request
// is read again on every pass until a reply replaces it; a reply write can
// fail; a terminal can stop answering in the middle of a transfer, or answer
// after the wall clock passed midnight; a select can return more values than
// the result table holds.
//
// Policy:
// - An action query runs once: when its "!" cannot be written, the request is
//   remembered and, while lit01 still holds it, later passes only try the "!"
//   again (a changed request is a new one).
// - A group whose header has gone unanswered for Timeout milliseconds of a
//   monotonic clock is sent again from the same row (its fields only: the
//   header stays in lit01 untouched), and its time stamp is renewed; no row
//   is skipped.
// - Result rows: 201 per channel, two kept for the date and the time; loading
//   stops before the first record that would not fit. The count of rows taken
//   belongs to one load.
// - A failed read of lit01 takes the channel out of service; a read refused
//   while the registration is pending, and a single time-out, do not
//   (JudgeTerminalRead, terminal_fields.h).
// - A packet group is announced (its header written) only when all three of
//   its fields were written; otherwise the status says "Packet Error" and
//   the terminal's request, still in lit01, brings the group again.
// - A "DADD:" whose date would pass the year 9999 is answered "^ERROR".
// - Database errors leave as RunTimeError for the scan's error handling, which
//   answers the terminal "^ERROR".
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/engine_steps.h"
#include "engine/scan_surroundings.h"
#include "platform/beep.h"
#include "platform/clock.h"
#include "platform/database/database.h"
#include "publish/channel_indicators.h"

namespace tarvex {

class TerminalDBRequestStep final : public ChannelStep {
public:
  // wallClock gives the dates and times of replies and result rows; the
  // packet time-out runs on services.clock's monotonic milliseconds.
  TerminalDBRequestStep(ScanSurroundings& services, DatabaseWorkspace& workspace, const Clock& wallClock, Beeper& beeper)
      : s_(services),
        workspace_(workspace),
        wallClock_(wallClock),
        beeper_(beeper),
        indicators_(services.publication, services.engine, services.window, services.startup, services.grid,
                    services.icons) {}

  void Serve(int32_t ch) override;

  // The first packet group of the result in ResultRows and its header with
  // the record count; the time stamp of the transfer starts. False when a
  // field write failed: the group is then not announced.
  bool SendFirstPacketGroup(int32_t ch, int32_t recordCount);

private:
  void RunSQL3(int32_t ch, const std::string& request);
  void RunActionQuery(int32_t ch, const std::string& request);
  void RunSelect(int32_t ch, const std::string& request);
  // The first group of the select that could not be announced, again.
  void SendUnannouncedGroup(int32_t ch);
  void EndOfRequest(int32_t ch);
  void WriteExecutedReply(int32_t ch);
  void LoadResultRows(int32_t ch, ResultSet& records);

  // lit01 still holds the manager's own header.
  void WaitForPacketAnswer(int32_t ch);
  void PacketAcknowledged(int32_t ch);
  void TransferDone(int32_t ch);
  // Writes the group's three fields; false when a write failed.
  bool SendPacketGroup(int32_t ch);

  void DateAdd(int32_t ch, std::string_view request);
  void LotNumber(int32_t ch);
  void LinkTest(int32_t ch);

  int16_t WriteLit01(int32_t ch, std::string_view text);
  void ShowTransmitIcon();
  void Log(int32_t ch, int kind, std::string_view text);
  void Status(int32_t ch, const std::string& text) { indicators_.UpdateStatus(ch, text); }

  ScanSurroundings& s_;
  DatabaseWorkspace& workspace_;
  const Clock& wallClock_;
  Beeper& beeper_;
  ChannelIndicators indicators_;
};

}  // namespace tarvex
