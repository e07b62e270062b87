// The box that names a failed terminal call's result: its title, its name
// and its text for every kind of code, and the answer it keeps.
#include <gtest/gtest.h>

#include "tests/ui/keypad/keypad_rig.h"

namespace tarvex::test {
namespace {

TEST(TerminalApiErrorTest, eachCodeGivesItsTitleNameAndText) {
  const struct {
    int16_t code;
    const char* title;
    const char* message;
  } rows[] = {
      {-4, "ZELAPI32.DLL Error",
       "Error Code= ZEL_NO_HEAP_MEMORY\n\rZELAPI32.DLL was unsuccessful in allocating heap memory."},
      {1, "ZELAPI32.DLL Error",
       "Error Code= ZEL_BAD_CONNECT\n\rZELAPI32.DLL was not able to communicate with the PC."},
      {65, "Zelvar Shared Data Access Error",
       "Error Code= ZEL_INVALID_SD_FIELD_NAME\n\rThe Zelvar returned an error status indicating that the shared "
       "data field name in a read or write call was not a valid name."},
      {10060, "Winsock Error",
       "Error Code= WSAETIMEDOUT\n\rConnection timed out. The connected party did not answer in time, or the "
       "connected host failed to respond."},
      {10101, "Winsock Error",
       "Error Code= WSAEDISCON\n\rGraceful shutdown in progress. The remote side has begun to close the "
       "connection."},
      {-3, "Unknown Error", "Error Code= ?\n\rUnknown error occured"},
      {0, "Unknown Error", "Error Code= ?\n\rUnknown error occured"},
      {3, "Unknown Error", "Error Code= ?\n\rUnknown error occured"},
      {66, "Unknown Error", "Error Code= ?\n\rUnknown error occured"},
      {70, "Unknown Error", "Error Code= ?\n\rUnknown error occured"},
  };
  for (const auto& row : rows) {
    KeypadRig rig;
    rig.box.answers = {MsgBoxResult::Retry};
    rig.api.Values().ErrorBoxAnswer = 0;
    rig.api.ReportTerminalApiError(row.code);
    ASSERT_EQ(rig.box.shown.size(), 1u) << row.code;
    EXPECT_EQ(rig.box.shown[0].title, row.title) << row.code;
    EXPECT_EQ(rig.box.shown[0].text, row.message) << row.code;
    EXPECT_EQ(rig.box.shown[0].style, MsgBoxStyle::AbortRetryIgnore | MsgBoxStyle::Exclamation);
    EXPECT_EQ(rig.api.Values().ErrorBoxAnswer, MsgBoxResult::Retry) << row.code;
  }
}

}  // namespace
}  // namespace tarvex::test
