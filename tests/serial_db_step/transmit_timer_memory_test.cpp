// The transmit timer when memory runs out in the middle of a tick: the tick
// ends normally (it is the timer event, nothing may leave it), the channel's
// queue is dropped, and the next tick works again. This binary replaces the
// global operator new so that a test can make allocations fail for a while.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "serial_db_step_fixture.h"

namespace {
thread_local bool allocationsFail = false;
}  // namespace

void* operator new(std::size_t size) {
  if (allocationsFail) throw std::bad_alloc();
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace tarvex {
namespace {

TEST(TransmitTimerOutOfMemory, theTickEndsNormallyDropsTheQueueAndTheNextTickSends) {
  SerialDBFixture f(kSqliteDriver, 12);
  ASSERT_TRUE(f.pty.ok());
  f.engine.TxBuffer[0] = "lost";
  allocationsFail = true;
  f.timer.TxTimer_Timer(SerialDBFixture::Interval);  // not even the error can be described
  allocationsFail = false;
  EXPECT_EQ(f.engine.TxBuffer[0], "");

  f.engine.TxBuffer[0] = "ok";
  EXPECT_EQ(f.Transmitted(2), "ok");
}

}  // namespace
}  // namespace tarvex
