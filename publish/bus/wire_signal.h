#pragma once
// A bus signal written straight into the bus's wire format.
//
// Building a message argument by argument through the bus library rewrites
// its signature header field after every argument; for the ten arguments of a
// CUpdate that costs several times what the rest of sending it does, and one
// is sent for every frame a scale publishes. A signal is written here instead,
// in the exact bytes the library itself would produce (little-endian, the
// no-reply flag set as the library sets it on every signal), and handed to the
// library whole, which checks it as it reads any message.
#include <cstdint>
#include <string>
#include <string_view>

struct DBusMessage;

namespace tarvex::bus {

class WireSignal {
public:
  WireSignal& Uint64(uint64_t value);  // 't'
  WireSignal& Int32(int32_t value);    // 'i'
  WireSignal& Int16(int16_t value);    // 'n'
  WireSignal& Double(double value);    // 'd'
  // 's': the text as UTF-8, up to its first NUL (as a C string is sent).
  WireSignal& String(std::string_view utf8);
  // 's' from the manager's ANSI bytes (Latin-1), as FromAnsi would read them.
  WireSignal& AnsiString(std::string_view ansi);

  const std::string& Signature() const { return signature_; }

  // The whole message with the given serial (never 0 on the wire).
  std::string Bytes(std::string_view path, std::string_view interfaceName, std::string_view member,
                    uint32_t serial = 1) const;

  // The bus library's message for it, with no serial yet, so the connection
  // numbers it as it sends it; nullptr when the library refuses it (a path or
  // name that is not valid, a signature over 255 types) or has no memory. The
  // caller owns the reference.
  DBusMessage* NewMessage(std::string_view path, std::string_view interfaceName, std::string_view member) const;

private:
  void Align(size_t boundary);
  template <typename T>
  void Fixed(char code, T value);

  std::string body_;
  std::string signature_;
};

}  // namespace tarvex::bus
