#pragma once
// The terminal network as the manager calls it: register this process, read
// and write a terminal's shared-data fields by path, send a keystroke to a
// node, and end the registration. Every call returns a 16-bit result, 0 for
// success; any other value is one of the network's result codes.
//
// Paths are "/z" & node & "/" & field ("/z3/wt101"); the field is the part
// after the last "/". Texts are single-byte strings: bytes pass untouched.
//
// Result codes, their names and texts: result_codes.h. Backends:
// SocketTerminalNet (socket_terminal_net.h), the manager's, reaches
// tools/terminal-sim; SimulatedTerminalNet (terminal_simulator.h) answers
// from a simulator in the same process, for tests. One registration serves
// the whole process, so the engine and the keypad share one object.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tarvex {

class TerminalNet {
public:
  virtual ~TerminalNet() = default;

  virtual int16_t ZelRegisterProcess(int16_t processId) = 0;
  virtual int16_t ZelCloseProcess() = 0;
  // Copies at most length - 1 bytes of the field into buffer, then a NUL;
  // the rest of buffer is left as it was. status is the network's own
  // detail of the read.
  virtual int16_t ZelRead(std::string_view path, int16_t length, std::span<char> buffer,
                          int16_t& status) = 0;
  // Stores exactly length bytes of buffer in the field (the field's width at
  // the most).
  virtual int16_t ZelWrite(std::string_view path, int16_t length,
                           std::span<const char> buffer) = 0;
  virtual int16_t ZelSendKeystroke(int16_t node, int16_t mode, int16_t key) = 0;

  // Where the network was sought and not found by the last attempt to reach
  // it (a socket path with no socket file), for the error log; empty when it
  // was found, or when the backend has no such place.
  virtual std::string UnreachedSocket() const { return {}; }
};

}  // namespace tarvex
