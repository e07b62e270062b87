#pragma once
// The one log writer. Each record is appended to one of eight text files in the
// program folder and is on disk when the call returns: the file is opened,
// appended to and closed for every record, with no buffering and no rotation.
#include <string>
#include <string_view>

#include "platform/clock.h"
#include "platform/program_folder.h"

namespace tarvex {

inline constexpr std::string_view ApplicationTitle = "Velmar Orinda Tarvex";

namespace LogKind {
constexpr int Error = 1;
constexpr int Receive = 2;
constexpr int Transmit = 3;
constexpr int Sql = 4;
constexpr int Activity = 5;
constexpr int Opc = 6;
constexpr int Gdi = 7;
constexpr int ActiveX = 8;
}  // namespace LogKind

class LogWriter {
public:
  // The date and time of each record follow the locale (the system's unless
  // one is given).
  LogWriter(const ProgramFolder& folder, const Clock& clock, QLocale locale = QLocale::system())
      : folder_(folder), clock_(clock), locale_(std::move(locale)) {}
  virtual ~LogWriter() = default;

  // Appends text, " @ ", the general date-time text and CR LF to the kind's
  // file. A failed open or write raises error 75 (or 57 for a write) naming the
  // file; the record is then lost and no descriptor stays open.
  virtual void WriteLog(int kind, std::string_view text);

  // "ErrorLog-" for kind 1 ... "ActiveXLog-" for kind 8, "" for any other kind.
  static std::string_view Prefix(int kind);
  // The full path of a kind's file.
  std::string FileName(int kind) const;

private:
  const ProgramFolder& folder_;
  const Clock& clock_;
  QLocale locale_;
};

}  // namespace tarvex
