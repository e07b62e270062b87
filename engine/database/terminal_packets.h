#pragma once
// The texts the terminal database service writes into a terminal's fields:
// result packets, their header, the date and batch-code replies and the link
// test pattern.
//
// What it must cope with: a terminal reads its fields by fixed offsets, so a
// packet field is always exactly 400 characters with its 25 dashes last,
// whatever the rows hold: a long value is cut, a short one padded, and rows
// past the end of the result table are blank, never read.
#include <array>
#include <cstdint>
#include <string>

#include <QDateTime>

#include "engine/engine_state.h"

namespace tarvex {

constexpr int16_t kLitFieldWidth = 40;
constexpr int16_t kPacketFieldWidth = 400;
// Rows per packet field, and per group of three fields.
constexpr int32_t kRowsPerField = 5;
constexpr int32_t kRowsPerGroup = 15;

using ResultRowTable = std::array<std::string, EngineState::ResultRowLimit>;

// Packet field k (1 to 3) of the group starting at firstRow: five rows of 75
// characters each, then 25 dashes.
std::string PacketField(const ResultRowTable& rows, int32_t firstRow, int k);

// "****:" & recordCount "00000" & ":" & rowCount "000" (more digits when the
// number is larger).
std::string PacketHeader(int32_t recordCount, int32_t rowCount);

// text blank-padded (or cut) to width.
std::string FieldText(std::string_view text, size_t width);

// The batch code of "DLOT:": the year's last digit, the day of the year as
// three digits and the hour as two (9 December 2026 at 14:05 gives "634314").
std::string BatchCode(const QDateTime& at);

// The "PADD:" reply for a date n days after at: "PADD:", the general date
// text of that moment, then its date as "mm/dd/yy". A date past the year 9999
// raises error 6 (overflow).
std::string DateAddReply(const QDateTime& at, int32_t days);

// The link test: "!" and the digits 1234567890 seven times, then 1234567.
std::string LinkTestPattern();

// The numeric value of the leading digits of text (0 when there are none).
int32_t LeadingCount(std::string_view text);

}  // namespace tarvex
