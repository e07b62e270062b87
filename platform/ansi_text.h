#pragma once
// Texts of the manager are bytes in the original's ANSI code page (files, logs,
// wire data). They become QStrings only where a person reads or types them.
// Latin-1 maps every byte to one character and back, so any byte round-trips.
#include <QString>
#include <string>
#include <string_view>

namespace tarvex {

inline QString FromAnsi(std::string_view bytes) {
  return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

// Characters outside Latin-1 become "?": they cannot exist in the code page.
inline std::string ToAnsi(const QString& text) {
  const QByteArray bytes = text.toLatin1();
  return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

// The text without leading and trailing blanks (spaces only, as the original's
// Trim took them).
inline std::string TrimBlanks(std::string_view text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

}  // namespace tarvex
