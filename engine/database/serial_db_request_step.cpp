#include "engine/database/serial_db_request_step.h"

#include <optional>

#include "core/grid/grid_layout.h"
#include "engine/database/serial_db_request.h"
#include "engine/lamps.h"
#include "engine/port_calls.h"

namespace tarvex {

namespace {

// A request's progress: the status cell, marked for the grid timer, and the
// SQL log while the channel's log is on.
class ChannelDBReport final : public DBRequestReport {
public:
  ChannelDBReport(ScanSurroundings& s, int32_t ch) : s_(s), ch_(ch) {}
  void Status(std::string_view text) override {
    s_.publication.StatusText[ch_] = std::string(text);
    s_.grid.SetCellDirty(ch_, GridColumn::StatusText);
  }
  void SqlLog(std::string_view line) override {
    if (s_.startup.ChannelLogEnabled[static_cast<size_t>(ch_)]) s_.log.WriteLog(LogKind::Sql, line);
  }

private:
  ScanSurroundings& s_;
  int32_t ch_;
};

}  // namespace

void SerialDBRequestStep::Serve(int32_t ch) {
  EngineState& e = s_.engine;
  e.ResultFound[ch] = false;
  Receive(ch);
  // A client command goes first, once the replies already queued have left.
  if (e.CommandWaitsForLine[ch]) return;

  const std::optional<std::string> line = TakeRequestLine(e.RxBuffer[ch]);
  if (!line) return;  // a partial line waits for more input
  ChannelLog(ch, LogKind::Receive, *line);

  e.DBReply[ch].clear();
  e.DBQuery[ch].clear();
  ParseDBCmd(*line, "QUERY", e.DBQuery[ch]);
  ChannelDBReport report(s_, ch);
  // Empty for a line without a database name or query: dropped, no reply.
  const std::string reply =
      ServeDBRequestLine(*line, s_.config.Channels[ch].DBDriver, e.DBName[ch], workspace_, clock_, report);
  if (reply.empty()) return;

  e.DBReply[ch] = reply;
  SendReply(ch, reply);
  e.DBReply[ch].clear();
  e.DBName[ch].clear();
  e.DBQuery[ch].clear();
  SwitchIcon(ActivityImage::Idle);
}

void SerialDBRequestStep::Receive(int32_t ch) {
  SerialPort& port = s_.MSComm[ch];
  int32_t waiting = 0;
  AtPort(s_.grid, ch, [&] { waiting = port.InBufferCount(); });
  if (waiting <= 0) return;

  indicators_.TurnRXLedON(ch);
  std::string piece;
  AtPort(s_.grid, ch, [&] { piece = port.Input(); });
  const RxOverflow dropped = AppendToRxBuffer(s_.engine.RxBuffer[ch], piece, s_.engine.RxLineDiscarded[ch]);
  if (dropped.characters > 0) s_.log.WriteLog(LogKind::Error, RxBufferOverflowLogLine(ch, dropped.characters));
  if (dropped.requestLines > 0) {
    s_.log.WriteLog(LogKind::Error,
                    RxRequestLinesOverflowLogLine(ch, dropped.requestLines, dropped.requestCharacters));
  }
  SwitchIcon(ActivityImage::Receive);
}

void SerialDBRequestStep::SendReply(int32_t ch, const std::string& reply) {
  SwitchIcon(ActivityImage::Transmit);
  ChannelLog(ch, LogKind::Transmit, reply);
  SwitchLamp(s_.grid, ch, Lamp::Transmit, true);
  s_.grid.DrawCell(ch, GridColumn::TransmitIndicator);
  // Behind any reply still being paced out, never in place of it; a device
  // that asks faster than its replies drain loses the replies that do not
  // fit, with one error-log line per episode.
  EngineState& e = s_.engine;
  if (e.TxBuffer[ch].Append(reply)) {
    e.TxBufferFullReported[ch] = false;
    return;
  }
  if (e.TxBufferFullReported[ch]) return;
  e.TxBufferFullReported[ch] = true;
  s_.log.WriteLog(LogKind::Error, "Channel: " + std::to_string(ch + 1) + "  Transmit buffer full: " +
                                      std::to_string(e.TxBuffer[ch].size()) + " characters waiting; a reply of " +
                                      std::to_string(reply.size()) + " characters dropped.");
}

void SerialDBRequestStep::SwitchIcon(ActivityImage image) {
  s_.icons.SetWindowIcon(image);
  if (!s_.startup.DebugMode) s_.icons.ShowWindowIconInTray();
}

void SerialDBRequestStep::ChannelLog(int32_t ch, int kind, std::string_view text) {
  if (s_.startup.ChannelLogEnabled[static_cast<size_t>(ch)]) s_.log.WriteLog(kind, text);
}

}  // namespace tarvex
