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
// Policy: the receive buffer is capped at 8 KiB; a request line is taken from
// it before it runs, so it is never run twice; one line is served per call;
// CR and LF inside values are sent as blanks. A reply line is a double quote,
// the item, a double quote and LF; every block ends with the line "!".
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/db_request.h"
#include "platform/clock.h"
#include "platform/database/database.h"

namespace tarvex {

constexpr size_t kRxBufferCap = 8192;

// Appends RxPiece to RxBuffer. When the buffer then holds more than
// kRxBufferCap characters, everything up to and including its last LF is
// discarded, and all of it when what stays would still be over the cap (or
// there is no LF). Returns the number of characters discarded, 0 when none.
size_t AppendToRxBuffer(std::string& RxBuffer, std::string_view RxPiece);

// The error-log line for characters discarded from a channel's receive buffer
// (ch is 0-based and shown 1-based).
std::string RxBufferOverflowLogLine(int32_t ch, size_t discarded);

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
