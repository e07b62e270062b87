#include "tools/scale_sim/scale_frames.h"

#include <cmath>

#include "engine/frames/number_text.h"

namespace tarvex::sim {

namespace {

const StatusRow* FirstRow(const StatusTable& table, StatusEffect effect, int16_t decimals = 0,
                          std::string_view text = {}) {
  for (const StatusRow& row : table.rows) {
    if (row.effect != effect) continue;
    if (effect == StatusEffect::Decimals && row.decimals != decimals) continue;
    if (effect == StatusEffect::Units && row.text != text) continue;
    return &row;
  }
  return nullptr;
}

void Put(std::string& frame, const StatusRow* row) {
  if (!row) return;
  const size_t at = static_cast<size_t>(row->position) - 1;
  if (row->bitRow) {
    unsigned char& c = reinterpret_cast<unsigned char&>(frame[at]);
    c = static_cast<unsigned char>((c & ~row->mask) | row->compareCode);
  } else {
    frame.replace(at, row->compareText.size(), row->compareText);
  }
}

void PutField(std::string& frame, const FrameField& field, const std::string& text) {
  if (field.enabled) frame.replace(static_cast<size_t>(field.start) - 1, static_cast<size_t>(field.length), text);
}

}  // namespace

ScaleFrameWriter::ScaleFrameWriter(const ProtocolDefinition& definition)
    : protocol_(CheckProtocol(definition, 0, {})) {
  for (const StatusRow& row : protocol_.Status.rows) {
    if (row.effect == StatusEffect::Decimals) reportsDecimals_ = true;
    if (row.effect == StatusEffect::SignMinus) reportsSign_ = true;
    length_ = std::max(length_, static_cast<size_t>(row.position + (row.bitRow ? 0 : row.length - 1)));
  }
  for (const FrameField* f : {&protocol_.Gross, &protocol_.Tare, &protocol_.Net, &protocol_.ID}) {
    if (f->enabled) length_ = std::max(length_, static_cast<size_t>(f->start + f->length - 1));
  }
}

std::string WeightField(double value, int16_t decimals, bool pointInStatus, bool signInStatus, size_t width) {
  const double shown = signInStatus ? std::fabs(value) : value;
  std::string text;
  if (pointInStatus) {
    // The digits the scale sends: a negative code moves the point out of the
    // text, a positive one leaves zeros off the end.
    text = FormatNumber(shown * std::pow(10.0, -decimals), "0");
  } else {
    const int places = decimals < 0 ? -decimals : 0;
    text = FormatNumber(shown, places > 0 ? "0." + std::string(static_cast<size_t>(places), '0') : "0");
  }
  if (text.size() < width) text.insert(0, width - text.size(), ' ');
  return text.substr(text.size() - width);
}

std::string ScaleFrameWriter::Frame(const ScaleReading& r) const {
  std::string frame(length_ + 1, ' ');  // one blank after the last field: fields never end on the terminator
  const StatusTable& table = protocol_.Status;
  // Status characters that rows of a few bits use start as 0x20 with those
  // bits cleared, so a row's compare value alone decides them.
  for (const StatusRow& row : table.rows) {
    if (row.bitRow && row.mask != 127) frame[static_cast<size_t>(row.position) - 1] &= static_cast<char>(~row.mask);
  }
  Put(frame, FirstRow(table, r.motion ? StatusEffect::Motion : StatusEffect::Stable));
  Put(frame, FirstRow(table, r.netMode ? StatusEffect::NetMode : StatusEffect::GrossMode));
  Put(frame, FirstRow(table, StatusEffect::Units, 0, r.units));
  if (r.overRange) {
    for (const StatusRow& row : table.rows) {
      if (row.effect == StatusEffect::Error && (row.bits & ScaleStatBit::OutOfRange)) { Put(frame, &row); break; }
    }
  }
  Put(frame, FirstRow(table, StatusEffect::Decimals, r.decimals));
  const double net = r.gross - r.tare;
  const double shownWeight = r.netMode ? net : r.gross;
  Put(frame, FirstRow(table, shownWeight < 0 ? StatusEffect::SignMinus : StatusEffect::SignPlus));

  auto field = [&](const FrameField& f, double value, bool signed_) {
    if (f.enabled)
      PutField(frame, f, WeightField(value, r.decimals, reportsDecimals_, signed_ && reportsSign_, static_cast<size_t>(f.length)));
  };
  field(protocol_.Gross, r.gross, !r.netMode);
  field(protocol_.Tare, r.tare, false);
  field(protocol_.Net, net, r.netMode);
  if (protocol_.ID.enabled) {
    std::string id = std::to_string(r.id);
    const size_t width = static_cast<size_t>(protocol_.ID.length);
    id.insert(0, id.size() < width ? width - id.size() : 0, '0');
    PutField(frame, protocol_.ID, id.substr(id.size() - width));
  }

  if (protocol_.StreamStartChar) frame[0] = static_cast<char>(*protocol_.StreamStartChar);
  if (protocol_.StreamEndChar == '\n') frame.back() = '\r';
  frame += static_cast<char>(protocol_.StreamEndChar);
  return frame;
}

ProtocolDefinition DemoProtocol() {
  ProtocolDefinition d;
  d.StreamStartChar = 2;
  d.StreamEndChar = 10;
  d.MaxStreamLength = 96;
  d.GrossEnabled = d.TareEnabled = d.NetEnabled = d.IDEnabled = true;
  d.GrossStart = 5;  d.GrossLength = 7;
  d.TareStart = 12;  d.TareLength = 7;
  d.NetStart = 19;   d.NetLength = 7;
  d.IDStart = 26;    d.IDLength = 4;
  d.CmdStartChar = 0;
  d.CmdEndChar = 1310;
  const char* commands[][3] = {{"Z", "Zero", "1"}, {"T", "Tare", "2"}, {"P", "Print", "3"}};
  for (size_t k = 0; k < 3; ++k) {
    for (size_t c = 0; c < 3; ++c) d.Commands[k].ProtocolCommands[c] = commands[k][c];
    d.Commands[k].CommandEnabled = true;
  }
  const char* rows[][6] = {
      {"Gross Mode", "2 / MODE", "2", "1", "71", "X"},    // "G"
      {"Net Mode", "2 / MODE", "2", "1", "78", "X"},      // "N"
      {"Motion", "1 / MOTION", "3", "1", "77", "X"},      // "M"
      {"Stable", "1 / MOTION", "3", "1", "32", "X"},      // blank
      {"Out Of Range", "0 / ERROR", "4", "1", "79", "X"}, // "O"
      {"KG", "3 / UNITS", "30", "2", "kg", "X"},
      {"LB", "3 / UNITS", "30", "2", "lb", "X"},
      {"Decimal Place XXXX00", "(WEIGHT)", "32b0", "1b3", "0", "X"},
      {"Decimal Place XXXXX0", "(WEIGHT)", "32b0", "1b3", "1", "X"},
      {"Decimal Place XXXXXX", "(WEIGHT)", "32b0", "1b3", "2", "X"},
      {"Decimal Place XXXXX.X", "(WEIGHT)", "32b0", "1b3", "3", "X"},
      {"Decimal Place XXXX.XX", "(WEIGHT)", "32b0", "1b3", "4", "X"},
      {"Decimal Place XXX.XXX", "(WEIGHT)", "32b0", "1b3", "5", "X"},
      {"Decimal Place XX.XXXX", "(WEIGHT)", "32b0", "1b3", "6", "X"},
      {"Decimal Place X.XXXXX", "(WEIGHT)", "32b0", "1b3", "7", "X"},
      {"Polarity Sign Positive +", "(WEIGHT)", "32b3", "1b1", "0", "X"},
      {"Polarity Sign Negative -", "(WEIGHT)", "32b3", "1b1", "8", "X"},
  };
  size_t r = 0;
  for (const auto& row : rows) {
    for (size_t c = 0; c < 6; ++c) d.StatusData[r][c] = DataCell::Text(row[c]);
    ++r;
  }
  d.StatusFirstEmpty = static_cast<int32_t>(r);
  return d;
}

}  // namespace tarvex::sim
