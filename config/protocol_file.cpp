#include "protocol_file.h"

#include "config/settings_file.h"
#include "platform/run_time_error.h"

namespace tarvex {

namespace {

struct DataField {
  int32_t ProtocolDefinition::*start;
  int32_t ProtocolDefinition::*length;
  bool ProtocolDefinition::*enabled;
  const char* names[3];
};

constexpr DataField DataFields[] = {
    {&ProtocolDefinition::GrossStart, &ProtocolDefinition::GrossLength, &ProtocolDefinition::GrossEnabled,
     {"GrossStart", "GrossLength", "GrossEnabled"}},
    {&ProtocolDefinition::TareStart, &ProtocolDefinition::TareLength, &ProtocolDefinition::TareEnabled,
     {"TareStart", "TareLength", "TareEnabled"}},
    {&ProtocolDefinition::NetStart, &ProtocolDefinition::NetLength, &ProtocolDefinition::NetEnabled,
     {"NetStart", "NetLength", "NetEnabled"}},
    {&ProtocolDefinition::IDStart, &ProtocolDefinition::IDLength, &ProtocolDefinition::IDEnabled,
     {"IDStart", "IDLength", "IDEnabled"}},
};

constexpr const char* CommandColumnNames[] = {"definition", "name", "value"};
constexpr const char* StatusColumnNames[] = {"status definition", "DDE field", "first position",
                                             "field length",      "mask or value", "enabled mark"};

std::string CommandFieldName(int k, int column) {
  return "ProtocolCommands(" + std::to_string(k) + ", " + std::to_string(column) + ") " + CommandColumnNames[column];
}
std::string CommandEnabledName(int k) { return "CommandEnabled(" + std::to_string(k) + ")"; }
std::string StatusFieldName(int row, int column) {
  return "StatusData(" + std::to_string(row) + ", " + std::to_string(column) + ") " + StatusColumnNames[column];
}

DataCell& Status(ProtocolDefinition& p, int row, int column) {
  return p.StatusData[static_cast<size_t>(row)][static_cast<size_t>(column)];
}
const DataCell& Status(const ProtocolDefinition& p, int row, int column) {
  return p.StatusData[static_cast<size_t>(row)][static_cast<size_t>(column)];
}

}  // namespace

void ResetDataFields(ProtocolDefinition& protocol) {
  for (const DataField& f : DataFields) {
    protocol.*f.start = 0;
    protocol.*f.length = 0;
    protocol.*f.enabled = false;
  }
  protocol.MaxStreamLength = 48;
}

std::string FormatProtocolFile(const ProtocolDefinition& p, const std::string& path) {
  SettingsWriter w(path);
  w.Long(p.ProtocolHeader);
  w.Long(p.StreamStartChar);
  w.Long(p.StreamEndChar);
  for (const DataField& f : DataFields) {
    w.Long(p.*f.start);
    w.Long(p.*f.length);
    w.Boolean(p.*f.enabled);
  }
  w.Long(p.CmdStartChar);
  w.Long(p.CmdEndChar);
  w.Long(p.MaxStreamLength);
  w.EndLine();

  for (int k = 0; k < CommandsPerProtocol; ++k) {
    const CommandEntry& command = p.Commands[static_cast<size_t>(k)];
    for (int c = 0; c < 3; ++c) w.Text(command.ProtocolCommands[static_cast<size_t>(c)], CommandFieldName(k, c));
    w.Boolean(command.CommandEnabled);
  }
  for (int row = 0; row < StatusFileRows; ++row) {
    for (int c = 0; c < StatusFileColumns; ++c) w.Cell(Status(p, row, c), StatusFieldName(row, c));
    w.EndLine();
  }
  return w.bytes();
}

void ParseProtocolFile(std::string_view bytes, const std::string& path, ProtocolDefinition& p) {
  SettingsReader r(path, bytes);
  p.ProtocolHeader = r.Long("ProtocolHeader");
  p.StreamStartChar = r.Long("StreamStartChar");
  p.StreamEndChar = r.Long("StreamEndChar");
  for (const DataField& f : DataFields) {
    p.*f.start = r.Long(f.names[0]);
    p.*f.length = r.Long(f.names[1]);
    p.*f.enabled = r.Boolean(f.names[2]);
  }
  p.CmdStartChar = r.Long("CmdStartChar");
  p.CmdEndChar = r.Long("CmdEndChar");
  p.MaxStreamLength = r.Long("MaxStreamLength");

  for (int k = 0; k < CommandsPerProtocol; ++k) {
    CommandEntry& command = p.Commands[static_cast<size_t>(k)];
    for (int c = 0; c < 3; ++c) command.ProtocolCommands[static_cast<size_t>(c)] = r.Text(CommandFieldName(k, c));
    command.CommandEnabled = r.Boolean(CommandEnabledName(k));
  }

  for (int row = 0; row < StatusFileRows; ++row) {
    for (int c = 0; c < StatusFileColumns; ++c) Status(p, row, c) = DataCell::Text("");
  }
  p.StatusFirstEmpty = -1;
  for (int row = 0; !r.AtEnd(); ++row) {
    if (row >= StatusRows) {
      throw RunTimeError(ErrorNumber::SubscriptOutOfRange,
                         StandardErrorDescription(ErrorNumber::SubscriptOutOfRange) + ": " + path +
                             ": more than " + std::to_string(StatusRows) + " status rows");
    }
    std::array<DataCell, StatusFileColumns> cells;
    for (int c = 0; c < StatusFileColumns; ++c) cells[static_cast<size_t>(c)] = r.Cell(StatusFieldName(row, c));
    for (int c = 0; c < StatusFileColumns; ++c) Status(p, row, c) = std::move(cells[static_cast<size_t>(c)]);
    DataCell& definition = Status(p, row, 0);
    if (definition.isEmpty()) definition = DataCell::Text("");
    if (definition == DataCell::Text("") && p.StatusFirstEmpty < 0) p.StatusFirstEmpty = row;
  }
}

}  // namespace tarvex
