#pragma once
// The protocol definitions: one per protocol 0 to 42 (42 is never used). 0 is
// the database request service, 1 to LastFixedProtocol (9) the built-in
// formats, 10 to 41 the custom formats 1 to 32.
#include <array>
#include <cstdint>
#include <string>

#include "platform/data_array.h"
#include "platform/run_time_error.h"

namespace tarvex {

constexpr int ProtocolArraySize = 43;
constexpr int CommandsPerProtocol = 10;
constexpr int StatusRows = 101;     // rows 0 to 100; the files carry 0 to 99
constexpr int StatusColumns = 8;    // columns 0 to 7; the files carry 0 to 5
constexpr int StatusFileRows = 100;
constexpr int StatusFileColumns = 6;

// ProtocolCommands(p, k, c) of one command k: columns 0 definition (the
// characters sent; "~" takes the parameter), 1 name, 2 value (the client
// command code that selects it), 3 unused; and CommandEnabled(p, k).
struct CommandEntry {
  std::array<std::string, 4> ProtocolCommands{};
  bool CommandEnabled = false;

  bool operator==(const CommandEntry&) const = default;
};

struct ProtocolDefinition {
  int32_t ProtocolHeader = 0;
  int32_t StreamStartChar = 0;
  int32_t StreamEndChar = 0;
  int32_t GrossStart = 0, GrossLength = 0;
  bool GrossEnabled = false;
  int32_t TareStart = 0, TareLength = 0;
  bool TareEnabled = false;
  int32_t NetStart = 0, NetLength = 0;
  bool NetEnabled = false;
  int32_t IDStart = 0, IDLength = 0;
  bool IDEnabled = false;
  int32_t CmdStartChar = 0;
  int32_t CmdEndChar = 0;  // 0 none, 1310 CR LF, otherwise one character code
  int32_t MaxStreamLength = 0;
  std::array<CommandEntry, CommandsPerProtocol> Commands{};
  // StatusData(p, r, c): rows 0 to 100, columns 0 to 7 (status definition, DDE
  // field, first character position, field length, bit mask or compare value,
  // enabled mark "X").
  std::array<std::array<DataCell, StatusColumns>, StatusRows> StatusData{};
  int32_t StatusFirstEmpty = 0;

  bool operator==(const ProtocolDefinition&) const = default;
};

// The definitions of all protocols; a protocol outside 0 to 42 raises error 9.
class ProtocolTable {
public:
  ProtocolDefinition& operator[](long long protocol) {
    CheckSubscript(protocol, 0, ProtocolArraySize - 1, "protocol");
    return protocols_[static_cast<size_t>(protocol)];
  }
  const ProtocolDefinition& operator[](long long protocol) const {
    CheckSubscript(protocol, 0, ProtocolArraySize - 1, "protocol");
    return protocols_[static_cast<size_t>(protocol)];
  }

  bool operator==(const ProtocolTable&) const = default;

private:
  std::array<ProtocolDefinition, ProtocolArraySize> protocols_{};
};

}  // namespace tarvex
