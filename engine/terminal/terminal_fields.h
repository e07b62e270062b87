#pragma once
// Reading and writing a terminal's shared-data fields for the scan's terminal
// steps, and what happens to a channel whose terminal does not answer.
//
// What it must cope with: a read leaves the field's text in the buffer ended
// by a NUL, and nothing after it is the field's (a read that gives no NUL
// gives no usable text); a write stores exactly the length given, so a
// shorter text goes out blank-padded.
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/scan_surroundings.h"

namespace tarvex {

struct TerminalFieldText {
  int16_t result = 0;   // ZelApiResult of the read
  bool ended = false;   // the buffer held a NUL
  std::string text;     // the bytes before the NUL (the whole buffer without one)
};

// Reads length characters of the field at path into a blank buffer.
TerminalFieldText ReadTerminalField(TerminalNet& net, std::string_view path, int16_t length);

// Writes text blank-padded (or cut) to length; the network's result.
int16_t WriteTerminalField(TerminalNet& net, std::string_view path, int16_t length, std::string_view text);

// text without its leading and trailing blanks.
std::string TrimBlanks(std::string_view text);

// The spoken warning for a terminal that does not answer (ch 0-based, spoken 1-based).
std::string TerminalNotRespondingSpeech(int32_t ch);

// A failed read of the channel's terminal: status "Network ID Error...", the
// error lamp on, the spoken warning when speech is on, and the channel out of
// service (DeviceEnabled and ChannelActive False) until it is initialised again.
void TakeSilentTerminalOutOfService(ScanSurroundings& s, int32_t ch);

// What the result of a channel's read of its terminal means for the channel.
//
// Policy: only a failure of the terminal takes the channel out of service.
// - A read refused because the registration is not held (-2, after Setup
//   closed it or the network dropped it) marks the registration pending, to
//   be made again at the start of the next pass; the channel stays in
//   service and shows "Initialization Error..." with its error lamp until a
//   read succeeds again ("Ready...").
// - A time-out (10060) is the socket layer's own bound: it counts as a
//   failed read only when the same channel's read timed out in the pass
//   before as well. The socket layer drops its connection on a time-out, so
//   the registration is made again at the start of the next pass; when that
//   try times out too, the read that finds no registration is the channel's
//   second time-out.
// - A read that succeeds shows the registration is held.
// - Any other code (a refused or closed connection, a terminal's error
//   result) counts at once: the channel is taken out of service.
// Each episode writes one error-log line (LogTerminalFault).
enum class TerminalRead { Served, NotServed, OutOfService };
TerminalRead JudgeTerminalRead(ScanSurroundings& s, int32_t ch, std::string_view path, int16_t result);

// One error-log line per episode for a terminal channel: "Channel: " & n &
// "  " & what & ": node " & node & ", " & the path, the result code, its name
// and text (the table of the terminal API's error box), and the socket path
// tried when the network's socket is missing. Later faults of the same kind
// (what) write nothing; a read that succeeds or a new initialisation of the
// channel ends the episode, and a fault of another kind writes its own line.
void LogTerminalFault(ScanSurroundings& s, int32_t ch, std::string_view what, std::string_view path, int16_t result);

}  // namespace tarvex
