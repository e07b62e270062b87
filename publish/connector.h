#pragma once
// What a client creates to reach the manager's channels. A Connector holds no
// state of its own: every Connector of the process hands out the objects of the
// one Devices table.
#include <memory>

#include "publish/devices.h"

namespace tarvex {

class Connector {
public:
  explicit Connector(Devices& devices) : devices_(devices) {}

  // The shared object of channel index (0 to 32), created on the first
  // request; error 9 outside, with nothing created.
  std::shared_ptr<tarvex::Device> Device(int index) const { return devices_.At(index); }

private:
  Devices& devices_;
};

}  // namespace tarvex
