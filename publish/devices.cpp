#include "publish/devices.h"

#include "platform/run_time_error.h"

namespace tarvex {

std::shared_ptr<Device> Devices::At(long long index) {
  CheckSubscript(index, 0, Count - 1, "Devices");
  auto& slot = slots_[static_cast<size_t>(index)];
  if (!slot) {
    slot = std::make_shared<Device>();
    if (observer_) observer_(static_cast<int>(index), slot);
  }
  return slot;
}

bool Devices::IsCreated(long long index) const {
  CheckSubscript(index, 0, Count - 1, "Devices");
  return slots_[static_cast<size_t>(index)] != nullptr;
}

}  // namespace tarvex
