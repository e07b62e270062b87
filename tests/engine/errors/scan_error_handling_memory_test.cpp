// The scan error handler when memory runs out: it must still return, since
// it may not raise (the pass relies on it to end with its guard cleared).
// Every allocation fails while the handler runs.
#include <gtest/gtest.h>

#include "tests/support/commands_fixture.h"
#include "tests/support/failing_allocations.h"

namespace tarvex {
namespace {

using test::AllocationsFail;

constexpr int32_t Ch = 2;

class OutOfMemory : public ::testing::TestWithParam<int32_t> {};

TEST_P(OutOfMemory, TheHandlerStillReturns) {
  CommandsFixture f;
  for (int32_t ch = 0; ch <= Ch; ++ch) f.ActiveChannel(ch, 0, ConnectionType::PcSerialPort);
  f.config.Channels[Ch].InteractiveDBErrors = true;
  f.startup.ChannelLogEnabled[Ch] = true;
  f.startup.SpeechEnabled = true;
  const RunTimeError error(GetParam(), "Bad thing");

  AllocationsFail = true;
  f.handler.HandleScanError(Ch, error);
  AllocationsFail = false;

  // Reached only when nothing escaped the handler.
  SUCCEED();
}

INSTANTIATE_TEST_SUITE_P(Numbers, OutOfMemory, ::testing::Values(13, 2450, 3022, 40001, 8002, 8005, 8012));

}  // namespace
}  // namespace tarvex
