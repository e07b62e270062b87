#pragma once
// A protocol definition checked once at load, in the form the frame step uses.
//
// What it must cope with: protocol files are typed by people: a field start
// of 0, a length of 0, a character code of 300 or -1. Read literally such a
// value fails on every frame or every command (a character that does not
// exist, a cut before the first character), long after the protocol was
// loaded and far from the cell that caused it.
//
// Policy: each such value is reported once, as one error-log line naming the
// protocol and the value, when the protocol is loaded, and is then taken as
// the nearest harmless value: an enabled field that cannot be cut is off, a
// character code above 255 is none (the stream terminator: line feed, as
// for 0; a start or command character of 0 or less is none, as always), a
// maximum stream length below 1 is 48, as for 0, and one above
// MaxStreamLengthLimit is that limit: a line without terminator would
// otherwise hold up to 2 GiB per channel. The status table is checked the
// same way (engine/frames/status_table.h).
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "config/protocol_definition.h"
#include "engine/frames/status_table.h"

namespace tarvex {

// A fixed-position frame field that can be cut: start >= 1, length >= 1.
struct FrameField {
  bool enabled = false;
  int32_t start = 1;   // 1-based
  int32_t length = 0;

  // The field when the frame holds it: FrameLength >= start + length, so a
  // field that ends on the terminator is not read.
  std::optional<std::string_view> In(std::string_view frame) const {
    if (!enabled || frame.size() < static_cast<size_t>(start) + static_cast<size_t>(length)) return std::nullopt;
    return frame.substr(static_cast<size_t>(start) - 1, static_cast<size_t>(length));
  }
};

// The largest receive buffer a protocol gets: many frames of any scale.
inline constexpr size_t MaxStreamLengthLimit = 64 * 1024;

struct CheckedProtocol {
  std::optional<unsigned char> StreamStartChar;  // none when 0
  unsigned char StreamEndChar = '\n';
  size_t MaxStreamLength = 48;
  FrameField Gross, Tare, Net, ID;
  std::string CmdPrefix;      // the character of CmdStartChar, or empty
  std::string CmdTerminator;  // CR LF for 1310, the character of CmdEndChar, or empty
  StatusTable Status;
};

// Faults go to log as "Protocol: <p>  <what>", one line each.
CheckedProtocol CheckProtocol(const ProtocolDefinition& definition, int protocol, const ProtocolFaultLog& log);

}  // namespace tarvex
