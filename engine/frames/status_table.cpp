#include "engine/frames/status_table.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

#include "core/parse_leading_number.h"

namespace tarvex {

namespace {

constexpr std::array<std::pair<std::string_view, int16_t>, 8> DecimalPlaceCodes{{
    {"Decimal Place XXXX00", 2},
    {"Decimal Place XXXXX0", 1},
    {"Decimal Place XXXXXX", 0},
    {"Decimal Place XXXXX.X", -1},
    {"Decimal Place XXXX.XX", -2},
    {"Decimal Place XXX.XXX", -3},
    {"Decimal Place XX.XXXX", -4},
    {"Decimal Place X.XXXXX", -5},
}};

constexpr std::array<std::string_view, 8> OtherUnits{
    "KG", "Grams", "Metric Tons", "Ounces", "Troy Ounces", "Penny Weight", "Tons", "Custom Units"};

std::string Upper(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// What a row does when it matches, or nothing when it has no effect.
std::optional<StatusRow> EffectOf(std::string_view definition, std::string_view category, bool bitRow) {
  StatusRow row;
  const std::string cat = Upper(category);
  // A text row that marks where a weight field lies does nothing, whatever its category.
  if (!bitRow) {
    const std::string marker = Upper(definition);
    if (marker == "=> GROSS" || marker == "<= GROSS" || marker == "=> NET" || marker == "<= NET") return std::nullopt;
  }
  if (cat == "1 / MOTION") {
    if (definition == "Motion") { row.effect = StatusEffect::Motion; row.bits = ScaleStatBit::Motion; return row; }
    if (definition == "Stable") { row.effect = StatusEffect::Stable; return row; }
  } else if (cat == "2 / MODE") {
    if (definition == "Gross Mode") { row.effect = StatusEffect::GrossMode; return row; }
    if (definition == "Net Mode") { row.effect = StatusEffect::NetMode; row.bits = ScaleStatBit::NetMode; return row; }
  } else if (cat == "3 / UNITS") {
    if (definition == "LB") {
      row.effect = StatusEffect::Units; row.text = "LB"; row.bits = ScaleStatBit::UnitsLB; return row;
    }
    if (std::find(OtherUnits.begin(), OtherUnits.end(), definition) != OtherUnits.end()) {
      row.effect = StatusEffect::Units; row.text = Upper(definition); return row;
    }
  } else if (cat == "0 / ERROR") {
    row.effect = StatusEffect::Error;
    row.text = Upper(definition);
    if (definition == "Out Of Range") row.bits = ScaleStatBit::OutOfRange;
    return row;
  } else if (cat == "(WEIGHT)" && bitRow) {
    if (const auto code = DecimalPlaceCode(definition)) {
      row.effect = StatusEffect::Decimals; row.decimals = *code; return row;
    }
    if (definition == "Polarity Sign Positive +") { row.effect = StatusEffect::SignPlus; return row; }
    if (definition == "Polarity Sign Negative -") { row.effect = StatusEffect::SignMinus; return row; }
  }
  return std::nullopt;
}

// A cell's number when it is whole and within [low, high].
std::optional<int32_t> WholeNumber(double value, double low, double high) {
  if (!(value >= low && value <= high) || value != std::floor(value)) return std::nullopt;
  return static_cast<int32_t>(value);
}

}  // namespace

std::optional<int16_t> DecimalPlaceCode(std::string_view definition) {
  for (const auto& [text, code] : DecimalPlaceCodes) {
    if (definition == text) return code;
  }
  return std::nullopt;
}

StatusTable CompileStatusTable(const ProtocolDefinition& definition, int protocol, const ProtocolFaultLog& log) {
  StatusTable table;
  const int last = definition.StatusFirstEmpty < 0 ? StatusFileRows - 1
                                                   : std::min<int>(definition.StatusFirstEmpty, StatusFileRows - 1);
  for (int r = 0; r <= last; ++r) {
    const auto& cells = definition.StatusData[static_cast<size_t>(r)];
    if (cells[5].text() != "X") continue;
    const std::string& lengthCell = cells[3].text();
    const std::string& positionCell = cells[2].text();
    const size_t lengthB = lengthCell.find('b');
    const double length = ParseLeadingNumber(std::string_view(lengthCell).substr(0, lengthB));
    const bool bitRow = length < 2;

    std::optional<StatusRow> row = EffectOf(cells[0].text(), cells[1].text(), bitRow);
    if (!row) continue;  // matching or not, it changes nothing

    auto fault = [&](const std::string& what) {
      if (log) log("Protocol: " + std::to_string(protocol) + "  Status Row: " + std::to_string(r) + "  " + what);
    };
    row->row = r;
    row->bitRow = bitRow;

    const size_t positionB = positionCell.find('b');
    const auto position = WholeNumber(
        ParseLeadingNumber(bitRow ? std::string_view(positionCell).substr(0, positionB) : std::string_view(positionCell)),
        1, 1e9);
    if (!position) { fault("Position \"" + positionCell + "\" Is Not A Character Position: Row Skipped."); continue; }
    row->position = *position;

    if (!bitRow) {
      const auto whole = WholeNumber(length, 2, 1e9);
      if (!whole) { fault("Length \"" + lengthCell + "\" Is Not A Whole Number: Row Skipped."); continue; }
      row->length = *whole;
      row->compareText = cells[4].text();
      if (row->compareText.size() != static_cast<size_t>(row->length)) {
        fault("Compare Value \"" + row->compareText + "\" Is Not " + std::to_string(row->length) +
              " Characters Long: Row Skipped.");
        continue;
      }
      table.rows.push_back(std::move(*row));
      continue;
    }

    if (!WholeNumber(length, 1, 1)) { fault("Length \"" + lengthCell + "\" Is Below 1: Row Skipped."); continue; }
    int width = 7;
    if (lengthB != std::string::npos) {
      if (!IsDigit(lengthCell.back())) { fault("Bit Width Of \"" + lengthCell + "\" Is Not A Digit: Row Skipped."); continue; }
      width = lengthCell.back() - '0';
    }
    int start = 0;
    if (positionB != std::string::npos) {
      if (!IsDigit(positionCell.back())) { fault("Start Bit Of \"" + positionCell + "\" Is Not A Digit: Row Skipped."); continue; }
      start = positionCell.back() - '0';
    }
    const int top = start + width - 1;
    unsigned mask = 255;
    for (int k = 0; k <= 7; ++k) {
      if ((k <= 6 && k < start) || k > top) mask &= ~(1u << k);
    }
    row->mask = static_cast<uint8_t>(mask);
    const auto compare = WholeNumber(ParseLeadingNumber(cells[4].text()), 0, 255);
    if (!compare || (static_cast<unsigned>(*compare) & ~mask) != 0) {
      fault("Compare Value \"" + cells[4].text() + "\" Cannot Match Mask " + std::to_string(mask) + ": Row Skipped.");
      continue;
    }
    row->compareCode = static_cast<uint8_t>(*compare);
    table.rows.push_back(std::move(*row));
  }
  return table;
}

StatusReading ParseStatusData(std::string_view frame, const StatusTable& table) {
  StatusReading reading;
  bool unitsFound = false;
  const size_t length = frame.size();
  for (const StatusRow& row : table.rows) {
    const size_t position = static_cast<size_t>(row.position);
    if (row.bitRow) {
      // A character beyond the frame reads as code 0 and is still compared.
      const unsigned code = length >= position + 1 ? static_cast<unsigned char>(frame[position - 1]) : 0u;
      if ((code & row.mask) != row.compareCode) continue;
    } else {
      const size_t fieldLength = static_cast<size_t>(row.length);
      if (length < position + fieldLength) continue;
      if (std::memcmp(frame.data() + position - 1, row.compareText.data(), fieldLength) != 0) continue;
    }
    switch (row.effect) {
      case StatusEffect::Motion: reading.InMotion = true; break;
      case StatusEffect::Stable: reading.InMotion = false; break;
      case StatusEffect::GrossMode: reading.WeightMode = "GROSS"; break;
      case StatusEffect::NetMode: reading.WeightMode = "NET"; break;
      case StatusEffect::Units:
        if (unitsFound) continue;
        unitsFound = true;
        reading.UnitsText = row.text;
        break;
      case StatusEffect::Error: reading.ErrorText = row.text; break;
      case StatusEffect::Decimals: reading.WeightDecimals = row.decimals; break;
      case StatusEffect::SignPlus: reading.WeightSign = "+"; break;
      case StatusEffect::SignMinus: reading.WeightSign = "-"; break;
    }
    reading.ScaleStatBits = static_cast<int16_t>(reading.ScaleStatBits | row.bits);
  }
  return reading;
}

}  // namespace tarvex
