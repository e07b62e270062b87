#include "publish/device_handshake.h"

#include <limits>
#include <string>

#include "core/parse_leading_number.h"

namespace tarvex {

namespace {

// Channels 0 to 31 are fed and have a handler; channel 32 only has its flags.
// A channel's object is reached through Devices: it is the object its handler
// is bound to for as long as the main window is loaded.
bool Served(int32_t ch) { return ch >= 0 && ch < ServedChannels; }

}  // namespace

DeviceHandshake::DeviceHandshake(Devices& devices, MainWindowValues& window,
                                 const PublicationState& publication, const ScanValues& engine,
                                 const ConfigState& config, LogWriter& log)
    : devices_(devices),
      window_(window),
      publication_(publication),
      engine_(engine),
      config_(config),
      log_(log) {}

DeviceHandshake::~DeviceHandshake() { UnbindDeviceHandlers(); }

void DeviceHandshake::UpdateActiveX(int32_t which, int32_t ch) {
  if (Served(ch)) {
    switch (which) {
      case ValueCode::Gross: devices_.At(ch)->SetCGross(ParseLeadingNumber(publication_.NewGross[ch])); break;
      case ValueCode::Tare: devices_.At(ch)->SetCTare(ParseLeadingNumber(publication_.NewTare[ch])); break;
      case ValueCode::Net: devices_.At(ch)->SetCNet(ParseLeadingNumber(publication_.NewNet[ch])); break;
      case ValueCode::ScaleStat: devices_.At(ch)->SetCScaleStat(engine_.ScaleStatBits[ch]); break;
      case ValueCode::Description: devices_.At(ch)->SetCDeviceDesc(config_.Channels[ch].DeviceDescs); break;
      default: break;
    }
  }
  window_.DeviceDirty[ch] = true;
}

int16_t DeviceHandshake::ToProperty(int32_t slot, const char* property, int32_t ch) {
  constexpr int32_t low = std::numeric_limits<int16_t>::min();
  constexpr int32_t high = std::numeric_limits<int16_t>::max();
  if (slot >= low && slot <= high) return static_cast<int16_t>(slot);
  const int16_t saturated = static_cast<int16_t>(slot < low ? low : high);
  log_.WriteLog(LogKind::ActiveX, "CallDeviceUpdateMethod channel " + std::to_string(ch) + ": " + property +
                                      " " + std::to_string(slot) + " is outside -32768 to 32767, published as " +
                                      std::to_string(saturated));
  return saturated;
}

void DeviceHandshake::CallDeviceUpdateMethod(int32_t ch) {
  if (Served(ch)) {
    const std::shared_ptr<Device> device = devices_.At(ch);
    device->SetCCmd(ToProperty(window_.ClientCmd[ch], "CCmd", ch));
    device->SetCCmdParm(window_.ClientCmdParm[ch]);
    device->SetCCmdStat(ToProperty(window_.ClientCmdStat[ch], "CCmdStat", ch));
    device->CDoUpdate();
  }
  window_.DeviceDirty[ch] = false;
}

void DeviceHandshake::BindDeviceHandlers() {
  for (int32_t n = 0; n < ServedChannels; ++n) {
    auto& binding = bound_[static_cast<size_t>(n)];
    if (binding) continue;
    std::shared_ptr<Device> device = devices_.At(n);
    const Device::Subscription subscription =
        device->SubscribeCUpdate([this, n](Device& d) { DeviceCUpdate(n, d); });
    binding = Binding{std::move(device), subscription};
  }
}

void DeviceHandshake::UnbindDeviceHandlers() {
  for (auto& binding : bound_) {
    if (!binding) continue;
    binding->device->UnsubscribeCUpdate(binding->subscription);
    binding.reset();
  }
}

bool DeviceHandshake::IsBound(int32_t n) const {
  return Served(n) && bound_[static_cast<size_t>(n)].has_value();
}

void DeviceHandshake::DeviceCUpdate(int32_t n, const Device& device) {
  window_.ClientCmd[n] = device.CCmd();
  window_.ClientCmdParm[n] = device.CCmdParm();
  window_.ClientCmdStat[n] = device.CCmdStat();
}

}  // namespace tarvex
