#pragma once
// The terminal network's result codes: the library's own results, the
// terminals' shared-data results and the socket error numbers the network
// passes through. One table serves the calls (which return the codes), the
// scan engine and the error box (which names and explains them).
//
// Every code has a name, a text and one of three titles; a code that has no
// row is shown as the "Unknown Error" row.
#include <cstdint>
#include <string>
#include <string_view>

namespace tarvex {

// The codes the network layer itself returns.
inline constexpr int16_t ZEL_SUCCESS = 0;
inline constexpr int16_t ZEL_BAD_CONNECT = 1;
inline constexpr int16_t ZEL_INVALID_FIELD = 2;
inline constexpr int16_t ZEL_INVALID_TERMINAL = 4;
inline constexpr int16_t ZEL_TOO_MANY_PROCESSES = -1;
inline constexpr int16_t ZEL_INVALID_PROCESS = -2;
inline constexpr int16_t ZEL_NO_HEAP_MEMORY = -4;
inline constexpr int16_t ZEL_INVALID_SD_FIELD_NAME = 65;
inline constexpr int16_t ZEL_INVALID_BUFFER_LENGTH = 67;
inline constexpr int16_t ZEL_SD_END_OF_FILE = 68;
inline constexpr int16_t ZEL_SD_WRITE_NOT_ALLOWED = 69;
inline constexpr int16_t WSAEMFILE = 10024;
inline constexpr int16_t WSAECONNRESET = 10054;
inline constexpr int16_t WSAETIMEDOUT = 10060;
inline constexpr int16_t WSAECONNREFUSED = 10061;
inline constexpr int16_t WSAEHOSTDOWN = 10064;

struct TerminalResultInfo {
  int16_t code;
  std::string_view name;
  std::string_view text;
  std::string_view title;
};

// The row of code; any code without one (0 included) gives the row titled
// "Unknown Error", named "?".
const TerminalResultInfo& LookUpTerminalResult(int16_t code);

// The error box's message: "Error Code= ", the name, line feed and carriage
// return (in that order), the text.
std::string TerminalResultMessage(int16_t code);

}  // namespace tarvex
