#include "publish/bus/wire_signal.h"

#include <dbus/dbus.h>

#include <bit>
#include <cstring>

namespace tarvex::bus {

namespace {

static_assert(std::endian::native == std::endian::little, "the wire format is written in the host's byte order");

// The header fields a signal carries, by their codes in the wire format.
enum HeaderField : uint8_t { Path = 1, Interface = 2, Member = 3, SignatureField = 8 };
constexpr char LittleEndian = 'l';
constexpr uint8_t SignalType = 4;
constexpr uint8_t NoReplyExpected = 0x1;
constexpr uint8_t ProtocolVersion = 1;

void AlignTo(std::string& bytes, size_t boundary) {
  bytes.append((boundary - bytes.size() % boundary) % boundary, '\0');
}

template <typename T>
void Put(std::string& bytes, T value) {
  char raw[sizeof(T)];
  std::memcpy(raw, &value, sizeof(T));
  bytes.append(raw, sizeof(T));
}

template <typename T>
void PutAt(std::string& bytes, size_t offset, T value) {
  std::memcpy(bytes.data() + offset, &value, sizeof(T));
}

// A string or object path: its length, its bytes and a NUL.
void PutText(std::string& bytes, std::string_view text) {
  AlignTo(bytes, 4);
  Put(bytes, static_cast<uint32_t>(text.size()));
  bytes.append(text);
  bytes.push_back('\0');
}

// One header field: a struct of the code and a variant of the value.
void PutField(std::string& bytes, HeaderField code, char type, std::string_view value) {
  AlignTo(bytes, 8);
  bytes.push_back(static_cast<char>(code));
  bytes.push_back('\1');
  bytes.push_back(type);
  bytes.push_back('\0');
  if (type == DBUS_TYPE_SIGNATURE) {
    bytes.push_back(static_cast<char>(value.size()));
    bytes.append(value);
    bytes.push_back('\0');
  } else {
    PutText(bytes, value);
  }
}

}  // namespace

void WireSignal::Align(size_t boundary) { AlignTo(body_, boundary); }

template <typename T>
void WireSignal::Fixed(char code, T value) {
  Align(sizeof(T));
  Put(body_, value);
  signature_.push_back(code);
}

WireSignal& WireSignal::Uint64(uint64_t value) {
  Fixed(DBUS_TYPE_UINT64, value);
  return *this;
}

WireSignal& WireSignal::Int32(int32_t value) {
  Fixed(DBUS_TYPE_INT32, value);
  return *this;
}

WireSignal& WireSignal::Int16(int16_t value) {
  Fixed(DBUS_TYPE_INT16, value);
  return *this;
}

WireSignal& WireSignal::Double(double value) {
  Fixed(DBUS_TYPE_DOUBLE, value);
  return *this;
}

WireSignal& WireSignal::String(std::string_view utf8) {
  PutText(body_, utf8.substr(0, utf8.find('\0')));
  signature_.push_back(DBUS_TYPE_STRING);
  return *this;
}

WireSignal& WireSignal::AnsiString(std::string_view ansi) {
  std::string utf8;
  utf8.reserve(ansi.size());
  for (const char c : ansi) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      utf8.push_back(c);
    } else {
      utf8.push_back(static_cast<char>(0xC0 | (byte >> 6)));
      utf8.push_back(static_cast<char>(0x80 | (byte & 0x3F)));
    }
  }
  return String(utf8);
}

std::string WireSignal::Bytes(std::string_view path, std::string_view interfaceName, std::string_view member,
                              uint32_t serial) const {
  std::string bytes;
  bytes.reserve(128 + body_.size());
  bytes.push_back(LittleEndian);
  bytes.push_back(static_cast<char>(SignalType));
  bytes.push_back(static_cast<char>(NoReplyExpected));
  bytes.push_back(static_cast<char>(ProtocolVersion));
  Put(bytes, static_cast<uint32_t>(body_.size()));
  Put(bytes, serial);
  const size_t fieldsLengthAt = bytes.size();
  Put(bytes, uint32_t{0});
  const size_t fieldsStart = bytes.size();  // 16: already on an 8-byte boundary
  PutField(bytes, Path, DBUS_TYPE_OBJECT_PATH, path);
  PutField(bytes, Interface, DBUS_TYPE_STRING, interfaceName);
  PutField(bytes, Member, DBUS_TYPE_STRING, member);
  if (!signature_.empty()) PutField(bytes, SignatureField, DBUS_TYPE_SIGNATURE, signature_);
  PutAt(bytes, fieldsLengthAt, static_cast<uint32_t>(bytes.size() - fieldsStart));
  AlignTo(bytes, 8);
  bytes.append(body_);
  return bytes;
}

DBusMessage* WireSignal::NewMessage(std::string_view path, std::string_view interfaceName,
                                    std::string_view member) const {
  // A signature is at most 255 bytes on the wire.
  if (signature_.size() > 255) return nullptr;
  const std::string bytes = Bytes(path, interfaceName, member);
  DBusError error;
  dbus_error_init(&error);
  DBusMessage* read = dbus_message_demarshal(bytes.data(), static_cast<int>(bytes.size()), &error);
  dbus_error_free(&error);
  if (read == nullptr) return nullptr;
  // A message read from the wire keeps the serial it was read with; its copy
  // has none, so the connection gives it the next of its own as it sends it.
  DBusMessage* unnumbered = dbus_message_copy(read);
  dbus_message_unref(read);
  return unnumbered;
}

}  // namespace tarvex::bus
