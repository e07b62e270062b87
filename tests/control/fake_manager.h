#pragma once
// A manager in the test process: one shared Device per channel whose
// CCommandUpdate raises CUpdate on every link bound to it, at once, so the
// caller's own echo arrives before the call returns. Creations and Device
// requests can be made to fail a given number of times. A control lets go of
// a replaced link later, from the event loop: a link that outlives its manager
// is cut off from it and only waits to be deleted.
#include <QObject>
#include <array>
#include <memory>
#include <optional>
#include <vector>

#include "control/manager_link.h"
#include "platform/run_time_error.h"

namespace tarvex::test {

class FakeManager;

class FakeDeviceLink final : public DeviceLink {
  Q_OBJECT
public:
  FakeDeviceLink(FakeManager& manager, int channel);
  ~FakeDeviceLink() override;
  void Detach() { manager_ = nullptr; }

  DeviceValues Values() const override;
  void CommandUpdate(std::int16_t cmdStat, std::int16_t cmd, double cmdParm) override;

  void Deliver() { Q_EMIT CUpdate(); }

  int channel() const { return channel_; }

private:
  FakeManager* manager_;
  int channel_;
};

class FakeManager final : public ManagerSession {
public:
  FakeManager() = default;
  FakeManager(const FakeManager&) = delete;
  FakeManager& operator=(const FakeManager&) = delete;
  ~FakeManager() override {
    for (FakeDeviceLink* link : links) link->Detach();
  }

  struct FakeConnector final : ManagerConnector {
    explicit FakeConnector(FakeManager& m) : manager(m) {}
    std::unique_ptr<DeviceLink> Device(std::int16_t index) override {
      ++manager.deviceRequests;
      if (manager.deviceFailures > 0) {
        --manager.deviceFailures;
        throw RunTimeError(ErrorNumber::AutomationError);
      }
      CheckSubscript(index, 0, 32, "Devices");
      return std::make_unique<FakeDeviceLink>(manager, index);
    }
    FakeManager& manager;
  };

  std::unique_ptr<ManagerConnector> CreateConnector() override {
    ++creations;
    if (creationFailures > 0) {
      --creationFailures;
      throw RunTimeError(ErrorNumber::CantCreateObject);
    }
    return std::make_unique<FakeConnector>(*this);
  }

  // What the manager itself does on a channel: publish and raise CUpdate.
  void Publish(int channel, const DeviceValues& values) {
    devices[static_cast<size_t>(channel)] = values;
    RaiseCUpdate(channel);
  }

  void RaiseCUpdate(int channel) {
    for (FakeDeviceLink* link : std::vector<FakeDeviceLink*>(links)) {
      if (link->channel() == channel) link->Deliver();
    }
  }

  std::array<DeviceValues, 33> devices{};
  std::vector<FakeDeviceLink*> links;
  int creations = 0;
  int creationFailures = 0;
  int deviceRequests = 0;
  int deviceFailures = 0;
  int commandUpdates = 0;
  // Reads of Values() that succeed before every further read fails.
  std::optional<int> valueReadsLeft;
};

inline FakeDeviceLink::FakeDeviceLink(FakeManager& manager, int channel)
    : manager_(&manager), channel_(channel) {
  manager_->links.push_back(this);
}

inline FakeDeviceLink::~FakeDeviceLink() {
  if (manager_) std::erase(manager_->links, this);
}

inline DeviceValues FakeDeviceLink::Values() const {
  if (!manager_) throw RunTimeError(ErrorNumber::RemoteServerUnavailable);
  if (manager_->valueReadsLeft) {
    if (*manager_->valueReadsLeft == 0) throw RunTimeError(ErrorNumber::AutomationError);
    --*manager_->valueReadsLeft;
  }
  return manager_->devices[static_cast<size_t>(channel_)];
}

inline void FakeDeviceLink::CommandUpdate(std::int16_t cmdStat, std::int16_t cmd, double cmdParm) {
  if (!manager_) throw RunTimeError(ErrorNumber::RemoteServerUnavailable);
  ++manager_->commandUpdates;
  DeviceValues& device = manager_->devices[static_cast<size_t>(channel_)];
  device.CCmdStat = cmdStat;
  device.CCmd = cmd;
  device.CCmdParm = cmdParm;
  manager_->RaiseCUpdate(channel_);
}

}  // namespace tarvex::test
