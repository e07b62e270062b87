#include "engine/out_of_service.h"

#include "engine/frames/status_table.h"
#include "publish/value_code.h"

namespace tarvex {

void TellOutOfService(EngineState& engine, DeviceHandshake& handshake, int32_t ch) {
  const auto bits = static_cast<int16_t>(engine.ScaleStatBits[ch] | ScaleStatBit::Offline);
  engine.ScaleStatBits[ch] = bits;
  if (engine.PubStatBits[ch] == bits) return;
  engine.PubStatBits[ch] = bits;
  handshake.UpdateActiveX(ValueCode::ScaleStat, ch);
  handshake.CallDeviceUpdateMethod(ch);
}

}  // namespace tarvex
