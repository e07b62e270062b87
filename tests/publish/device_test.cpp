// The shared Device objects, their table and the Connector that hands them out.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/run_time_error.h"
#include "publish/connector.h"
#include "publish/device.h"
#include "publish/devices.h"
#include "tests/support/run_time_error_of.h"

namespace tarvex {
namespace {

using test::ErrorOf;

TEST(Device, NewObjectHoldsEmptyTextAndZeros) {
  Device d;
  EXPECT_EQ(d.Values(), DeviceValues{});
  EXPECT_EQ(d.CDeviceDesc(), "");
  EXPECT_EQ(d.UpdateSequence(), 0u);
  d.CDoUpdate();  // no subscribers: nothing to call
  EXPECT_EQ(d.UpdateSequence(), 1u);
}

TEST(Device, EveryPutIsStoredUnchangedAndRaisesNoEvent) {
  struct Row {
    const char* legend;
    DeviceValues values;
  };
  const std::vector<Row> rows = {
      {"negative weights and commands", {"Truck scale", -7, -12.5, -0.25, -1e300, -32768, -1, -0.5, -32768}},
      {"largest values", {std::string(300, 'x'), 2147483647, 1e308, 5e-324, 0.1, 32767, 32767, 1e15, 32767}},
      {"bytes of the code page", {"\xC4\xD6\xDC kg\t\r\n", -2147483647 - 1, 0, 0, 0, 15, 0, 0, 0}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.legend);
    Device d;
    int updates = 0;
    d.SubscribeCUpdate([&](Device&) { ++updates; });
    const DeviceValues& v = row.values;
    d.SetCDeviceDesc(v.CDeviceDesc);
    d.SetCDeviceID(v.CDeviceID);
    d.SetCGross(v.CGross);
    d.SetCTare(v.CTare);
    d.SetCNet(v.CNet);
    d.SetCScaleStat(v.CScaleStat);
    d.SetCCmd(v.CCmd);
    d.SetCCmdParm(v.CCmdParm);
    d.SetCCmdStat(v.CCmdStat);
    EXPECT_EQ(d.Values(), v);
    EXPECT_EQ(d.CGross(), v.CGross);
    EXPECT_EQ(d.CTare(), v.CTare);
    EXPECT_EQ(d.CNet(), v.CNet);
    EXPECT_EQ(d.CScaleStat(), v.CScaleStat);
    EXPECT_EQ(d.CCmd(), v.CCmd);
    EXPECT_EQ(d.CCmdParm(), v.CCmdParm);
    EXPECT_EQ(d.CCmdStat(), v.CCmdStat);
    EXPECT_EQ(d.CDeviceID(), v.CDeviceID);
    EXPECT_EQ(updates, 0);
    EXPECT_EQ(d.UpdateSequence(), 0u);
  }
}

TEST(Device, CDoUpdateCallsEverySubscriberInSubscriptionOrderBeforeReturning) {
  Device d;
  std::vector<std::string> calls;
  d.SubscribeCUpdate([&](Device& self) {
    calls.push_back("first sees " + std::to_string(self.CGross()) + " #" +
                    std::to_string(self.UpdateSequence()));
  });
  d.SubscribeCUpdate([&](Device&) { calls.push_back("second"); });
  d.SubscribeCUpdate([&](Device&) { calls.push_back("third"); });
  d.SetCGross(2);
  d.CDoUpdate();
  EXPECT_EQ(calls, (std::vector<std::string>{"first sees 2.000000 #1", "second", "third"}));
  EXPECT_EQ(d.UpdateSequence(), 1u);
}

TEST(Device, SubscribersChangedDuringADeliveryTakeEffectAsDocumented) {
  Device d;
  std::vector<std::string> calls;
  Device::Subscription second = 0;
  Device::Subscription self = 0;
  d.SubscribeCUpdate([&](Device& dev) {
    calls.push_back("a");
    dev.UnsubscribeCUpdate(second);  // removed before its turn: not called
    dev.SubscribeCUpdate([&](Device&) { calls.push_back("late"); });
  });
  second = d.SubscribeCUpdate([&](Device&) { calls.push_back("b"); });
  self = d.SubscribeCUpdate([&](Device& dev) {
    calls.push_back("c");
    dev.UnsubscribeCUpdate(self);  // removes itself while running
  });
  d.CDoUpdate();
  EXPECT_EQ(calls, (std::vector<std::string>{"a", "c"}));
  calls.clear();
  d.CDoUpdate();
  EXPECT_EQ(calls, (std::vector<std::string>{"a", "late"}));
  EXPECT_FALSE(d.UnsubscribeCUpdate(second));
  EXPECT_FALSE(d.UnsubscribeCUpdate(0));
}

TEST(Device, AThrowingSubscriberEndsTheDeliveryAndReachesTheCaller) {
  Device d;
  std::vector<std::string> calls;
  d.SubscribeCUpdate([&](Device&) {
    calls.push_back("first");
    throw RunTimeError(ErrorNumber::AutomationError);
  });
  d.SubscribeCUpdate([&](Device&) { calls.push_back("second"); });
  EXPECT_EQ(ErrorOf([&] { d.CDoUpdate(); }), ErrorNumber::AutomationError);
  EXPECT_EQ(calls, std::vector<std::string>{"first"});
}

TEST(Devices, SlotsAreCreatedOnFirstRequestAndOnlyInsideZeroTo32) {
  Devices devices;
  struct Row {
    long long index;
    int error;
  };
  for (const Row& row : std::vector<Row>{{0, 0}, {31, 0}, {32, 0}, {-1, 9}, {33, 9}, {-32768, 9}, {1LL << 40, 9}}) {
    SCOPED_TRACE(row.index);
    if (row.error) {
      EXPECT_EQ(ErrorOf([&] { devices.At(row.index); }), row.error);
      EXPECT_EQ(ErrorOf([&] { devices.IsCreated(row.index); }), row.error);
    } else {
      EXPECT_FALSE(devices.IsCreated(row.index));
      const auto first = devices.At(row.index);
      ASSERT_NE(first, nullptr);
      EXPECT_TRUE(devices.IsCreated(row.index));
      EXPECT_EQ(devices.At(row.index), first);
    }
  }
  EXPECT_FALSE(devices.IsCreated(1));
}

TEST(Connector, TwoClientsOfOneChannelShareOneObjectAndEachOthersUpdates) {
  Devices devices;
  const Connector clientA(devices);
  const Connector clientB(devices);
  const auto a = clientA.Device(5);
  const auto b = clientB.Device(5);
  ASSERT_EQ(a, b);
  EXPECT_EQ(devices.At(5), a);
  EXPECT_NE(clientA.Device(6), a);

  std::vector<std::string> seen;
  b->SubscribeCUpdate([&](Device& d) { seen.push_back("B reads " + std::to_string(d.CCmd())); });
  devices.At(5)->SubscribeCUpdate([&](Device& d) { seen.push_back("manager reads " + std::to_string(d.CCmd())); });
  a->SetCCmd(4);
  a->CDoUpdate();
  EXPECT_EQ(seen, (std::vector<std::string>{"B reads 4", "manager reads 4"}));
}

TEST(Connector, IndicesOutsideTheTableFailWithError9AndCreateNothing) {
  Devices devices;
  const Connector connector(devices);
  EXPECT_EQ(ErrorOf([&] { connector.Device(33); }), ErrorNumber::SubscriptOutOfRange);
  EXPECT_EQ(ErrorOf([&] { connector.Device(-1); }), ErrorNumber::SubscriptOutOfRange);
  for (int i = 0; i < Devices::Count; ++i) EXPECT_FALSE(devices.IsCreated(i));
  // Channel 32 is served although no channel feeds it; its values stay as set.
  connector.Device(32)->SetCNet(-3);
  EXPECT_EQ(connector.Device(32)->CNet(), -3);
}

TEST(Connector, AnObjectOutlivesItsTableWhileAClientHoldsIt) {
  std::shared_ptr<Device> held;
  {
    Devices devices;
    held = Connector(devices).Device(2);
    held->SetCDeviceDesc("kept");
  }
  EXPECT_EQ(held->CDeviceDesc(), "kept");
}

}  // namespace
}  // namespace tarvex
