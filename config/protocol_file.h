#pragma once
// The protocol file of one protocol: the definition on the first line, the ten
// commands and status row 0 on the second, status rows 1 to 99 on lines 3 to
// 101 (one row of six cells each).
#include <string>
#include <string_view>

#include "config/protocol_definition.h"

namespace tarvex {

// The twelve data-field values (start, length and enabled of gross, tare, net
// and ID) back to 0 and False, MaxStreamLength to 48; a read starts from there
// and a missing file leaves the protocol so.
void ResetDataFields(ProtocolDefinition& protocol);

// The file's bytes. A text holding a double quote raises error 380 naming path
// and field.
std::string FormatProtocolFile(const ProtocolDefinition& protocol, const std::string& path);

// Reads the file into protocol, which holds what the read starts from: the
// data fields reset, the rest as in memory. Every field of the file is read;
// status rows 0 to 99, columns 0 to 5 are cleared to the empty text first, and
// StatusFirstEmpty names the first row read whose definition is empty, -1 when
// there is none. A damaged file, or more rows than the table holds, raises an
// error naming path and field; protocol is then partly filled and must be
// thrown away.
void ParseProtocolFile(std::string_view bytes, const std::string& path, ProtocolDefinition& protocol);

}  // namespace tarvex
