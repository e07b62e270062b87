#include "engine/frames/frame_cutter.h"

#include <algorithm>
#include <cstring>

namespace tarvex {

namespace {

// The last position of byte in text[0, end), or npos.
size_t LastOf(const std::string& text, unsigned char byte, size_t end) {
  const void* found = end == 0 ? nullptr : ::memrchr(text.data(), byte, end);
  return found ? static_cast<size_t>(static_cast<const char*>(found) - text.data()) : std::string::npos;
}

}  // namespace

FrameCutter::FrameCutter(std::optional<unsigned char> startChar, unsigned char terminator, size_t maxLength)
    : startChar_(startChar), terminator_(terminator), maxLength_(maxLength < 1 ? 1 : maxLength) {
  // Room for a full buffer and one read, up to a size any line fills quickly;
  // a larger cap grows the buffer as bytes come.
  buffer_.reserve(std::min(maxLength_, size_t{4096}) * 2);
}

void FrameCutter::Append(std::string_view piece) {
  buffer_.append(piece);
  if (buffer_.size() > maxLength_) {
    const size_t drop = buffer_.size() - maxLength_;
    // The kept bytes start at a frame boundary only when a terminator was the
    // last byte dropped.
    startIsBoundary_ = static_cast<unsigned char>(buffer_[drop - 1]) == terminator_;
    buffer_.erase(0, drop);
  }
}

bool FrameCutter::CutNewest(std::string& frame) {
  const size_t last = LastOf(buffer_, terminator_, buffer_.size());
  if (last == std::string::npos) return false;

  bool found = false;
  for (size_t end = last; end != std::string::npos;) {
    const size_t previous = LastOf(buffer_, terminator_, end);
    const size_t begin = previous == std::string::npos ? 0 : previous + 1;
    size_t from = std::string::npos;
    if (startChar_) {
      const void* start = ::memchr(buffer_.data() + begin, *startChar_, end + 1 - begin);
      if (start) from = static_cast<size_t>(static_cast<const char*>(start) - buffer_.data());
    } else if (previous != std::string::npos || startIsBoundary_) {
      from = begin;
    }
    if (from != std::string::npos) {
      frame.assign(buffer_, from, end + 1 - from);
      if (const size_t cr = frame.find('\r'); cr != std::string::npos) frame[cr] = ' ';
      found = true;
      break;
    }
    end = previous;
  }
  if (last + 1 == buffer_.size()) buffer_.clear();
  else buffer_.erase(0, last + 1);
  startIsBoundary_ = true;
  return found;
}

void FrameCutter::Clear() {
  buffer_.clear();
  startIsBoundary_ = false;
}

}  // namespace tarvex
