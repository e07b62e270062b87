#pragma once
// The manager-wide table of Device objects, one slot per channel 0 to 32.
//
// A slot stays empty until its object is first asked for, by the main window's
// load or by a client through Connector; whichever comes first creates it and
// the other gets the same object. Nothing empties a slot while the manager
// runs. Objects are shared: a client may keep one alive after the table is gone.
#include <array>
#include <functional>
#include <memory>

#include "core/startup_state.h"
#include "publish/device.h"

namespace tarvex {

class Devices {
public:
  static constexpr int Count = ChannelArraySize;  // indices 0 to 32

  Devices() = default;
  Devices(const Devices&) = delete;
  Devices& operator=(const Devices&) = delete;

  // The object of a channel, created when its slot is still empty. An index
  // outside 0 to 32 raises error 9 and creates nothing.
  std::shared_ptr<Device> At(long long index);
  // True when the slot holds an object; error 9 outside 0 to 32.
  bool IsCreated(long long index) const;

  // Told of every object the table creates, right after it is stored: how the
  // bus service learns of objects that the main window's load creates. One
  // observer; a new one replaces the last.
  using CreationObserver = std::function<void(int index, const std::shared_ptr<Device>& device)>;
  void ObserveCreation(CreationObserver observer) { observer_ = std::move(observer); }

private:
  std::array<std::shared_ptr<Device>, Count> slots_{};
  CreationObserver observer_;
};

}  // namespace tarvex
