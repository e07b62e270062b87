#pragma once
// The status table of a protocol, checked once when the protocol is loaded,
// and its interpretation of one frame.
//
// What it must cope with: a protocol's status table is up to 100 rows of
// texts typed by a person in the setup dialog: positions with a "b" and a
// start bit ("7b2"), lengths with a "b" and a bit width ("1b3"), compare
// values that are characters or a number, categories in any case, rows
// switched off, and rows that cannot work at all (a position of 0, a "b"
// without a digit after it, a length of 0). A scale sends up to a few hundred
// frames a second on each of 32 channels, and every frame goes through the
// table.
//
// Policy: CompileStatusTable reads the cells once into numbers, masks and
// upper-case categories; each row becomes what it does when it matches, and a
// row that has no effect on any result is left out (so is a text row whose
// definition is "=> GROSS", "<= GROSS", "=> NET" or "<= NET", in any
// category). An enabled row that can never apply (position below 1 or not
// whole, a "b" part not ending in a digit, a length below 1, a text row whose
// compare text is not as long as its length, a bit row whose compare value no
// masked character can give) is skipped, with one error-log line at load
// naming the protocol and the row; a frame then never re-reads a cell and
// never fails on a row. The rows are visited up to and including the first
// row with an empty cell (StatusFirstEmpty), or all 100 when none is empty.
//
// ParseStatusData then applies the rows in table order. The bits are rebuilt
// from 0 for every frame and only ever added to; for motion, mode, error,
// sign and decimal code a later matching row overwrites an earlier one; for
// the units the first matching row wins.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/protocol_definition.h"

namespace tarvex {

// ScaleStatBit values.
namespace ScaleStatBit {
constexpr int16_t OutOfRange = 1;
constexpr int16_t Motion = 2;
constexpr int16_t NetMode = 4;
constexpr int16_t UnitsLB = 8;
constexpr int16_t Offline = 16;
}  // namespace ScaleStatBit

// Where load-time faults of a protocol go: one error-log line each.
using ProtocolFaultLog = std::function<void(const std::string& line)>;

// What one matching row does.
enum class StatusEffect : uint8_t {
  Motion,          // InMotion := True, bit 2
  Stable,          // InMotion := False
  GrossMode,       // WeightMode := "GROSS"
  NetMode,         // WeightMode := "NET", bit 4
  Units,           // first units row only: UnitsText := text (bit 8 when "LB")
  Error,           // ErrorText := text (bit 1 when "Out Of Range")
  Decimals,        // WeightDecimals := code
  SignPlus,        // WeightSign := "+"
  SignMinus,       // WeightSign := "-"
};

struct StatusRow {
  int row = 0;             // the row's number in the table, 0 to 99
  bool bitRow = false;     // length 1: a masked character code; else a text
  int32_t position = 1;    // 1-based
  int32_t length = 1;
  uint8_t mask = 127;      // bit rows
  uint8_t compareCode = 0; // bit rows: the masked code that matches
  std::string compareText; // text rows
  StatusEffect effect = StatusEffect::Stable;
  std::string text;        // Units, Error: the definition in capitals
  int16_t decimals = 0;    // Decimals: the code, 2 to -5
  int16_t bits = 0;        // the ScaleStatBit values the row adds
};

struct StatusTable {
  std::vector<StatusRow> rows;
};

// The checked form of protocol's table. Faults of enabled rows go to log as
// "Protocol: <p>  Status Row: <r>  <what>", one line per row.
StatusTable CompileStatusTable(const ProtocolDefinition& definition, int protocol, const ProtocolFaultLog& log);

// The interpretation of one frame. The texts view either constants or the
// table's own texts, so the result lives as long as the table.
struct StatusReading {
  int16_t ScaleStatBits = 0;
  bool InMotion = false;
  std::string_view WeightMode;      // "GROSS", "NET" or empty
  std::string_view UnitsText;       // the first matching unit in capitals, or empty
  std::string_view ErrorText;       // the last matching error in capitals, or empty
  std::optional<int16_t> WeightDecimals;  // set when a decimal-place row matched
  std::string_view WeightSign;      // "+", "-" or empty

  bool operator==(const StatusReading&) const = default;
};

// frame: the cut frame, terminator included, first carriage return already
// a blank. Bytes are compared as unsigned codes 0 to 255.
StatusReading ParseStatusData(std::string_view frame, const StatusTable& table);

// The decimal-place code of a "Decimal Place ..." definition, or nothing.
std::optional<int16_t> DecimalPlaceCode(std::string_view definition);

}  // namespace tarvex
