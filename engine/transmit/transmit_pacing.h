#pragma once
// The pace of the transmit timer: how many waiting characters of a channel
// leave the transmit buffer at one tick.
//
// What it must cope with: the timer's interval and the channel's TxDelay come
// from settings an operator types (0 and negative values included), and the
// tick counter wraps. Policy: one character leaves when the channel is due,
// that is when TxDelay divided by the interval is less than the ticks elapsed
// since its last character; an interval of 0 or less makes the channel due on
// every tick; a TxDelay of 0 or less means "no pacing", and the whole buffer
// leaves at the next tick (it would otherwise wait for ever).
#include <cstddef>
#include <cstdint>

namespace tarvex {

// The characters of `waiting` that leave now. `elapsedTicks` is
// PassesSince(TxTick, LastTxTick) of the channel (publish/scan_values.h).
size_t CharactersDue(int32_t txInterval, int32_t txDelay, int32_t elapsedTicks, size_t waiting);

}  // namespace tarvex
