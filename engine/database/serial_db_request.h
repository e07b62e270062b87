#pragma once
// The database request service over a serial line: the pieces that the
// channel's step calls to turn received bytes into requests and requests into
// reply blocks.
//
// What it must cope with: a device may send several request lines in one read,
// or bytes without any line feed for ever; a field value may hold CR or LF,
// which would end the device's reply line early and could forge a "!" line; a
// request that changes data must run once, whatever becomes of its reply.
//
// Policy: a request line is at most 8 KiB, and complete lines wait in order
// (at most 1 MiB of them); a request line is taken from
// it before it runs, so it is never run twice; one line is served per call;
// CR and LF inside values are sent as blanks. A reply line is a double quote,
// the item, a double quote and LF; every block ends with the line "!".
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/database/db_request.h"
#include "platform/clock.h"
#include "platform/database/database.h"

namespace tarvex {

// The longest request line, and the most characters of complete request lines
// that wait to be served (one per pass) behind it.
constexpr size_t kRxBufferCap = 8192;
constexpr size_t kRxWaitingLinesCap = 1024 * 1024;

// What AppendToRxBuffer discarded.
struct RxOverflow {
  // Characters of a line that grew past kRxBufferCap before its line feed
  // (the line is dropped whole, its line feed included when it came).
  size_t characters = 0;
  // Complete request lines that found kRxWaitingLinesCap full, and their
  // characters: the newest go, the older still wait their turn.
  size_t requestLines = 0;
  size_t requestCharacters = 0;
};

// Appends RxPiece to RxBuffer. Complete lines are kept, in order, to be served
// one per pass; only a line longer than kRxBufferCap (complete or still
// waiting for its line feed) is discarded, and complete lines beyond
// kRxWaitingLinesCap. discardingLine (kept by the caller with RxBuffer, false
// at first) is set while a line dropped before its line feed still comes: the
// rest of it, through that line feed, is discarded too and not counted again,
// so no tail of an over-long request runs as a request of its own.
RxOverflow AppendToRxBuffer(std::string& RxBuffer, std::string_view RxPiece, bool& discardingLine);

// The error-log line for characters discarded from a channel's receive buffer
// (ch is 0-based and shown 1-based).
std::string RxBufferOverflowLogLine(int32_t ch, size_t discarded);
// The error-log line for complete request lines discarded unserved.
std::string RxRequestLinesOverflowLogLine(int32_t ch, size_t lines, size_t characters);

// Takes the first request line, its LF included, out of RxBuffer; nothing when
// the buffer holds no LF.
std::optional<std::string> TakeRequestLine(std::string& RxBuffer);

// One reply line: double quote, item, double quote, LF.
std::string SerialReplyLine(std::string_view item);
// "EXECUTED", "!".
std::string SerialExecutedReply();
// "COUNT=n", the fields of the current record (the first, as opened) in order, date "mm/dd/yy", time
// "hh:mm:ss", "!"; or "NOT FOUND", date, time, "!" when there are no records.
// The clock is read once for the date and again for the time.
std::string SerialSelectReply(const ResultSet& records, const Clock& clock);

// Serves one request line (RxFrame, LF included): reads DBNAME into DBName
// (kept when the line has none) and QUERY, runs the query and returns the reply
// block for TxBuffer. A line without a database name or query, or with an
// empty one, is dropped: the result is empty and DBName keeps its value. After
// a reply DBName is empty. Database failures leave as RunTimeError (2400 or
// 3000 class) with DBName kept; nothing is executed twice.
std::string ServeDBRequestLine(std::string_view RxFrame, int32_t DBDriver, std::string& DBName,
                               DatabaseWorkspace& workspace, const Clock& clock, DBRequestReport& report);

}  // namespace tarvex
