#pragma once
// What the scan's error handler says and does for one error: the class of the
// error number and, for that class, the channel's status texts, the error-log
// line, the reply to a device whose database request failed, the spoken
// warning, the message box and how the pass goes on.
//
// What it must cope with: errors come from every slice of a pass (database
// engine, port, terminal network, anything else) and carry only a number and a
// description; the operator may have the window in the tray, speech off or
// interactive database errors off, and must then not be interrupted by a
// database error (a port or a critical error interrupts always).
//
// Policy: the classes are number ranges, tested in a fixed order (the table
// below); every number outside them is a critical error. This file only
// describes; the handler in the scan carries the steps out (lamps, log, reply,
// speech, box, port fallback) and guards each step, so that a failing log
// file, speech or port write never stops it from ending the pass.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tarvex {

// Closes the error reply of the serial database service: double quote, LF,
// double quote, "!", double quote, LF.
inline constexpr std::string_view ReplyEnd = "\"\n\"!\"\n";
// The serial database service's error block: the line "ERROR" and the line
// "!" (12 characters).
std::string SerialErrorReply();
// The terminal network's write record: the reply left-aligned in 40 characters.
inline constexpr size_t TerminalRecordLength = 40;
// The settings an invalid port is put back on (with port 1, no handshaking).
inline constexpr std::string_view DefaultPortSettings = "9600,n,8,1";

enum class ScanErrorClass {
  Expression,   // 2400 to 2499: database error case, "SQL" texts
  Database,     // 3000 to 3999: database error case, "DB" texts
  RemoteData,   // 40000 to 40999: database error case, "RDO" texts
  PortNotOpen,  // 8012: error lamp off, the pass goes on
  InvalidPort,  // 8002: the port control back on its defaults, channel disabled
  PortInUse,    // 8005: channel disabled
  Critical,     // every other number
};

struct ScanErrorClassRange {
  int32_t First;
  int32_t Last;
  ScanErrorClass Class;
};

// The classes in the order they are tested.
inline constexpr ScanErrorClassRange ScanErrorClasses[] = {
    {2400, 2499, ScanErrorClass::Expression},   {3000, 3999, ScanErrorClass::Database},
    {40000, 40999, ScanErrorClass::RemoteData}, {8012, 8012, ScanErrorClass::PortNotOpen},
    {8002, 8002, ScanErrorClass::InvalidPort},  {8005, 8005, ScanErrorClass::PortInUse},
};

ScanErrorClass ClassifyScanError(int32_t number);

// What the handler reads of the channel and the main window.
struct ScanErrorSituation {
  int32_t Channel = 0;       // 0-based; every text shows it plus 1
  int32_t ConnectUsing = 0;  // 0 serial port, 1 terminal network, any other: no reply
  bool ChannelLogEnabled = false;
  bool InteractiveDBErrors = false;
  bool InTray = false;
  bool SpeechEnabled = false;
};

// The answer to a device whose database request failed.
struct ScanErrorReply {
  enum class Route { None, Serial, Terminal };
  Route Via = Route::None;
  // Serial: the 12 bytes for the channel's transmit queue, behind any reply
  // still being paced. Terminal: the 40-character record for the channel's
  // request field.
  std::string Bytes;
  // The transmit-log (kind 3) text; empty when the channel log is off.
  std::string LogText;
};

enum class PortFallback {
  None,
  // 8002: the port gets number 1, DefaultPortSettings and no handshaking, in
  // that order; the channel is disabled.
  RestoreDefaultPort,
  // 8005: the channel is disabled; the port is not touched.
  DisableChannel,
};

struct ScanErrorReport {
  ScanErrorClass Class = ScanErrorClass::Critical;
  // Database classes: the status line while the error is handled, and the one
  // it ends with ("Ready..."). Empty: the status line is left alone.
  std::string StatusText;
  std::string FinalStatusText;
  std::string LogLine;  // the error-log (kind 1) line; empty for 8012
  // Port errors: a second error-log line with the port, the device path and
  // the system's reason, as the error's description gives them.
  std::string LogDetail;
  ScanErrorReply Reply;
  std::string Spoken;  // empty: nothing is spoken
  // Empty title: no message box. The box is critical with an OK button; the
  // pass waits for it (database boxes are followed by one turn of the event
  // loop).
  std::string BoxTitle;
  std::string BoxText;
  bool MarkAllCellsDirty = false;
  PortFallback Fallback = PortFallback::None;
};

// The description as it is spoken: each "\" becomes " Backslash, " and each
// ":" becomes " colon, ".
std::string SpeakableDescription(std::string_view description);

ScanErrorReport DescribeScanError(int32_t number, std::string_view description, const ScanErrorSituation& situation);

}  // namespace tarvex
