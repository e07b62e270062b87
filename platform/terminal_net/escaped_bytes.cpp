#include "platform/terminal_net/escaped_bytes.h"

#include <cctype>
#include <cstdio>

namespace tarvex {

std::string EscapeBytes(std::string_view bytes) {
  std::string out;
  for (unsigned char c : bytes) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\0': out += "\\0"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 32 || c >= 127) {
          char hex[5];
          std::snprintf(hex, sizeof hex, "\\x%02X", c);
          out += hex;
        } else {
          out.push_back(static_cast<char>(c));
        }
    }
  }
  return out;
}

std::string UnescapeBytes(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      out.push_back(text[i]);
      continue;
    }
    const char c = text[++i];
    if (c == '0') out.push_back('\0');
    else if (c == 'n') out.push_back('\n');
    else if (c == 'r') out.push_back('\r');
    else if (c == 't') out.push_back('\t');
    else if (c == 'x' && i + 2 < text.size() && std::isxdigit(static_cast<unsigned char>(text[i + 1])) &&
             std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
      out.push_back(static_cast<char>(std::stoi(std::string(text.substr(i + 1, 2)), nullptr, 16)));
      i += 2;
    } else {
      out.push_back(c);
    }
  }
  return out;
}

}  // namespace tarvex
