// The handshake between a channel and its Device: what a pass publishes, how a
// client command comes in and goes back out, and the binding of the handlers.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "publish/connector.h"
#include "tests/support/publication_fixture.h"

namespace tarvex {
namespace {

std::string Slots(const MainWindowValues& w, int32_t ch) {
  return std::to_string(w.ClientCmd[ch]) + " " + Num(w.ClientCmdParm[ch]) + " " + std::to_string(w.ClientCmdStat[ch]);
}

std::string Seen(const Device& d) {
  return "CGross=" + Num(d.CGross()) + " CCmd=" + std::to_string(d.CCmd()) + " CCmdParm=" + Num(d.CCmdParm()) +
         " CCmdStat=" + std::to_string(d.CCmdStat());
}

// The end of a channel's turn as the scan pass runs it.
void EndOfTurn(PublicationFixture& f, int32_t ch) {
  if (f.window.DeviceDirty[ch]) f.handshake.CallDeviceUpdateMethod(ch);
}

// A client of the channel: writes a command the way the client control does.
void ClientSends(Device& d, int16_t cmd, double parm) {
  d.SetCCmdStat(0);
  d.SetCCmd(cmd);
  d.SetCCmdParm(parm);
  d.CDoUpdate();
}

// The scan pass's outcome of a command: code + 100 when the protocol has it,
// code + 1000 when not.
void EngineHandlesCommand(PublicationFixture& f, int32_t ch, int32_t added) {
  const int32_t cmd = f.window.ClientCmd[ch];
  f.window.ClientCmd[ch] = 0;
  f.window.ClientCmdStat[ch] = cmd + added;
  f.window.DeviceDirty[ch] = true;
}

TEST(DeviceHandshake, EachPassRaisesOneCUpdateOnlyWhenSomethingOfTheChannelWasSet) {
  struct Case {
    const char* legend;
    int32_t ch;
    std::function<void(PublicationFixture&, Device&)> pass;  // what happens during the channel's turn
    int passes;
    std::vector<std::string> seen;  // what the client sees, one entry per CUpdate
    std::string slots;              // the command slots afterwards
    std::vector<std::string> log;
  };
  const std::vector<Case> rows = {
      {"only the gross changed: one update carrying the command slots", 0,
       [](PublicationFixture& f, Device&) {
         f.window.ClientCmd[0] = 3;
         f.window.ClientCmdParm[0] = 1.5;
         f.publication.NewGross[0] = "5 kg";
         f.publisher.SetVal(1, 0);
       },
       1, {"CGross=5 CCmd=3 CCmdParm=1.5 CCmdStat=0"}, "3 1.5 0", {}},
      {"nothing set: no update", 0, [](PublicationFixture&, Device&) {}, 1, {}, "0 0 0", {}},
      {"the same text on every pass: one update in all", 0,
       [](PublicationFixture& f, Device&) {
         f.publication.NewGross[0] = "5";
         f.publisher.SetVal(1, 0);
       },
       3, {"CGross=5 CCmd=0 CCmdParm=0 CCmdStat=0"}, "0 0 0", {}},
      {"channel 31 is served like channel 0", 31,
       [](PublicationFixture& f, Device&) {
         f.publication.NewGross[31] = "-2";
         f.publisher.SetVal(1, 31);
       },
       1, {"CGross=-2 CCmd=0 CCmdParm=0 CCmdStat=0"}, "0 0 0", {}},
      {"an executed command comes back as code + 100", 0,
       [](PublicationFixture& f, Device& client) {
         ClientSends(client, 4, 2.5);
         EngineHandlesCommand(f, 0, 100);
       },
       1, {"CGross=0 CCmd=4 CCmdParm=2.5 CCmdStat=0", "CGross=0 CCmd=0 CCmdParm=2.5 CCmdStat=104"}, "0 2.5 104", {}},
      {"an unknown command comes back as code + 1000", 0,
       [](PublicationFixture& f, Device& client) {
         ClientSends(client, 77, -1);
         EngineHandlesCommand(f, 0, 1000);
       },
       1, {"CGross=0 CCmd=77 CCmdParm=-1 CCmdStat=0", "CGross=0 CCmd=0 CCmdParm=-1 CCmdStat=1077"}, "0 -1 1077", {}},
      {"a status beyond 16 bits is saturated with one log line, and stays so", 0,
       [](PublicationFixture& f, Device& client) {
         if (f.window.ClientCmd[0] != 0 || f.window.ClientCmdStat[0] != 0) {
           f.window.DeviceDirty[0] = true;  // a later pass that republishes
           return;
         }
         ClientSends(client, 32600, 0);
         EngineHandlesCommand(f, 0, 1100);
       },
       2,
       {"CGross=0 CCmd=32600 CCmdParm=0 CCmdStat=0", "CGross=0 CCmd=0 CCmdParm=0 CCmdStat=32767",
        "CGross=0 CCmd=0 CCmdParm=0 CCmdStat=32767"},
       "0 0 32767",
       {"8 CallDeviceUpdateMethod channel 0: CCmdStat 33700 is outside -32768 to 32767, published as 32767"}},
      {"a command slot below 16 bits is saturated too", 0,
       [](PublicationFixture& f, Device&) {
         f.window.ClientCmd[0] = -40000;
         f.window.DeviceDirty[0] = true;
       },
       1, {"CGross=0 CCmd=-32768 CCmdParm=0 CCmdStat=0"}, "-32768 0 0",
       {"8 CallDeviceUpdateMethod channel 0: CCmd -40000 is outside -32768 to 32767, published as -32768"}},
      {"on a channel that takes no commands the command goes out with every update", 0,
       [](PublicationFixture& f, Device& client) {
         if (client.CCmd() == 0) ClientSends(client, 4, 2);
         f.publication.NewNet[0] += "1";  // a new reading on every pass
         f.publisher.SetVal(3, 0);
       },
       2,
       {"CGross=0 CCmd=4 CCmdParm=2 CCmdStat=0", "CGross=0 CCmd=4 CCmdParm=2 CCmdStat=0",
        "CGross=0 CCmd=4 CCmdParm=2 CCmdStat=0"},
       "4 2 0", {}},
  };
  for (const Case& row : rows) {
    SCOPED_TRACE(row.legend);
    PublicationFixture f;
    f.handshake.BindDeviceHandlers();
    Device& client = *Connector(f.devices).Device(row.ch);
    std::vector<std::string> seen;
    client.SubscribeCUpdate([&](Device& d) { seen.push_back(Seen(d)); });
    for (int pass = 0; pass < row.passes; ++pass) {
      row.pass(f, client);
      EXPECT_EQ(ErrorOf([&] { EndOfTurn(f, row.ch); }), 0);
      EXPECT_FALSE(f.window.DeviceDirty[row.ch]);
    }
    EXPECT_EQ(seen, row.seen);
    EXPECT_EQ(Slots(f.window, row.ch), row.slots);
    EXPECT_EQ(f.log.Texts(), row.log);
  }
}

TEST(DeviceHandshake, ChannelsOutside0To31OnlyTouchTheirFlagOrFailWith9) {
  struct Case {
    int32_t ch;
    int error;
  };
  for (const Case& c : std::vector<Case>{{32, 0}, {-1, 9}, {33, 9}}) {
    SCOPED_TRACE(c.ch);
    PublicationFixture f;
    f.handshake.BindDeviceHandlers();
    if (c.ch == 32) f.window.DeviceDirty[32] = true;
    EXPECT_EQ(ErrorOf([&] { f.handshake.CallDeviceUpdateMethod(c.ch); }), c.error);
    if (c.ch == 32) {
      EXPECT_FALSE(f.window.DeviceDirty[32]);
    }
    EXPECT_FALSE(f.devices.IsCreated(32));
  }
}

TEST(DeviceHandshake, UpdateActiveXSetsTheCodesPropertyAndAlwaysMarksTheChannel) {
  struct Case {
    int32_t which;
    int32_t ch;
    int error;
    DeviceValues expected;  // of the channel's object, for channels 0 to 31
  };
  DeviceValues gross;
  gross.CGross = 12.5;
  DeviceValues tare;
  tare.CTare = -0.25;
  DeviceValues net;
  net.CNet = 150;
  DeviceValues status;
  status.CScaleStat = -3;
  DeviceValues description;
  description.CDeviceDesc = "Scale A";
  const std::vector<Case> rows = {
      {1, 0, 0, gross},  {2, 31, 0, tare}, {3, 0, 0, net},   {6, 0, 0, status}, {10, 31, 0, description},
      {4, 0, 0, {}},     {9, 0, 0, {}},    {0, 31, 0, {}},   {11, 0, 0, {}},    {-2, 0, 0, {}},
      {1, 32, 0, {}},    {1, -1, 9, {}},   {10, 33, 9, {}},  {7, -1, 9, {}},
  };
  for (const Case& c : rows) {
    SCOPED_TRACE(std::to_string(c.which) + " on channel " + std::to_string(c.ch));
    PublicationFixture f;
    for (int32_t ch : {0, 31, 32}) {
      f.publication.NewGross[ch] = "12.5 kg";
      f.publication.NewTare[ch] = "-.25";
      f.publication.NewNet[ch] = "1.5D2";
      f.engine.ScaleStatBits[ch] = -3;
      f.config.Channels[ch].DeviceDescs = "Scale A";
    }
    int updates = 0;
    f.devices.At(0)->SubscribeCUpdate([&](Device&) { ++updates; });
    f.devices.At(31)->SubscribeCUpdate([&](Device&) { ++updates; });
    EXPECT_EQ(ErrorOf([&] { f.handshake.UpdateActiveX(c.which, c.ch); }), c.error);
    for (int32_t ch : {0, 31}) {
      EXPECT_EQ(f.devices.At(ch)->Values(), ch == c.ch ? c.expected : DeviceValues{}) << "channel " << ch;
      EXPECT_EQ(f.window.DeviceDirty[ch], ch == c.ch) << "channel " << ch;
    }
    EXPECT_EQ(f.window.DeviceDirty[32], c.ch == 32);
    EXPECT_FALSE(f.devices.IsCreated(32));
    EXPECT_EQ(updates, 0);
  }
}

TEST(DeviceHandshake, LoadBindsEachChannelsHandlerToTheSharedObjectAndUnloadEndsOnlyThat) {
  PublicationFixture f;
  const Connector connector(f.devices);
  const auto early = connector.Device(3);  // a client came before the main window
  early->SetCCmd(9);
  f.handshake.BindDeviceHandlers();
  f.handshake.BindDeviceHandlers();  // a second load binds nothing twice
  EXPECT_EQ(f.devices.At(3), early);
  for (int32_t n = 0; n < 32; ++n) {
    EXPECT_TRUE(f.handshake.IsBound(n)) << n;
    EXPECT_EQ(f.devices.At(n)->SubscriberCount(), 1u) << n;
  }
  EXPECT_FALSE(f.handshake.IsBound(32));
  EXPECT_FALSE(f.devices.IsCreated(32));

  // Each handler serves its own channel alone and widens with the sign.
  early->SetCCmd(-5);
  early->SetCCmdParm(0.75);
  early->SetCCmdStat(-32768);
  early->CDoUpdate();
  EXPECT_EQ(Slots(f.window, 3), "-5 0.75 -32768");
  for (int32_t n : {0, 2, 4, 31}) EXPECT_EQ(Slots(f.window, n), "0 0 0") << n;
  EXPECT_FALSE(f.window.DeviceDirty[3]);

  // Two clients before the next pass: the later command is the one that stays.
  const auto other = connector.Device(3);
  ClientSends(*early, 1, 1);
  ClientSends(*other, 2, 2);
  EXPECT_EQ(Slots(f.window, 3), "2 2 0");

  f.handshake.UnbindDeviceHandlers();
  for (int32_t n = 0; n < 32; ++n) {
    EXPECT_FALSE(f.handshake.IsBound(n)) << n;
    EXPECT_TRUE(f.devices.IsCreated(n)) << n;
    EXPECT_EQ(f.devices.At(n)->SubscriberCount(), 0u) << n;
  }
  ClientSends(*early, 6, 6);
  EXPECT_EQ(Slots(f.window, 3), "2 2 0");
}

TEST(DeviceHandshake, ADestroyedHandshakeLeavesNoHandlerBehind) {
  Devices devices;
  MainWindowValues window;
  PublicationState publication;
  ScanValues engine;
  ConfigState config;
  RecordingLog log;
  {
    DeviceHandshake handshake(devices, window, publication, engine, config, log);
    handshake.BindDeviceHandlers();
  }
  EXPECT_EQ(devices.At(0)->SubscriberCount(), 0u);
  devices.At(0)->CDoUpdate();
}

}  // namespace
}  // namespace tarvex
