#pragma once
// The handshake between a channel and its shared Device object.
//
// Outward, each accepted value is stored in the object at once and the channel
// is marked dirty; at the end of the channel's turn the scan pass calls
// CallDeviceUpdateMethod, which adds the command slots and raises one CUpdate.
// Inward, a client writes the command properties and raises CUpdate; the
// channel's handler copies them into the channel's command slots, where the
// scan pass picks them up and writes its outcome back.
//
// The command slots are 32-bit but the properties 16-bit. A status of a code
// near 32767 plus 100 or 1000 does not fit; rather than fail that channel's
// update on every later pass, the value is saturated, one ActiveX log line
// records the true value, and the handler's copy-back then ends the condition.
#include <array>
#include <cstdint>
#include <memory>
#include <optional>

#include "config/config_state.h"
#include "core/log_writer.h"
#include "publish/devices.h"
#include "publish/scan_values.h"
#include "publish/main_window_values.h"
#include "publish/publication_state.h"
#include "publish/value_code.h"

namespace tarvex {

inline constexpr int32_t ServedChannels = 32;  // channels 0 to 31 have handlers

class DeviceHandshake {
public:
  DeviceHandshake(Devices& devices, MainWindowValues& window, const PublicationState& publication,
                  const ScanValues& engine, const ConfigState& config, LogWriter& log);
  // Ends the subscriptions that are still bound.
  ~DeviceHandshake();
  DeviceHandshake(const DeviceHandshake&) = delete;
  DeviceHandshake& operator=(const DeviceHandshake&) = delete;

  // Stores the value of code which (1, 2, 3, 6, 10) in the property of
  // channel ch (0 to 31), then marks the channel dirty whatever the code.
  // Error 9 for a channel outside 0 to 32, with nothing set.
  void UpdateActiveX(int32_t which, int32_t ch);

  // Stores the command slots of ch (0 to 31) in the object, raises CUpdate
  // and clears the channel's dirty mark. Error 9 outside 0 to 32.
  void CallDeviceUpdateMethod(int32_t ch);

  // The main window's load: for N = 0 to 31 in order, the object of channel
  // N (created when its slot is empty, reused when a client made it first)
  // is bound to the handler Device<N>_CUpdate. Binding twice changes nothing.
  void BindDeviceHandlers();
  // The main window's unload: ends the subscriptions of channels 0 to 31 in
  // order; the objects stay in Devices.
  void UnbindDeviceHandlers();
  bool IsBound(int32_t n) const;

  // Device<N>_CUpdate: copies the command properties of the bound object into
  // channel N's command slots, and nothing else.
  void DeviceCUpdate(int32_t n, const Device& device);

private:
  int16_t ToProperty(int32_t slot, const char* property, int32_t ch);

  Devices& devices_;
  MainWindowValues& window_;
  const PublicationState& publication_;
  const ScanValues& engine_;
  const ConfigState& config_;
  LogWriter& log_;

  struct Binding {
    std::shared_ptr<Device> device;
    Device::Subscription subscription = 0;
  };
  std::array<std::optional<Binding>, ServedChannels> bound_{};
};

}  // namespace tarvex
