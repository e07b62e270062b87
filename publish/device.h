#pragma once
// One channel's shared value object.
//
// Every consumer of a channel (the manager's own handler, each client control,
// the bus adaptor) holds the same Device and sees the same nine values. Writing
// a value stores it unchanged: no validation, no conversion and no event. Only
// CDoUpdate announces a complete set of values, by calling every subscriber of
// CUpdate synchronously, in subscription order, before it returns.
//
// Subscribers may unsubscribe (themselves or others) and subscribe new handlers
// from inside a CUpdate handler: a handler removed during a delivery is not
// called later in that delivery, one added during it is called from the next
// CDoUpdate on. An exception thrown by a handler ends the delivery and passes to
// the caller of CDoUpdate.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tarvex {

// The nine stored values, in the order the object holds them. A new object
// holds the empty string and zeros.
struct DeviceValues {
  std::string CDeviceDesc;
  int32_t CDeviceID = 0;
  double CGross = 0;
  double CTare = 0;
  double CNet = 0;
  int16_t CScaleStat = 0;
  int16_t CCmd = 0;
  double CCmdParm = 0;
  int16_t CCmdStat = 0;

  bool operator==(const DeviceValues&) const = default;
};

class Device {
public:
  using UpdateHandler = std::function<void(Device&)>;
  // Identifies one subscription; never 0, never reused by the same object.
  using Subscription = uint64_t;

  Device() = default;
  Device(const Device&) = delete;
  Device& operator=(const Device&) = delete;

  const std::string& CDeviceDesc() const { return values_.CDeviceDesc; }
  int32_t CDeviceID() const { return values_.CDeviceID; }
  int16_t CCmd() const { return values_.CCmd; }
  double CCmdParm() const { return values_.CCmdParm; }
  int16_t CCmdStat() const { return values_.CCmdStat; }
  double CGross() const { return values_.CGross; }
  double CTare() const { return values_.CTare; }
  double CNet() const { return values_.CNet; }
  int16_t CScaleStat() const { return values_.CScaleStat; }

  void SetCDeviceDesc(std::string value) { values_.CDeviceDesc = std::move(value); }
  void SetCDeviceID(int32_t value) { values_.CDeviceID = value; }
  void SetCCmd(int16_t value) { values_.CCmd = value; }
  void SetCCmdParm(double value) { values_.CCmdParm = value; }
  void SetCCmdStat(int16_t value) { values_.CCmdStat = value; }
  void SetCGross(double value) { values_.CGross = value; }
  void SetCTare(double value) { values_.CTare = value; }
  void SetCNet(double value) { values_.CNet = value; }
  void SetCScaleStat(int16_t value) { values_.CScaleStat = value; }

  // All nine values at once; copy it to keep a snapshot.
  const DeviceValues& Values() const { return values_; }

  // Raises CUpdate: calls every current subscriber in subscription order and
  // returns when the last has returned. UpdateSequence() is raised first, so
  // handlers already see the new number.
  void CDoUpdate();

  // The number of CDoUpdate calls so far; 0 for a new object.
  uint64_t UpdateSequence() const { return sequence_; }

  Subscription SubscribeCUpdate(UpdateHandler handler);
  // Ends a subscription; false when it was not (or no longer) subscribed.
  bool UnsubscribeCUpdate(Subscription subscription);
  size_t SubscriberCount() const { return subscribers_.size(); }

private:
  struct Subscriber {
    Subscription id;
    UpdateHandler handler;
  };

  bool IsSubscribed(Subscription id) const;

  DeviceValues values_;
  std::vector<Subscriber> subscribers_;
  Subscription nextSubscription_ = 1;
  uint64_t sequence_ = 0;
};

}  // namespace tarvex
