#include "publish/device.h"

#include <algorithm>

namespace tarvex {

void Device::CDoUpdate() {
  ++sequence_;
  // Work on a copy: handlers may change the subscriber list while they run.
  const std::vector<Subscriber> delivery = subscribers_;
  for (const Subscriber& s : delivery) {
    if (IsSubscribed(s.id)) s.handler(*this);
  }
}

Device::Subscription Device::SubscribeCUpdate(UpdateHandler handler) {
  const Subscription id = nextSubscription_++;
  subscribers_.push_back(Subscriber{id, std::move(handler)});
  return id;
}

bool Device::UnsubscribeCUpdate(Subscription subscription) {
  const auto it = std::find_if(subscribers_.begin(), subscribers_.end(),
                               [&](const Subscriber& s) { return s.id == subscription; });
  if (it == subscribers_.end()) return false;
  subscribers_.erase(it);
  return true;
}

bool Device::IsSubscribed(Subscription id) const {
  return std::any_of(subscribers_.begin(), subscribers_.end(),
                     [&](const Subscriber& s) { return s.id == id; });
}

}  // namespace tarvex
