// The main window's failure boxes: while the program runs, a failure's box is
// opened and nothing waits for it; while the program ends (the main window
// unloads, and the process ends right after), the box waits for the operator,
// or the end would take it down before anyone read it.
#include <gtest/gtest.h>

#include "tests/support/main_window_fixture.h"

namespace tarvex::test {
namespace {

TEST_F(MainWindowTest, aFailureBoxWaitsOnlyWhenItIsTheLastWordBeforeTheEnd) {
  Launch();
  boxes.clear();
  engine.failWith = {{"transmit tick", 57}};
  window->TxTimer_Timer();
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.waitedFor(), 0u) << "a running program waited for a failure's box";

  engine.failWith = {{"terminal closed", 462}, {"channel work released 5", 9}};
  registry.Unload(*window);
  ASSERT_EQ(boxes.shown().size(), 3u);
  EXPECT_EQ(boxes.waitedFor(), 2u) << "a failure while the program ends did not wait for its box";
}

}  // namespace
}  // namespace tarvex::test
