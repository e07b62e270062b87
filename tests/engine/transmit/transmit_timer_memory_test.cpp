// The transmit timer when memory runs out in the middle of a tick: the tick
// ends normally (it is the timer event, nothing may leave it), the channel's
// queue is dropped, and the next tick works again.
#include <gtest/gtest.h>

#include "tests/support/failing_allocations.h"
#include "tests/support/serial_db_request_step_fixture.h"

namespace tarvex {
namespace {

using test::AllocationsFail;

TEST(TransmitTimerOutOfMemory, theTickEndsNormallyDropsTheQueueAndTheNextTickSends) {
  SerialDBFixture f(kSqliteDriver, 12);
  ASSERT_TRUE(f.pty.ok());
  f.engine.TxBuffer[0] = "lost";
  AllocationsFail = true;
  f.timer.TxTimer_Timer(SerialDBFixture::Interval);  // not even the error can be described
  AllocationsFail = false;
  EXPECT_EQ(f.engine.TxBuffer[0], "");

  f.engine.TxBuffer[0] = "ok";
  EXPECT_EQ(f.Transmitted(2), "ok");
}

}  // namespace
}  // namespace tarvex
