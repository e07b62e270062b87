#pragma once
// A channel the engine stops reading (the manager ended, the channel taken
// out of service by a failed initialisation or a terminal that stopped
// answering, a protocol the scan has no step for) still shows its last weight
// on the bus. Clients must not read that weight as good: the channel's status
// gets the off-line bit, the one a silent line sets, and is published once
// with its own Device update, since an inactive channel has no channel tail to
// flush it. The next frame the channel publishes clears the bit, as it clears
// a silent line's.
#include <cstdint>

#include "engine/engine_state.h"
#include "publish/device_handshake.h"

namespace tarvex {

void TellOutOfService(EngineState& engine, DeviceHandshake& handshake, int32_t ch);

}  // namespace tarvex
