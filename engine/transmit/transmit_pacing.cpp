#include "engine/transmit/transmit_pacing.h"

namespace tarvex {

size_t CharactersDue(int32_t txInterval, int32_t txDelay, int32_t elapsedTicks, size_t waiting) {
  if (waiting == 0) return 0;
  if (txDelay <= 0) return waiting;
  if (txInterval <= 0) return 1;
  // Strictly less: TxDelay equal to the interval sends on every second tick.
  const double ratio = static_cast<double>(txDelay) / static_cast<double>(txInterval);
  return ratio < static_cast<double>(elapsedTicks) ? 1 : 0;
}

}  // namespace tarvex
