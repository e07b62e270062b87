#pragma once
// Test support: channel 0 of a scan pass on a pseudo-terminal (or the scale
// simulator's), served by the real scale-data step, and what it published.
#include <gtest/gtest.h>
#include <poll.h>

#include <chrono>
#include <fstream>
#include <ostream>
#include <string>

#include "config/protocol_file.h"
#include "engine/scale_data/serial_scale_data.h"
#include "tests/support/engine_fixture.h"
#include "tools/scale_sim/scale_frames.h"
#include "tests/support/scale_sim_process.h"

namespace tarvex {

constexpr int32_t Protocol = 5;
constexpr const char* WeightLogName = "\\Weights-0.txt";

// The sample protocol, without its decimal-place and sign rows when asked:
// then the weights carry their point and sign in the field.
inline ProtocolDefinition SampleProtocol(bool decimalStatus) {
  ProtocolDefinition d = sim::DemoProtocol();
  if (!decimalStatus) {
    for (auto& row : d.StatusData) {
      if (row[1].text() == "(WEIGHT)") row[5] = DataCell::Text(" ");
    }
  }
  return d;
}

inline ChannelSetup ScaleChannel(int32_t timeout) {
  ChannelSetup c;
  c.ChannelProtocol = Protocol;
  c.ConnectUsing = 0;
  c.ComPortIndex = 1;  // port 2
  c.PortSettingsIndex = 33;
  c.DeviceEnabled = true;
  c.DeviceDescs = "Line scale";
  c.PrimaryUnits = 1;  // KG
  c.Timeout = timeout;
  c.AsciiLogEnabled = true;
  c.AsciiLogFileName = WeightLogName;
  return c;
}

// Channel 0 on the device, served by the real step, after the first pass;
// with a second device, channel 1 the same on it.
struct ScaleRig {
  ScaleRig(const std::string& device, const ChannelSetup& channel, const ProtocolDefinition& protocol,
           const std::string& secondDevice = {}) {
    f.startup.MaxChannel = secondDevice.empty() ? 0 : 1;
    f.scratch.MapPorts({{2, device}, {3, secondDevice.empty() ? device : secondDevice}});
    const std::string path = f.cfg.ProtocolFilePath(Protocol);
    std::ofstream(path, std::ios::binary) << FormatProtocolFile(protocol, path);
    f.StoreChannel(0, channel);
    if (!secondDevice.empty()) {
      ChannelSetup second = channel;
      second.ComPortIndex = 2;  // port 3
      f.StoreChannel(1, second);
    }
    f.steps.during["serial data"] = [this](int32_t ch) { step.Serve(ch); };
    f.pass.Timer1_Timer();
  }

  // Passes, each after input arrived or 100 ms went by, until done() holds
  // after a pass; false when ten seconds were not enough.
  template <typename Done>
  bool PassUntil(int watched, Done done) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < until) {
      pollfd p{watched, POLLIN, 0};
      ::poll(&p, 1, 100);
      f.trace.clear();
      f.pass.Timer1_Timer();
      if (done()) return true;
    }
    return false;
  }

  // Sends bytes on the line and waits until the port holds them all.
  void Feed(testing::PtyPair& pty, std::string_view bytes, int32_t ch = 0) {
    const int32_t before = f.ports[ch].InBufferCount();
    ASSERT_TRUE(pty.Send(bytes));
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (f.ports[ch].InBufferCount() < before + static_cast<int32_t>(bytes.size()) &&
           std::chrono::steady_clock::now() < until) {
      pollfd p{pty.deviceSide(), POLLIN, 0};
      ::poll(&p, 1, 10);
    }
  }
  void Pass() {
    f.trace.clear();
    f.pass.Timer1_Timer();
  }

  // Lamps 2, 3, 4 and 7 (motion, net, units, error) as "0"/"1".
  std::string StatusLamps() const {
    std::string lamps;
    for (int k : {Lamp::Motion, Lamp::NetMode, Lamp::Units, Lamp::Error}) lamps += f.grid.IndicatorOn(0, k) ? '1' : '0';
    return lamps;
  }
  std::string WeightLog() const {
    std::ifstream in(f.scratch.folder().join(WeightLogName), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  EngineFixture f;
  FixedClock wallClock{QDateTime(QDate(2026, 12, 10), QTime(13, 5, 7))};
  ScanSurroundings services = f.Services(f.log);
  SerialScaleData step{services, f.opcItems, f.labels, wallClock, f.scratch.folder()};
};

struct Shown {
  std::string gross, tare, net, id, status;
  int16_t bits = 0;
  std::string lamps;  // 2, 3, 4, 7
  bool operator==(const Shown&) const = default;
};
inline std::ostream& operator<<(std::ostream& out, const Shown& s) {
  return out << "[" << s.gross << "|" << s.tare << "|" << s.net << "|" << s.id << "|" << s.status << "|" << s.bits
             << "|" << s.lamps << "]";
}

inline Shown Published(const ScaleRig& rig) {
  const PublicationState& p = rig.f.publication;
  return {p.PubGross[0], p.PubTare[0], p.PubNet[0], p.PubID[0], p.StatusText[0], rig.f.engine.PubStatBits[0],
          rig.StatusLamps()};
}

}  // namespace tarvex
