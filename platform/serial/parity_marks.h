#pragma once
// Received bytes with a parity or framing error, as the terminal driver marks
// them.
//
// What it must cope with: on a line with parity the driver can tell a byte
// that arrived damaged (a flipped bit, a framing error, a break), but left to
// itself it hands the damaged byte over as if it were good, and a scale's
// "162.87" becomes "1.0" or "-172.4". Asked to mark them (PARMRK with INPCK),
// it sends a damaged byte X as the three bytes 0xFF 0x00 X, and a good 0xFF
// as 0xFF 0xFF so that it cannot be taken for a mark. A read may end in the
// middle of either sequence.
//
// Policy: a damaged byte becomes ParityReplace ("?"), the character the frame
// step knows as a damaged byte; a doubled 0xFF becomes one 0xFF; every other
// byte passes untouched. The start of a sequence cut off by the end of a read
// is kept and finished by the next read.
#include <string>
#include <string_view>

namespace tarvex {

class ParityMarks {
public:
  // What replaces a byte received with a parity or framing error.
  static constexpr char ParityReplace = '?';

  // The bytes of one read with the driver's marks undone.
  std::string Decode(std::string_view raw);

  // Forgets a sequence left unfinished (the port closed or was set again).
  void Reset() noexcept { pending_ = 0; }

private:
  int pending_ = 0;  // 0: none; 1: 0xFF seen; 2: 0xFF 0x00 seen
};

}  // namespace tarvex
