#pragma once
// The socket protocol between the manager's network client
// (SocketTerminalNet) and tools/terminal-sim.
//
// Every message, both ways, is a frame: a 4-byte little-endian body length
// (at most kMaxFrameBody) and the body. Numbers in a body are little-endian;
// a text is a 4-byte length and its bytes, so NUL and 0xFF pass untouched.
//
// Requests (first body byte names the call), each answered by one reply:
//   'R' i16 processId                               register
//   'C'                                             close
//   'r' i16 length, u32 bufferSize, text path       read
//   'w' i16 length, text path, text bytes           write; bytes are the
//        first min(length, buffer size) bytes of the caller's buffer
//   'k' i16 node, i16 mode, i16 key                 keystroke
// Reply: i16 result; a read adds i16 status and text bytes (what goes to the
// buffer's start; never longer than length).
// A peer that sends a frame longer than the limit or a body that does not
// parse is cut off.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarvex::wire {

inline constexpr uint32_t kMaxFrameBody = 64 * 1024;

inline void PutU32(std::string& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}
inline void PutI16(std::string& out, int16_t v) {
  const auto u = static_cast<uint16_t>(v);
  out.push_back(static_cast<char>(u & 0xFF));
  out.push_back(static_cast<char>(u >> 8));
}
inline void PutText(std::string& out, std::string_view text) {
  PutU32(out, static_cast<uint32_t>(text.size()));
  out.append(text);
}
// body with its length prefix.
inline std::string Frame(std::string_view body) {
  std::string out;
  PutU32(out, static_cast<uint32_t>(body.size()));
  out.append(body);
  return out;
}

// Reads a body front to back; every getter fails (nullopt) past its end.
class BodyReader {
public:
  explicit BodyReader(std::string_view body) : rest_(body) {}
  std::optional<uint8_t> U8() {
    if (rest_.empty()) return std::nullopt;
    const auto v = static_cast<uint8_t>(rest_[0]);
    rest_.remove_prefix(1);
    return v;
  }
  std::optional<uint32_t> U32() {
    if (rest_.size() < 4) return std::nullopt;
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<uint8_t>(rest_[i]);
    rest_.remove_prefix(4);
    return v;
  }
  std::optional<int16_t> I16() {
    if (rest_.size() < 2) return std::nullopt;
    const auto u = static_cast<uint16_t>(static_cast<uint8_t>(rest_[0]) |
                                         (static_cast<uint8_t>(rest_[1]) << 8));
    rest_.remove_prefix(2);
    return static_cast<int16_t>(u);
  }
  std::optional<std::string_view> Text() {
    const auto size = U32();
    if (!size || *size > rest_.size()) return std::nullopt;
    const std::string_view text = rest_.substr(0, *size);
    rest_.remove_prefix(*size);
    return text;
  }
  bool AtEnd() const { return rest_.empty(); }

private:
  std::string_view rest_;
};

// Takes one whole frame's body off the front of pending. nullopt when the
// frame is not complete yet; sets tooLong when its length exceeds the limit.
inline std::optional<std::string> TakeFrame(std::string& pending, bool& tooLong) {
  tooLong = false;
  if (pending.size() < 4) return std::nullopt;
  BodyReader header(std::string_view(pending).substr(0, 4));
  const uint32_t size = *header.U32();
  if (size > kMaxFrameBody) {
    tooLong = true;
    return std::nullopt;
  }
  if (pending.size() < 4 + size) return std::nullopt;
  std::string body = pending.substr(4, size);
  pending.erase(0, 4 + size);
  return body;
}

}  // namespace tarvex::wire
