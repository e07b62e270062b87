#include "engine/frames/checked_protocol.h"

namespace tarvex {

CheckedProtocol CheckProtocol(const ProtocolDefinition& d, int protocol, const ProtocolFaultLog& log) {
  CheckedProtocol checked;
  auto fault = [&](const std::string& what) {
    if (log) log("Protocol: " + std::to_string(protocol) + "  " + what);
  };
  auto character = [&](int32_t code, const char* name) -> std::optional<unsigned char> {
    if (code == 0) return std::nullopt;
    if (code < 0 || code > 255) {
      fault(std::string(name) + " " + std::to_string(code) + " Is Not A Character Code: Taken As None.");
      return std::nullopt;
    }
    return static_cast<unsigned char>(code);
  };

  checked.StreamStartChar = character(d.StreamStartChar < 0 ? 0 : d.StreamStartChar, "StreamStartChar");
  checked.StreamEndChar = character(d.StreamEndChar, "StreamEndChar").value_or('\n');
  if (d.MaxStreamLength < 0) {
    fault("MaxStreamLength " + std::to_string(d.MaxStreamLength) + " Is Below 1: Taken As 48.");
  }
  checked.MaxStreamLength = d.MaxStreamLength > 0 ? static_cast<size_t>(d.MaxStreamLength) : 48;
  if (checked.MaxStreamLength > MaxStreamLengthLimit) {
    fault("MaxStreamLength " + std::to_string(d.MaxStreamLength) + " Is Above " +
          std::to_string(MaxStreamLengthLimit) + ": Taken As " + std::to_string(MaxStreamLengthLimit) + ".");
    checked.MaxStreamLength = MaxStreamLengthLimit;
  }

  auto field = [&](bool enabled, int32_t start, int32_t length, const char* name) {
    FrameField f;
    if (!enabled) return f;
    if (start < 1 || length < 1) {
      fault(std::string(name) + " Field At " + std::to_string(start) + " Length " + std::to_string(length) +
            " Cannot Be Cut: Field Off.");
      return f;
    }
    f.enabled = true;
    f.start = start;
    f.length = length;
    return f;
  };
  checked.Gross = field(d.GrossEnabled, d.GrossStart, d.GrossLength, "Gross");
  checked.Tare = field(d.TareEnabled, d.TareStart, d.TareLength, "Tare");
  checked.Net = field(d.NetEnabled, d.NetStart, d.NetLength, "Net");
  checked.ID = field(d.IDEnabled, d.IDStart, d.IDLength, "ID");

  if (const auto prefix = character(d.CmdStartChar < 0 ? 0 : d.CmdStartChar, "CmdStartChar"))
    checked.CmdPrefix.assign(1, static_cast<char>(*prefix));
  if (d.CmdEndChar == 1310) checked.CmdTerminator = "\r\n";
  else if (const auto end = character(d.CmdEndChar < 0 ? 0 : d.CmdEndChar, "CmdEndChar"))
    checked.CmdTerminator.assign(1, static_cast<char>(*end));

  checked.Status = CompileStatusTable(d, protocol, log);
  return checked;
}

}  // namespace tarvex
