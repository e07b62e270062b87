#include "engine/terminal/terminal_paths.h"

#include "platform/ansi_text.h"

namespace tarvex {

void SetupArcNetPaths(EngineState& engine, const ConfigState& config, int32_t ch) {
  const std::string prefix = "/z" + TrimBlanks(config.Channels[ch].DeviceID);
  auto& ptp = engine.ArcPathPtp[ch];
  for (int k = 1; k <= 5; ++k) ptp[static_cast<size_t>(k)] = prefix + "/ptp0" + std::to_string(k);
  engine.ArcPathLit01[ch] = prefix + "/lit01";
  engine.ArcPathLit02[ch] = prefix + "/lit02";
  engine.ArcPathWt101[ch] = prefix + "/wt101";
}

}  // namespace tarvex
