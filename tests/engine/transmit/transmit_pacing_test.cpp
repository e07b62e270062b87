// The pace of the transmit timer: on which ticks a channel's waiting
// characters leave, across the counter's wrap and for unusable settings.
#include "engine/transmit/transmit_pacing.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "publish/scan_values.h"

namespace tarvex {
namespace {

TEST(PassesSince, countsTransmitTicksForwardThroughTheWrap) {
  struct Row {
    int32_t from;
    int32_t to;
    int32_t elapsed;
  };
  // The counter reaches ScanTickWrap + 1 (10,000,000) before it gives 0.
  const Row rows[] = {
      {0, 0, 0},
      {5, 9, 4},
      {ScanTickWrap, ScanTickWrap + 1, 1},
      {ScanTickWrap + 1, 0, 1},
      {ScanTickWrap, 0, 2},
      {ScanTickWrap - 2, 3, 7},
      {0, ScanTickWrap + 1, ScanTickWrap + 1},
      {9, 5, ScanTickWrap - 2},
  };
  for (const Row& row : rows) EXPECT_EQ(PassesSince(row.to, row.from), row.elapsed) << row.from << " -> " << row.to;
}

TEST(NextScanTick, countsUpToTenMillionAndThenGivesZero) {
  const std::pair<int32_t, int32_t> rows[] = {
      {0, 1}, {ScanTickWrap - 1, ScanTickWrap}, {ScanTickWrap, ScanTickWrap + 1}, {ScanTickWrap + 1, 0}};
  for (const auto& [tick, next] : rows) EXPECT_EQ(NextScanTick(tick), next) << tick;
}

// Runs `ticks` timer ticks from `firstTick` over a buffer of `waiting`
// characters, counting as the timer does (NextScanTick), and returns per tick
// how many characters left.
std::vector<size_t> Sent(int32_t interval, int32_t txDelay, size_t waiting, int ticks, int32_t firstTick = 1,
                         int32_t lastTxTick = 0) {
  std::vector<size_t> sent;
  int32_t txTick = firstTick;
  for (int i = 0; i < ticks; ++i) {
    const size_t now = CharactersDue(interval, txDelay, PassesSince(txTick, lastTxTick), waiting);
    if (now > 0) lastTxTick = txTick;
    waiting -= now;
    sent.push_back(now);
    txTick = NextScanTick(txTick);
  }
  return sent;
}

TEST(TransmitPacing, charactersLeaveEveryWholeRatioPlusOneTicks) {
  struct Row {
    int32_t interval;
    int32_t txDelay;
    std::vector<size_t> sent;  // per tick, from tick 1 with the last character at tick 0
  };
  const Row rows[] = {
      {15, 12, {1, 1, 1, 1, 1, 0, 0}},  // ratio 0.8: every tick, 5 characters in 5 ticks
      {15, 15, {0, 1, 0, 1, 0, 1, 0}},  // ratio 1: every second tick
      {15, 30, {0, 0, 1, 0, 0, 1, 0}},  // ratio 2: every third tick
      {15, 40, {0, 0, 1, 0, 0, 1, 0}},  // ratio 2.67: every third tick
      {0, 30, {1, 1, 1, 1, 1, 0, 0}},   // interval 0: due on every tick
      {-5, 30, {1, 1, 1, 1, 1, 0, 0}},
      {15, 0, {5, 0, 0, 0, 0, 0, 0}},   // no pacing: the whole buffer at the next tick
      {15, -1, {5, 0, 0, 0, 0, 0, 0}},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(Sent(row.interval, row.txDelay, 5, 7), row.sent)
        << "interval " << row.interval << ", TxDelay " << row.txDelay;
  }
}

TEST(TransmitPacing, keepsItsPaceAcrossTheCountersWrap) {
  // Ratio 2: the last character left at ScanTickWrap - 1; the next is due
  // three ticks later (ScanTickWrap, ScanTickWrap + 1, then 0), not at once,
  // and the one after it three ticks later again.
  EXPECT_EQ(Sent(15, 30, 3, 8, ScanTickWrap, ScanTickWrap - 1),
            (std::vector<size_t>{0, 0, 1, 0, 0, 1, 0, 0}));
  EXPECT_EQ(Sent(15, 30, 3, 8, ScanTickWrap + 1, ScanTickWrap - 1),
            (std::vector<size_t>{0, 1, 0, 0, 1, 0, 0, 1}));
}

TEST(TransmitPacing, anEmptyBufferSendsNothing) {
  EXPECT_EQ(CharactersDue(15, 12, 100, 0), 0u);
  EXPECT_EQ(CharactersDue(15, 0, 100, 0), 0u);
}

}  // namespace
}  // namespace tarvex
