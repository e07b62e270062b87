// The scan error handler when memory runs out: it must still return, since
// it may not raise (the pass relies on it to end with its guard cleared).
// This program replaces the global allocation so that every allocation fails
// while the handler runs.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "tests/engine_commands/commands_fixture.h"

namespace {
std::atomic<bool> allocationsFail{false};
}  // namespace

void* operator new(std::size_t size) {
  if (allocationsFail.load(std::memory_order_relaxed)) throw std::bad_alloc();
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace tarvex {
namespace {

constexpr int32_t Ch = 2;

class OutOfMemory : public ::testing::TestWithParam<int32_t> {};

TEST_P(OutOfMemory, TheHandlerStillReturns) {
  CommandsFixture f;
  for (int32_t ch = 0; ch <= Ch; ++ch) f.ActiveChannel(ch, 0, ConnectionType::PcSerialPort);
  f.config.Channels[Ch].InteractiveDBErrors = true;
  f.startup.ChannelLogEnabled[Ch] = true;
  f.startup.SpeechEnabled = true;
  const RunTimeError error(GetParam(), "Bad thing");

  allocationsFail = true;
  f.handler.HandleScanError(Ch, error);
  allocationsFail = false;

  // Reached only when nothing escaped the handler.
  SUCCEED();
}

INSTANTIATE_TEST_SUITE_P(Numbers, OutOfMemory, ::testing::Values(13, 2450, 3022, 40001, 8002, 8005, 8012));

}  // namespace
}  // namespace tarvex
