#pragma once
// The frames a simulated scale sends, built from a protocol definition.
//
// What it must cope with: every protocol places its fields and its status
// differently, and a status may be characters ("M" for motion) or bits of a
// status character ("3b0" "1b3" holding the decimal position); the frames must
// read back through the manager's own status table exactly as the reading
// that made them.
//
// Policy: a frame is blank-filled up to its last field or status position,
// begins with the start character when the protocol has one and ends with the
// terminator (a CR before a line feed). For each part of the reading the first
// enabled status row that says it is written: a text row's compare text at
// its position, a bit row's compare value into the masked bits of its
// character (other bits of a status character stay as in a blank, the
// few-bit fields 0 until a row sets them). A weight field holds
// the digits without a point when the protocol reports the decimal position,
// the value with its point otherwise; and its absolute value when the protocol
// reports the sign, the value with its own "-" otherwise.
#include <cstdint>
#include <string>

#include "config/protocol_definition.h"
#include "engine/frames/checked_protocol.h"

namespace tarvex::sim {

struct ScaleReading {
  double gross = 0;
  double tare = 0;
  bool netMode = false;
  bool motion = false;
  bool overRange = false;
  int16_t decimals = -2;   // decimal-place code: 2 .. -5
  std::string units = "KG";
  int id = 1;
};

class ScaleFrameWriter {
public:
  explicit ScaleFrameWriter(const ProtocolDefinition& definition);

  std::string Frame(const ScaleReading& reading) const;
  const CheckedProtocol& Protocol() const noexcept { return protocol_; }
  // The protocol reports the decimal position / the sign in its status.
  bool ReportsDecimals() const noexcept { return reportsDecimals_; }
  bool ReportsSign() const noexcept { return reportsSign_; }

private:
  CheckedProtocol protocol_;
  bool reportsDecimals_ = false;
  bool reportsSign_ = false;
  size_t length_ = 0;  // characters before the terminator
};

// The weight as it is written into a field of width characters.
std::string WeightField(double value, int16_t decimals, bool pointInStatus, bool signInStatus, size_t width);

// A sample protocol: start character STX, terminator LF after CR; status in
// characters 2 to 4 ("G"/"N" mode, "M"/blank motion, "O" out of range, as
// character codes),
// gross 5-11, tare 12-18, net 19-25, ID 26-29, units 30-31 ("kg"/"lb");
// decimals and sign in the bits of character 32; commands "Z" (zero), "T"
// (tare) and "P" (print), each ended by CR LF.
ProtocolDefinition DemoProtocol();

}  // namespace tarvex::sim
