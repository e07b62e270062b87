#include "engine/database/terminal_db_request_step.h"

#include <algorithm>

#include "core/log_writer.h"
#include "engine/database/db_request.h"
#include "engine/database/terminal_packets.h"
#include "engine/lamps.h"
#include "engine/terminal/terminal_fields.h"
#include "platform/run_time_error.h"

namespace tarvex {

namespace {

constexpr int32_t kQueryPartFields = 5;
constexpr int32_t kPacketRowCeiling = 1'000'000;

std::string Number(int64_t value) { return std::to_string(value); }

// Progress of a query as the terminal channel shows it.
class ChannelReport final : public DBRequestReport {
public:
  ChannelReport(ChannelIndicators& indicators, LogWriter& log, bool logOn, int32_t ch)
      : indicators_(indicators), log_(log), logOn_(logOn), ch_(ch) {}
  void Status(std::string_view text) override { indicators_.UpdateStatus(ch_, std::string(text)); }
  void SqlLog(std::string_view line) override {
    if (logOn_) log_.WriteLog(LogKind::Sql, line);
  }

private:
  ChannelIndicators& indicators_;
  LogWriter& log_;
  bool logOn_;
  int32_t ch_;
};

}  // namespace

void TerminalDBRequestStep::Serve(int32_t ch) {
  EngineState& e = s_.engine;
  const TerminalFieldText field = ReadTerminalField(s_.net, e.ArcPathLit01[ch], kLitFieldWidth);
  e.ZelApiResult = field.result;
  if (JudgeTerminalRead(s_, ch, e.ArcPathLit01[ch], field.result) != TerminalRead::Served) return;
  SwitchLamp(s_.grid, ch, Lamp::Error, false);
  indicators_.TurnRXLedON(ch);

  const std::string request = TrimBlanks(field.text);
  // A remembered request counts only while the terminal still shows it.
  if (!field.ended || e.ExecutedRequest[ch].rfind(request + '\0', 0) != 0) e.ExecutedRequest[ch].clear();
  if (!field.ended || e.UnannouncedSelect[ch] != request) e.UnannouncedSelect[ch].clear();
  if (!field.ended || request.empty()) return;
  s_.publication.StatusText[ch] = request;
  s_.grid.SetCellDirty(ch, GridColumn::StatusText);

  const std::string verb = request.substr(0, 5);
  if (verb == "SQL3:" && !e.UnannouncedSelect[ch].empty()) {
    SendUnannouncedGroup(ch);
  } else if (verb == "SQL3:") {
    RunSQL3(ch, request);
  } else if (verb == "****:") {
    WaitForPacketAnswer(ch);
  } else if (verb == "ACK1:") {
    PacketAcknowledged(ch);
  } else if (verb == "DONE:") {
    TransferDone(ch);
  } else if (verb == "DADD:") {
    DateAdd(ch, request);
  } else if (verb == "DLOT:") {
    LotNumber(ch);
  } else if (verb == "TST1:") {
    LinkTest(ch);
  }
  // "FMT1:" is accepted and, like any other text, answered with nothing.
}

void TerminalDBRequestStep::RunSQL3(int32_t ch, const std::string& request) {
  EngineState& e = s_.engine;
  e.DBReply[ch].clear();
  e.DBQuery[ch].clear();
  e.ExternalDB[ch] = false;
  e.QueryPartCount[ch] = LeadingCount(std::string_view(request).substr(5));

  const TerminalFieldText name = ReadTerminalField(s_.net, e.ArcPathLit02[ch], kLitFieldWidth);
  e.ZelApiResult = name.result;
  if (name.result != 0) return;
  if (name.ended && !TrimBlanks(name.text).empty()) {
    e.DBName[ch] = TrimBlanks(name.text);
    s_.grid.SetCellDirty(ch, GridColumn::StatusText);
  }
  // Only five part fields exist; a larger count reads those five.
  const int32_t parts = std::min(e.QueryPartCount[ch], kQueryPartFields);
  for (int32_t i = 1; i <= parts; ++i) {
    const TerminalFieldText part = ReadTerminalField(s_.net, e.ArcPathPtp[ch][static_cast<size_t>(i)],
                                                     kPacketFieldWidth);
    e.ZelApiResult = part.result;
    const std::string text = TrimBlanks(part.text);
    if (part.result != 0 || !part.ended || text.empty()) continue;
    e.DBQuery[ch] += text;
    s_.grid.SetCellDirty(ch, GridColumn::StatusText);
  }

  const DBQueryKeywords keywords = ClassifyDBQuery(e.DBQuery[ch]);
  e.SelectIntoPos[ch] = keywords.SelectIntoPos;
  e.InsertPos[ch] = keywords.InsertPos;
  e.IntoPos[ch] = keywords.IntoPos;
  e.UpdatePos[ch] = keywords.UpdatePos;
  e.DeletePos[ch] = keywords.DeletePos;
  e.InPos[ch] = keywords.InPos;
  e.WherePos[ch] = keywords.WherePos;
  if (e.DBName[ch].empty() || e.DBQuery[ch].empty()) return;
  e.ExternalDB[ch] = !ExternalDatabaseName(e.DBQuery[ch], keywords).empty();

  if (s_.config.Channels[ch].DBDriver != kSqliteDriver) {
    EndOfRequest(ch);
    return;
  }
  if (keywords.IsActionQuery()) {
    RunActionQuery(ch, request);
  } else {
    RunSelect(ch, request);
  }
}

void TerminalDBRequestStep::RunActionQuery(int32_t ch, const std::string& request) {
  EngineState& e = s_.engine;
  const std::string executed = request + '\0' + e.DBName[ch] + '\0' + e.DBQuery[ch];
  if (e.ExecutedRequest[ch] == executed) {
    // It ran on an earlier pass; only its reply is still owed.
    WriteExecutedReply(ch);
    EndOfRequest(ch);
    return;
  }
  ChannelReport report(indicators_, s_.log, s_.startup.ChannelLogEnabled[static_cast<size_t>(ch)], ch);
  RunDBQuery(workspace_, s_.config.Channels[ch].DBDriver, e.DBName[ch], e.DBQuery[ch], report, "Ready...", 0);
  e.ExecutedRequest[ch] = executed;

  e.DBReply[ch] = "!EXECUTED";
  ShowTransmitIcon();
  Log(ch, LogKind::Transmit, e.DBReply[ch]);
  SwitchLamp(s_.grid, ch, Lamp::Transmit, true);
  s_.grid.DrawCell(ch, Lamp::Transmit);
  WriteExecutedReply(ch);
  EndOfRequest(ch);
}

void TerminalDBRequestStep::WriteExecutedReply(int32_t ch) {
  s_.engine.DBReply[ch].clear();
  if (WriteLit01(ch, "!") == 0) {
    indicators_.TurnTXLedON(ch);
    s_.engine.ExecutedRequest[ch].clear();
  } else {
    beeper_.Beep();
  }
}

void TerminalDBRequestStep::RunSelect(int32_t ch, const std::string& request) {
  EngineState& e = s_.engine;
  ChannelReport report(indicators_, s_.log, s_.startup.ChannelLogEnabled[static_cast<size_t>(ch)], ch);
  DBQueryResult result = RunDBQuery(workspace_, s_.config.Channels[ch].DBDriver, e.DBName[ch], e.DBQuery[ch],
                                    report, "Ready...", EngineState::ResultRowLimit);
  ResultSet& records = result.records;

  e.DBReply[ch].clear();
  e.ResultRows[ch].fill(std::string());
  const QDateTime now = wallClock_.now();
  const std::string date = now.date().toString(QStringLiteral("MM/dd/yy")).toStdString();
  const std::string time = now.time().toString(QStringLiteral("HH:mm:ss")).toStdString();
  if (records.RecordCount() > 0) {
    e.DBReply[ch] = "!COUNT=" + Number(records.RecordCount()) + "!";
    Status(ch, Number(records.RecordCount()) + " Record(s) Found...");
    e.ResultFound[ch] = true;
    e.ResultRowCount[ch] = 0;
    LoadResultRows(ch, records);
    e.ResultRows[ch][static_cast<size_t>(e.ResultRowCount[ch]++)] = date;
    e.ResultRows[ch][static_cast<size_t>(e.ResultRowCount[ch]++)] = time;
    e.DBReply[ch] += date + "!" + time + "!";
  } else {
    e.ResultFound[ch] = false;
    e.ResultRows[ch][0] = "NOT FOUND";
    e.ResultRows[ch][1] = date;
    e.ResultRows[ch][2] = time;
    e.DBReply[ch] = "!NOT FOUND!" + date + "!" + time + "!";
    Status(ch, "Record Not Found...");
  }
  e.DBReply[ch] += "!!";
  ShowTransmitIcon();
  Log(ch, LogKind::Transmit, e.DBReply[ch]);
  indicators_.TurnTXLedON(ch);

  bool sent = true;
  if (e.ResultFound[ch]) {
    sent = SendFirstPacketGroup(ch, records.RecordCount());
    if (!sent) {
      e.UnannouncedSelect[ch] = request;
      e.UnannouncedRecordCount[ch] = records.RecordCount();
    }
  } else {
    e.ZelApiResult = WriteLit01(ch, "@");
  }
  e.DBReply[ch].clear();
  Status(ch, "Closing Query...");
  Status(ch, "Closing DB...");
  Status(ch, sent ? "Ready..." : "Packet Error");
  EndOfRequest(ch);
}

void TerminalDBRequestStep::LoadResultRows(int32_t ch, ResultSet& records) {
  EngineState& e = s_.engine;
  // The last two rows of the table are the date and the time.
  const int32_t valueRows = EngineState::ResultRowLimit - 2;
  records.MoveFirst();
  while (!records.Eof() && e.ResultRowCount[ch] + records.FieldCount() <= valueRows) {
    for (int32_t f = 0; f < records.FieldCount(); ++f) {
      const std::string text = DBFieldText(records.Value(f));
      e.DBReply[ch] += text + "!";
      e.ResultRows[ch][static_cast<size_t>(e.ResultRowCount[ch]++)] = text;
    }
    records.MoveNext();
  }
}

void TerminalDBRequestStep::EndOfRequest(int32_t ch) {
  s_.engine.DBName[ch].clear();
  s_.engine.DBQuery[ch].clear();
  s_.icons.SetWindowIcon(ActivityImage::Idle);
  if (!s_.startup.DebugMode) s_.icons.ShowWindowIconInTray();
}

void TerminalDBRequestStep::SendUnannouncedGroup(int32_t ch) {
  EngineState& e = s_.engine;
  if (!SendFirstPacketGroup(ch, e.UnannouncedRecordCount[ch])) return;
  e.UnannouncedSelect[ch].clear();
  Status(ch, "Ready...");
}

bool TerminalDBRequestStep::SendFirstPacketGroup(int32_t ch, int32_t recordCount) {
  EngineState& e = s_.engine;
  e.PacketRow[ch] = 0;
  Status(ch, "Xmit Packet 0 ...");
  if (!SendPacketGroup(ch)) {
    // Announced, the group would be read from fields that still hold the
    // query: no header. The request stays in lit01 and brings the group
    // again on the next pass.
    Status(ch, "Packet Error");
    return false;
  }
  const std::string header = PacketHeader(recordCount, e.ResultRowCount[ch]);
  Status(ch, "Packet Status 0 ...");
  if (WriteLit01(ch, header) != 0) Status(ch, "ZelAPI > PutAckStatus");
  WriteLit01(ch, header);
  e.PacketSentAt[ch] = s_.clock.MonotonicMilliseconds();
  return true;
}

bool TerminalDBRequestStep::SendPacketGroup(int32_t ch) {
  EngineState& e = s_.engine;
  bool allWritten = true;
  for (int k = 1; k <= 3; ++k) {
    e.ZelApiResult = WriteTerminalField(s_.net, e.ArcPathPtp[ch][static_cast<size_t>(k)], kPacketFieldWidth,
                                        PacketField(e.ResultRows[ch], e.PacketRow[ch], k));
    if (e.ZelApiResult == 0) {
      indicators_.TurnTXLedON(ch);
    } else {
      allWritten = false;
    }
  }
  return allWritten;
}

void TerminalDBRequestStep::WaitForPacketAnswer(int32_t ch) {
  EngineState& e = s_.engine;
  const std::string row = Number(e.PacketRow[ch]);
  Status(ch, "Packet " + row + " Sent...");
  const int64_t now = s_.clock.MonotonicMilliseconds();
  if (now - e.PacketSentAt[ch] <= s_.config.Channels[ch].Timeout) return;
  Status(ch, "Packet " + row + "  Timeout...");
  // The terminal may have missed the group: the same rows go again. The
  // header it has not answered stays in lit01 as it is; writing it again
  // could wipe out an answer the terminal gives meanwhile.
  e.PacketSentAt[ch] = now;
  // A header without a transfer of this run behind it (one left from before
  // a restart) has no rows here to send again.
  if (!e.ResultFound[ch] || e.PacketRow[ch] >= e.ResultRowCount[ch]) return;
  if (!SendPacketGroup(ch)) Status(ch, "Packet Error");
}

void TerminalDBRequestStep::PacketAcknowledged(int32_t ch) {
  EngineState& e = s_.engine;
  // An "ACK1:" left in place while "!" cannot be written comes back pass after
  // pass; past the table the position only has to stay past it.
  e.PacketRow[ch] = std::min(e.PacketRow[ch] + kRowsPerGroup, kPacketRowCeiling);
  Status(ch, "Packet OK");
  const std::string row = Number(e.PacketRow[ch]);
  if (e.PacketRow[ch] >= e.ResultRowCount[ch] || !e.ResultFound[ch]) {
    Status(ch, "Packet OK " + row + " ...");
    if (WriteLit01(ch, e.ResultFound[ch] ? "!" : "@") != 0) Status(ch, "Packet Error");
    return;
  }
  Status(ch, "Xmit Packet " + row + " ...");
  // "ACK1:" stays in lit01 and is read again when the group is not
  // announced: it must bring this group again. A group with a field that
  // was not written is not announced: the terminal would take that field's
  // old text for rows.
  const bool written = SendPacketGroup(ch);
  if (written) Status(ch, "Packet Status " + row + " ...");
  if (!written || WriteLit01(ch, PacketHeader(0, e.ResultRowCount[ch])) != 0) {
    Status(ch, "Packet Error");
    e.PacketRow[ch] -= kRowsPerGroup;
    return;
  }
  e.PacketSentAt[ch] = s_.clock.MonotonicMilliseconds();
}

void TerminalDBRequestStep::TransferDone(int32_t ch) {
  s_.engine.PacketRow[ch] = 0;
  Status(ch, "Ready...");
  if (WriteLit01(ch, "") != 0) Status(ch, "Packet Error");
}

void TerminalDBRequestStep::DateAdd(int32_t ch, std::string_view request) {
  const int32_t days = LeadingCount(request.substr(5));
  std::string reply;
  try {
    reply = DateAddReply(wallClock_.now(), days);
  } catch (const RunTimeError&) {
    // A day count past the year 9999 is the terminal's mistake: it is
    // answered with the error reply it knows, which replaces the request, so
    // it is not read again on every pass.
    Log(ch, LogKind::Transmit, "!ERROR");
    Status(ch, WriteLit01(ch, "^ERROR") == 0 ? "Date Add Error..." : "ZelAPI > Date Add Error");
    return;
  }
  s_.engine.ReplyValue[ch] = reply.substr(5);
  Status(ch, "Sending Date...");
  Status(ch, WriteLit01(ch, reply) == 0 ? "Ready..." : "ZelAPI > Date Add Error");
}

void TerminalDBRequestStep::LotNumber(int32_t ch) {
  const std::string code = BatchCode(wallClock_.now());
  s_.engine.ReplyValue[ch] = code;
  Status(ch, "Sending Lot #...");
  Status(ch, WriteLit01(ch, "PLOT:" + code) == 0 ? "Ready..." : "ZelAPI > Lot # Error");
}

void TerminalDBRequestStep::LinkTest(int32_t ch) {
  s_.engine.ZelApiResult =
      WriteTerminalField(s_.net, s_.engine.ArcPathLit01[ch], kPacketFieldWidth, LinkTestPattern());
  if (s_.engine.ZelApiResult == 0) {
    indicators_.TurnTXLedON(ch);
  } else {
    Status(ch, "Error Writing Var...");
  }
}

int16_t TerminalDBRequestStep::WriteLit01(int32_t ch, std::string_view text) {
  s_.engine.ZelApiResult = WriteTerminalField(s_.net, s_.engine.ArcPathLit01[ch], kLitFieldWidth, text);
  return s_.engine.ZelApiResult;
}

void TerminalDBRequestStep::ShowTransmitIcon() {
  s_.icons.SetWindowIcon(ActivityImage::Transmit);
  if (!s_.startup.DebugMode) s_.icons.ShowWindowIconInTray();
}

void TerminalDBRequestStep::Log(int32_t ch, int kind, std::string_view text) {
  if (s_.startup.ChannelLogEnabled[static_cast<size_t>(ch)]) s_.log.WriteLog(kind, text);
}

}  // namespace tarvex
