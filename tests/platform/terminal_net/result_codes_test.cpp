#include "platform/terminal_net/result_codes.h"

#include <gtest/gtest.h>

namespace tarvex {
namespace {

struct RowCase {
  int16_t code;
  std::string_view name;
  std::string_view title;
  std::string_view textStart;
};

TEST(TerminalResultCodes, eachKnownCodeHasItsNameTitleAndText) {
  const RowCase cases[] = {
      {1, "ZEL_BAD_CONNECT", "ZELAPI32.DLL Error",
       "ZELAPI32.DLL was not able to communicate with the PC."},
      {-1, "ZEL_TOO_MANY_PROCESSES", "ZELAPI32.DLL Error",
       "Only one process at a time may be registered with ZELAPI32.DLL.  There was"},
      {-4, "ZEL_NO_HEAP_MEMORY", "ZELAPI32.DLL Error", "ZELAPI32.DLL was unsuccessful"},
      {65, "ZEL_INVALID_SD_FIELD_NAME", "Zelvar Shared Data Access Error", "The Zelvar returned"},
      {69, "ZEL_SD_WRITE_NOT_ALLOWED", "Zelvar Shared Data Access Error",
       "Writing to particular shared data fields is not allowed. This is particularly true when "
       "the Zelvar 'legal for trade' jumper is on."},
      {10022, "WSAEINVAL", "Winsock Error", "Some invalid argument was supplied"},
      {10060, "WSAETIMEDOUT", "Winsock Error", "Connection timed out."},
      {10061, "WSAECONNREFUSED", "Winsock Error", "Connection refused."},
      {10101, "WSAEDISCON", "Winsock Error", "Graceful shutdown in progress."},
      {11004, "WSANO_DATA", "Winsock Error", "Valid name, no data record of requested type."},
  };
  for (const RowCase& c : cases) {
    SCOPED_TRACE(c.code);
    const TerminalResultInfo& row = LookUpTerminalResult(c.code);
    EXPECT_EQ(row.name, c.name);
    EXPECT_EQ(row.title, c.title);
    EXPECT_EQ(row.text.substr(0, c.textStart.size()), c.textStart);
  }
}

TEST(TerminalResultCodes, codesWithoutARowAreTheUnknownError) {
  for (int16_t code : {-3, 0, 3, 66, 70, 10000, 10062, -32768}) {
    SCOPED_TRACE(code);
    const TerminalResultInfo& row = LookUpTerminalResult(code);
    EXPECT_EQ(row.name, "?");
    EXPECT_EQ(row.title, "Unknown Error");
    EXPECT_EQ(row.text, "Unknown error occured");
  }
}

TEST(TerminalResultCodes, messageJoinsNameAndTextWithLineFeedThenCarriageReturn) {
  EXPECT_EQ(TerminalResultMessage(1),
            "Error Code= ZEL_BAD_CONNECT\n\rZELAPI32.DLL was not able to communicate with the PC.");
  EXPECT_EQ(TerminalResultMessage(70), "Error Code= ?\n\rUnknown error occured");
}

}  // namespace
}  // namespace tarvex
