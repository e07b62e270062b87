#include "platform/serial/line_settings.h"

#include <array>
#include <charconv>
#include <string>
#include <vector>

#include "platform/run_time_error.h"

namespace tarvex {
namespace {

struct BaudEntry {
  int rate;
  speed_t speed;
};

constexpr std::array<BaudEntry, 15> BaudRates{{
    {110, B110},
    {150, B150},
    {200, B200},
    {300, B300},
    {600, B600},
    {1200, B1200},
    {1800, B1800},
    {2400, B2400},
    {4800, B4800},
    {9600, B9600},
    {19200, B19200},
    {38400, B38400},
    {57600, B57600},
    {115200, B115200},
    {230400, B230400},
}};

[[noreturn]] void Refuse(std::string_view text, const char* why) {
  throw RunTimeError(ErrorNumber::InvalidPropertyValue,
                     StandardErrorDescription(ErrorNumber::InvalidPropertyValue) + " (settings \"" +
                         std::string(text) + "\": " + why + ")");
}

bool ParseDigits(std::string_view field, int& value) {
  if (field.empty() || field.size() > 7) return false;
  for (char c : field) {
    if (c < '0' || c > '9') return false;
  }
  std::from_chars(field.data(), field.data() + field.size(), value);
  return true;
}

const BaudEntry* FindBaud(int rate) {
  for (const BaudEntry& entry : BaudRates) {
    if (entry.rate == rate) return &entry;
  }
  return nullptr;
}

}  // namespace

LineSettings ParseSettingsText(std::string_view text) {
  std::vector<std::string_view> fields;
  size_t start = 0;
  while (true) {
    const size_t comma = text.find(',', start);
    fields.push_back(text.substr(start, comma == std::string_view::npos ? std::string_view::npos
                                                                        : comma - start));
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  if (fields.size() != 4) Refuse(text, "four fields expected");

  LineSettings settings;
  if (!ParseDigits(fields[0], settings.BaudRate) || FindBaud(settings.BaudRate) == nullptr) {
    Refuse(text, "unsupported baud rate");
  }
  if (fields[1].size() != 1) Refuse(text, "parity must be one of N, O, E, M, S");
  const char parity = fields[1][0] >= 'a' && fields[1][0] <= 'z'
                          ? static_cast<char>(fields[1][0] - 'a' + 'A')
                          : fields[1][0];
  if (std::string_view("NOEMS").find(parity) == std::string_view::npos) {
    Refuse(text, "parity must be one of N, O, E, M, S");
  }
  settings.Parity = parity;
  if (!ParseDigits(fields[2], settings.DataBits) || settings.DataBits < 5 ||
      settings.DataBits > 8) {
    Refuse(text, "data bits must be 5 to 8");
  }
  if (!ParseDigits(fields[3], settings.StopBits) || settings.StopBits < 1 ||
      settings.StopBits > 2) {
    Refuse(text, "stop bits must be 1 or 2");
  }
  return settings;
}

termios RawAttributes(const LineSettings& settings, int handshaking) {
  termios attributes{};
  cfmakeraw(&attributes);
  attributes.c_cflag |= CLOCAL | CREAD;

  attributes.c_cflag &= ~CSIZE;
  switch (settings.DataBits) {
    case 5: attributes.c_cflag |= CS5; break;
    case 6: attributes.c_cflag |= CS6; break;
    case 7: attributes.c_cflag |= CS7; break;
    default: attributes.c_cflag |= CS8; break;
  }

  attributes.c_cflag &= ~(PARENB | PARODD | CMSPAR);
  switch (settings.Parity) {
    case 'O': attributes.c_cflag |= PARENB | PARODD; break;
    case 'E': attributes.c_cflag |= PARENB; break;
    case 'M': attributes.c_cflag |= PARENB | CMSPAR | PARODD; break;
    case 'S': attributes.c_cflag |= PARENB | CMSPAR; break;
    default: break;
  }
  // Without parity bytes stay bytes. With parity the driver checks it and
  // marks a byte received with a parity or framing error (0xFF 0x00 X, a
  // good 0xFF doubled; platform/serial/parity_marks.h undoes the marks), so a
  // damaged byte is never taken for a good one. A break (IGNBRK and BRKINT
  // are off) is such a byte, or a NUL without parity: never dropped.
  attributes.c_iflag &= ~(INPCK | PARMRK | ISTRIP | IGNPAR | IGNBRK | BRKINT);
  if (settings.Parity != 'N') attributes.c_iflag |= INPCK | PARMRK;

  if (settings.StopBits == 2) {
    attributes.c_cflag |= CSTOPB;
  } else {
    attributes.c_cflag &= ~CSTOPB;
  }

  attributes.c_cflag &= ~CRTSCTS;
  attributes.c_iflag &= ~(IXON | IXOFF | IXANY);
  if (handshaking == 1) attributes.c_iflag |= IXON | IXOFF;
  // The attributes start from zero, and a control character of 0 switches
  // its function off: without these XON/XOFF would be requested but never
  // act. DC1 resumes, DC3 holds the flow.
  attributes.c_cc[VSTART] = 0x11;
  attributes.c_cc[VSTOP] = 0x13;

  attributes.c_cc[VMIN] = 0;
  attributes.c_cc[VTIME] = 0;

  const speed_t speed = FindBaud(settings.BaudRate)->speed;
  cfsetispeed(&attributes, speed);
  cfsetospeed(&attributes, speed);
  return attributes;
}

}  // namespace tarvex
