#include "engine/database/serial_db_request.h"

#include <QDateTime>

namespace tarvex {

namespace {

constexpr char kLF = '\n';

std::string TwoDigits(int value) {
  return std::string{static_cast<char>('0' + (value / 10) % 10), static_cast<char>('0' + value % 10)};
}

std::string DateItem(const QDateTime& now) {
  const QDate date = now.date();
  return TwoDigits(date.month()) + "/" + TwoDigits(date.day()) + "/" + TwoDigits(date.year() % 100);
}

std::string TimeItem(const QDateTime& now) {
  const QTime time = now.time();
  return TwoDigits(time.hour()) + ":" + TwoDigits(time.minute()) + ":" + TwoDigits(time.second());
}

}  // namespace

RxOverflow AppendToRxBuffer(std::string& RxBuffer, std::string_view RxPiece, bool& discardingLine) {
  RxOverflow dropped;
  if (discardingLine) {
    // The rest of a line already dropped as over-long, reported then: its
    // tail is no request of its own.
    const size_t lf = RxPiece.find(kLF);
    if (lf == std::string_view::npos) return dropped;
    RxPiece.remove_prefix(lf + 1);
    discardingLine = false;
  }
  // Lines before the one still open were checked when they came.
  const size_t lastLF = RxBuffer.rfind(kLF);
  size_t lineStart = lastLF == std::string::npos ? 0 : lastLF + 1;
  std::string kept = RxBuffer.substr(0, lineStart);
  std::string_view rest = std::string_view(RxBuffer).substr(lineStart);
  std::string incoming = std::string(rest) + std::string(RxPiece);
  std::string_view open = incoming;
  while (!open.empty()) {
    const size_t lf = open.find(kLF);
    const std::string_view line = open.substr(0, lf == std::string_view::npos ? open.size() : lf + 1);
    open.remove_prefix(line.size());
    if (line.size() > kRxBufferCap) {
      dropped.characters += line.size();
      if (lf == std::string_view::npos) discardingLine = true;
    } else if (lf == std::string_view::npos) {
      kept += line;  // waits for its line feed
    } else if (kept.size() + line.size() > kRxWaitingLinesCap) {
      ++dropped.requestLines;
      dropped.requestCharacters += line.size();
    } else {
      kept += line;
    }
  }
  RxBuffer = std::move(kept);
  return dropped;
}

std::string RxBufferOverflowLogLine(int32_t ch, size_t discarded) {
  return "Channel: " + std::to_string(ch + 1) + "  Receive buffer overflow: " + std::to_string(discarded) +
         " characters without a line feed discarded.";
}

std::string RxRequestLinesOverflowLogLine(int32_t ch, size_t lines, size_t characters) {
  return "Channel: " + std::to_string(ch + 1) + "  Receive buffer overflow: " + std::to_string(lines) +
         " request lines (" + std::to_string(characters) + " characters) discarded unserved.";
}

std::optional<std::string> TakeRequestLine(std::string& RxBuffer) {
  const size_t p = RxBuffer.find(kLF);
  if (p == std::string::npos) return std::nullopt;
  std::string line = RxBuffer.substr(0, p + 1);
  RxBuffer.erase(0, p + 1);
  return line;
}

std::string SerialReplyLine(std::string_view item) {
  std::string line;
  line.reserve(item.size() + 3);
  line += '"';
  line += item;
  line += '"';
  line += kLF;
  return line;
}

std::string SerialExecutedReply() { return SerialReplyLine("EXECUTED") + SerialReplyLine("!"); }

std::string SerialSelectReply(const ResultSet& records, const Clock& clock) {
  std::string reply;
  if (records.RecordCount() > 0) {
    reply = SerialReplyLine("COUNT=" + std::to_string(records.RecordCount()));
    for (int32_t field = 0; field < records.FieldCount(); ++field) {
      reply += SerialReplyLine(DBFieldText(records.Value(field)));
    }
  } else {
    reply = SerialReplyLine("NOT FOUND");
  }
  reply += SerialReplyLine(DateItem(clock.now()));
  reply += SerialReplyLine(TimeItem(clock.now()));
  reply += SerialReplyLine("!");
  return reply;
}


std::string ServeDBRequestLine(std::string_view RxFrame, int32_t DBDriver, std::string& DBName,
                               DatabaseWorkspace& workspace, const Clock& clock, DBRequestReport& report) {
  std::string DBQuery;
  ParseDBCmd(RxFrame, "DBNAME", DBName);
  ParseDBCmd(RxFrame, "QUERY", DBQuery);
  if (DBName.empty() || DBQuery.empty()) return {};

  const DBQueryResult result = RunDBQuery(workspace, DBDriver, DBName, DBQuery, report, "Idle...", 1);
  std::string reply = result.action ? SerialExecutedReply() : SerialSelectReply(result.records, clock);
  DBName.clear();
  return reply;
}

}  // namespace tarvex
