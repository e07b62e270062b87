#pragma once
// The shared-data field paths of a channel on the terminal network:
// "/z" & node & "/" & field, the node being DeviceID with its outer blanks
// removed and nothing else checked or changed (an empty node gives "/z/wt101";
// the read that uses the path reports what the network says of it).
#include <cstdint>
#include <string>

#include "config/config_state.h"
#include "engine/engine_state.h"

namespace tarvex {

// Builds ArcPathPtp(ch, 1..5), ArcPathLit01, ArcPathLit02 and ArcPathWt101.
// Error 9 for a channel outside 0 to 32, before anything changes.
void SetupArcNetPaths(EngineState& engine, const ConfigState& config, int32_t ch);

}  // namespace tarvex
