#include "publish/bus/update_combiner.h"

namespace tarvex::bus {

UpdateCombiner::Outcome UpdateCombiner::Raise(int index, const Update& update, bool unhurried, int64_t nowMs) {
  Outgoing& outgoing = outgoing_.at(static_cast<size_t>(index));
  if (!unhurried || outgoing.sentMs < 0 || nowMs - outgoing.sentMs >= GapMs) {
    outgoing.sentMs = nowMs;
    outgoing.holds = false;
    return Outcome::SendNow;
  }
  const bool startsEpisode = outgoing.lastHeldMs < 0 || nowMs - outgoing.lastHeldMs > EpisodeEndsAfterMs;
  outgoing.lastHeldMs = nowMs;
  outgoing.held = update;
  outgoing.holds = true;
  return startsEpisode ? Outcome::HeldStartsEpisode : Outcome::Held;
}

std::vector<std::pair<int, UpdateCombiner::Update>> UpdateCombiner::TakeDue(int64_t nowMs) {
  std::vector<std::pair<int, Update>> due;
  for (size_t index = 0; index < outgoing_.size(); ++index) {
    Outgoing& outgoing = outgoing_[index];
    if (!outgoing.holds || outgoing.sentMs + GapMs > nowMs) continue;
    outgoing.holds = false;
    outgoing.sentMs = nowMs;
    due.emplace_back(static_cast<int>(index), std::move(outgoing.held));
  }
  return due;
}

int64_t UpdateCombiner::NextDueMs() const {
  int64_t next = -1;
  for (const Outgoing& outgoing : outgoing_) {
    if (!outgoing.holds) continue;
    const int64_t dueMs = outgoing.sentMs + GapMs;
    if (next < 0 || dueMs < next) next = dueMs;
  }
  return next;
}

}  // namespace tarvex::bus
