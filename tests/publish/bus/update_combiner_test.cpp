// Which CUpdate signals go out when updates come faster than one per object
// every 10 ms, with the clock in the test's hand.
#include "publish/bus/update_combiner.h"

#include <gtest/gtest.h>

namespace tarvex::bus {
namespace {

using Outcome = UpdateCombiner::Outcome;

UpdateCombiner::Update UpdateNumber(uint64_t sequence) {
  UpdateCombiner::Update update;
  update.sequence = sequence;
  update.values.CCmdParm = static_cast<double>(sequence);
  return update;
}

// The sequence numbers TakeDue hands out, as "object:sequence".
std::vector<std::string> Due(UpdateCombiner& combiner, int64_t nowMs) {
  std::vector<std::string> due;
  for (const auto& [index, update] : combiner.TakeDue(nowMs)) {
    due.push_back(std::to_string(index) + ":" + std::to_string(update.sequence));
    EXPECT_EQ(update.values.CCmdParm, static_cast<double>(update.sequence));
  }
  return due;
}

TEST(UpdateCombiner, updatesWithoutReplyWithinTheGapAreHeldAndOnlyTheLatestGoesOutAtItsEnd) {
  UpdateCombiner combiner;
  EXPECT_EQ(combiner.Raise(1, UpdateNumber(1), true, 100), Outcome::SendNow);
  EXPECT_EQ(combiner.Raise(1, UpdateNumber(2), true, 101), Outcome::HeldStartsEpisode);
  EXPECT_EQ(combiner.Raise(1, UpdateNumber(3), true, 105), Outcome::Held);
  EXPECT_EQ(combiner.NextDueMs(), 110);
  EXPECT_TRUE(Due(combiner, 109).empty());
  EXPECT_EQ(Due(combiner, 110), std::vector<std::string>{"1:3"});
  EXPECT_EQ(combiner.NextDueMs(), -1);
  // The gap counts from the held update's going out.
  EXPECT_EQ(combiner.Raise(1, UpdateNumber(4), true, 119), Outcome::Held);
  EXPECT_EQ(combiner.NextDueMs(), 120);
  EXPECT_EQ(Due(combiner, 125), std::vector<std::string>{"1:4"});
  EXPECT_EQ(combiner.Raise(1, UpdateNumber(5), true, 135), Outcome::SendNow);
}

TEST(UpdateCombiner, anUpdateThatWaitsForItsReplyGoesOutAtOnceAndDropsTheOlderHeldOne) {
  struct Row {
    const char* legend;
    bool unhurried;
    Outcome outcome;
  };
  const Row rows[] = {
      {"a call that waits for its reply, or the engine", false, Outcome::SendNow},
      {"a call that wants no reply", true, Outcome::Held},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.legend);
    UpdateCombiner combiner;
    ASSERT_EQ(combiner.Raise(3, UpdateNumber(1), true, 0), Outcome::SendNow);
    ASSERT_EQ(combiner.Raise(3, UpdateNumber(2), true, 2), Outcome::HeldStartsEpisode);
    EXPECT_EQ(combiner.Raise(3, UpdateNumber(3), row.unhurried, 4), row.outcome);
    const std::vector<std::string> expected =
        row.outcome == Outcome::SendNow ? std::vector<std::string>{} : std::vector<std::string>{"3:3"};
    EXPECT_EQ(Due(combiner, 20), expected);
  }
}

TEST(UpdateCombiner, objectsAreHeldApartAndEachIsDueAtTheEndOfItsOwnGap) {
  UpdateCombiner combiner;
  ASSERT_EQ(combiner.Raise(0, UpdateNumber(1), true, 0), Outcome::SendNow);
  ASSERT_EQ(combiner.Raise(32, UpdateNumber(7), true, 6), Outcome::SendNow);
  EXPECT_EQ(combiner.Raise(32, UpdateNumber(8), true, 7), Outcome::HeldStartsEpisode);
  EXPECT_EQ(combiner.Raise(0, UpdateNumber(2), true, 8), Outcome::HeldStartsEpisode);
  EXPECT_EQ(combiner.NextDueMs(), 10);
  EXPECT_EQ(Due(combiner, 10), std::vector<std::string>{"0:2"});
  EXPECT_EQ(combiner.NextDueMs(), 16);
  EXPECT_EQ(Due(combiner, 30), std::vector<std::string>{"32:8"});
}

TEST(UpdateCombiner, anEpisodeOfCombiningEndsAfterAQuietMinute) {
  UpdateCombiner combiner;
  int64_t nowMs = 0;
  ASSERT_EQ(combiner.Raise(5, UpdateNumber(1), true, nowMs), Outcome::SendNow);
  EXPECT_EQ(combiner.Raise(5, UpdateNumber(2), true, nowMs + 1), Outcome::HeldStartsEpisode);
  // Holding every few seconds keeps the episode going.
  uint64_t sequence = 3;
  for (int i = 0; i < 30; ++i) {
    nowMs += 5000;
    ASSERT_EQ(combiner.Raise(5, UpdateNumber(sequence++), true, nowMs), Outcome::SendNow);
    EXPECT_EQ(combiner.Raise(5, UpdateNumber(sequence++), true, nowMs + 1), Outcome::Held);
    Due(combiner, nowMs + 10);
  }
  nowMs += UpdateCombiner::EpisodeEndsAfterMs + 1;
  ASSERT_EQ(combiner.Raise(5, UpdateNumber(sequence++), true, nowMs), Outcome::SendNow);
  EXPECT_EQ(combiner.Raise(5, UpdateNumber(sequence++), true, nowMs + 1), Outcome::HeldStartsEpisode);
}

}  // namespace
}  // namespace tarvex::bus
