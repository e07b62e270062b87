#pragma once
// Terminal scale data: a channel with a scale protocol on the terminal
// network reads its terminal's gross-weight field once per pass and publishes
// it as the channel's gross value (ReadTerminalGross).
//
// What it must cope with: the read leaves the weight in a 12-byte buffer
// ended by a NUL, with blanks around it; whatever follows the NUL is not the
// field's. A terminal that does not answer holds up every pass.
//
// Policy: the text is cut at its first NUL, then trimmed of blanks, and
// published as it stands (no number formatting). A failed read takes the
// channel out of service (status, error lamp on, enabled lamp off, spoken
// warning) until the channel is initialised again; a read refused while the
// registration is pending, and a single time-out, do not
// (JudgeTerminalRead, terminal_fields.h).
#include <cstdint>

#include "engine/engine_steps.h"
#include "engine/scan_surroundings.h"

namespace tarvex {

constexpr int16_t kWeightFieldWidth = 12;

class TerminalScaleData final : public ChannelStep {
public:
  explicit TerminalScaleData(ScanSurroundings& services) : s_(services) {}
  void Serve(int32_t ch) override { ReadTerminalGross(ch); }
  void ReadTerminalGross(int32_t ch);

private:
  ScanSurroundings& s_;
};

}  // namespace tarvex
