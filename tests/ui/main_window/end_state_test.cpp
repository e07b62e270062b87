// End takes every channel out of service: the bus must not go on showing the
// last weights as good.
#include <gtest/gtest.h>

#include "tests/support/main_window_fixture.h"

namespace tarvex::test {
namespace {

constexpr int16_t Offline = 16;

TEST_F(MainWindowTest, EndShowsEveryChannelItServedOffLineOnTheBusOnce) {
  testing::PtyPair pty;
  ASSERT_TRUE(pty.ok());
  LaunchWithChannelZeroOnPtyAndOPC(pty);
  // Channels 0 and 3 published a good weight (status 0, motion); channel 5
  // was never served.
  engineState.ChannelActive[5] = false;
  engineState.ScaleStatBits[3] = 2;
  for (int ch : {0, 3}) {
    engineState.PubStatBits[ch] = engineState.ScaleStatBits[ch];
    handshake.UpdateActiveX(ValueCode::ScaleStat, ch);
    handshake.CallDeviceUpdateMethod(ch);
  }
  const uint64_t updates0 = devices.At(0)->UpdateSequence();
  const uint64_t updates3 = devices.At(3)->UpdateSequence();
  const uint64_t updates5 = devices.At(5)->UpdateSequence();

  window->cmdEnd_Click();

  EXPECT_EQ(devices.At(0)->CScaleStat(), Offline);
  EXPECT_EQ(devices.At(3)->CScaleStat(), 2 | Offline);
  EXPECT_EQ(devices.At(0)->UpdateSequence(), updates0 + 1);
  EXPECT_EQ(devices.At(3)->UpdateSequence(), updates3 + 1);
  EXPECT_EQ(devices.At(5)->UpdateSequence(), updates5);
  EXPECT_EQ(devices.At(5)->CScaleStat(), 0);
}

}  // namespace
}  // namespace tarvex::test
