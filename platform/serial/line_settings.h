#pragma once
// The settings text of a serial port, "9600,N,8,1": baud rate, parity, data
// bits and stop bits, separated by commas, parity in either case. A text is
// checked when it is given to a port, so an unusable one fails there with
// error 380 and never later at open time.
//
// Accepted: the baud rates the terminal interface offers from 110 to 230400;
// parity N (none), O (odd), E (even), M (mark), S (space); 5 to 8 data bits;
// 1 or 2 stop bits. Anything else, blanks included, is refused.
#include <termios.h>

#include <string_view>

namespace tarvex {

struct LineSettings {
  int BaudRate = 9600;
  char Parity = 'N';  // upper case: N, O, E, M or S
  int DataBits = 8;
  int StopBits = 1;

  bool operator==(const LineSettings&) const = default;
};

// Raises error 380 naming the text when it is not a usable settings text.
LineSettings ParseSettingsText(std::string_view text);

// The terminal attributes for raw, non-blocking byte I/O with these settings:
// no echo, no line editing, no character translation, reads that return at
// once (VMIN = VTIME = 0), receiver on, modem lines ignored. Handshaking 1
// adds XON/XOFF in both directions. Parity other than N also checks the
// parity of received bytes and marks those received with a parity or framing
// error (INPCK, PARMRK).
termios RawAttributes(const LineSettings& settings, int handshaking);

}  // namespace tarvex
