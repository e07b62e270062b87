// The OPC item store of a running manager keeps current values only: with OPC
// ticked on busy channels for days it must not grow with every write.
#include <gtest/gtest.h>

#include <new>

#include "platform/opc/opc_item_store.h"
#include "tests/support/failing_allocations.h"

namespace tarvex {
namespace {

TEST(OpcItemStoreMemory, AMillionWritesAllocateNothing) {
  OpcItemStore store;
  for (int32_t ch = 0; ch < 32; ++ch) {
    for (int position = 0; position < 7; ++position) store.AddItem(ch, position, "W" + std::to_string(position));
  }
  // From here on any allocation throws: a store that kept its writes would
  // need memory for them.
  bool allocated = false;
  test::AllocationsFail = true;
  try {
    for (int write = 0; write < 1'000'000; ++write) {
      store.SetItemValue(write % 32, static_cast<int16_t>(write % 7), write * 0.5);
    }
  } catch (const std::bad_alloc&) {
    allocated = true;
  }
  test::AllocationsFail = false;
  EXPECT_FALSE(allocated);
  EXPECT_EQ(store.ItemValue(999'999 % 32, 999'999 % 7), 999'999 * 0.5);
}

}  // namespace
}  // namespace tarvex
