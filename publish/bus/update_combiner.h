#pragma once
// Which CUpdate signals of the Device objects go out, and when.
//
// What it must cope with: a client that calls CDoUpdate without waiting for
// replies, as fast as the bus carries the calls (some 80,000 a second). One
// CUpdate per call costs the manager several times what the call does: the
// calls pile up for minutes and every other client's call waits behind them.
//
// Policy: an update raised by a call that wants no reply goes out at once,
// unless the object sent a CUpdate less than GapMs ago; then it is held until
// the end of that gap, and when more such updates come meanwhile only the
// latest is kept (the sequence numbers in between are skipped). Every other
// update (the engine's, or a call's that waits for its reply) goes out at once
// and drops the object's held one, which is older. An object's first holding
// after a quiet minute starts an episode of combining, to be told once.
//
// Times are milliseconds of any monotonic clock, given by the caller.
#include <array>
#include <cstdint>
#include <utility>
#include <vector>

#include "publish/device.h"
#include "publish/devices.h"

namespace tarvex::bus {

class UpdateCombiner {
public:
  static constexpr int64_t GapMs = 10;
  static constexpr int64_t EpisodeEndsAfterMs = 60 * 1000;

  // One object's CUpdate as it stood when raised.
  struct Update {
    uint64_t sequence = 0;
    DeviceValues values;
  };

  enum class Outcome {
    SendNow,             // the caller sends it now
    Held,                // held until NextDueMs
    HeldStartsEpisode,   // held, and the object's first holding in a minute
  };

  // An update of object index (0 to Devices::Count - 1) raised at nowMs;
  // unhurried when the call that raised it wants no reply.
  Outcome Raise(int index, const Update& update, bool unhurried, int64_t nowMs);
  // The held updates due at nowMs, taken out (and counted as sent then), in
  // object order.
  std::vector<std::pair<int, Update>> TakeDue(int64_t nowMs);
  // When the earliest held update is due; -1 when none is held.
  int64_t NextDueMs() const;

private:
  struct Outgoing {
    int64_t sentMs = -1;  // when its last CUpdate went out; -1 before the first
    bool holds = false;
    Update held;
    int64_t lastHeldMs = -1;
  };
  std::array<Outgoing, Devices::Count> outgoing_{};
};

}  // namespace tarvex::bus
