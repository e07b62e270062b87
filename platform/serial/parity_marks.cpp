#include "platform/serial/parity_marks.h"

namespace tarvex {

std::string ParityMarks::Decode(std::string_view raw) {
  std::string out;
  out.reserve(raw.size());
  for (const char byte : raw) {
    const auto b = static_cast<unsigned char>(byte);
    switch (pending_) {
      case 1:
        if (b == 0xFF) {
          out += byte;  // a good 0xFF, doubled
          pending_ = 0;
        } else if (b == 0x00) {
          pending_ = 2;
        } else {
          // Not a sequence the driver makes: both bytes pass as they came.
          out += '\xFF';
          out += byte;
          pending_ = 0;
        }
        break;
      case 2:
        out += ParityReplace;  // the damaged byte itself is dropped
        pending_ = 0;
        break;
      default:
        if (b == 0xFF) pending_ = 1;
        else out += byte;
        break;
    }
  }
  return out;
}

}  // namespace tarvex
