#pragma once
// The terminal steps over the in-process terminal network: node "5" serves
// channel 0, an SQLite file in a scratch folder serves its requests, the wall
// clock stands still where a test sets it and the monotonic clock moves only
// when a test advances it. Writes to a field can be made to fail on demand
// without touching the reads of the same field.
#include <QDate>
#include <QDateTime>
#include <QTime>
#include <functional>
#include <map>
#include <string>

#include "engine/database/terminal_db_request_step.h"
#include "engine/scale_data/terminal_scale_data.h"
#include "engine/terminal/terminal_paths.h"
#include "platform/beep.h"
#include "platform/terminal_net/terminal_simulator.h"
#include "tests/support/database_fixture.h"
#include "tests/support/engine_fixture.h"

namespace tarvex {

// The simulator's calls, with writes to chosen paths failing.
class WriteFailingNet final : public TerminalNet {
public:
  explicit WriteFailingNet(TerminalNet& inner) : inner_(inner) {}
  int16_t ZelRegisterProcess(int16_t id) override { return inner_.ZelRegisterProcess(id); }
  int16_t ZelCloseProcess() override { return inner_.ZelCloseProcess(); }
  int16_t ZelRead(std::string_view path, int16_t length, std::span<char> buffer, int16_t& status) override {
    return inner_.ZelRead(path, length, buffer, status);
  }
  int16_t ZelWrite(std::string_view path, int16_t length, std::span<const char> buffer) override {
    if (auto fail = failingWrites.find(std::string(path)); fail != failingWrites.end() && fail->second > 0) {
      --fail->second;
      return 4;
    }
    const int16_t result = inner_.ZelWrite(path, length, buffer);
    if (afterWrite) afterWrite(path);
    return result;
  }
  int16_t ZelSendKeystroke(int16_t node, int16_t mode, int16_t key) override {
    return inner_.ZelSendKeystroke(node, mode, key);
  }
  // path -> number of next writes that fail (with ZEL_INVALID_TERMINAL).
  std::map<std::string, int> failingWrites;
  // Runs after every write: the terminal acting between the manager's calls.
  std::function<void(std::string_view path)> afterWrite;

private:
  TerminalNet& inner_;
};

class SteppingClock final : public ScanClock {
public:
  int32_t TimeOfDaySeconds() const override { return 3600; }
  int64_t MonotonicMilliseconds() const override { return milliseconds; }
  int64_t milliseconds = 1'000'000;
};

// The pass's services over an engine fixture, with another network, clock
// and steps.
inline ScanSurroundings ServicesOver(EngineFixture& f, TerminalNet& net, ScanClock& clock, ChannelSteps& steps) {
  return ScanSurroundings{f.engine, f.config, f.startup, f.setup, f.publication, f.window, f.grid,       f.publisher,
                      f.dde,    f.handshake, f.icons, f.cfg, f.log,         f.speech, f.ports,      net,
                      f.opc,    clock,    f.pacing, f.mainWindow, steps,      f.errors};
}

struct TerminalFixture : EngineFixture {
  TerminalFixture() {
    network.AddNode("5");
    zel.ZelRegisterProcess(TerminalProcessId);
    config.Channels[0].DeviceID = " 5 ";
    config.Channels[0].DeviceEnabled = true;
    config.Channels[0].Timeout = 50;
    SetupArcNetPaths(engine, config, 0);
    engine.ChannelActive[0] = true;
    test::RunOn(database, {"CREATE TABLE Items (Code TEXT, Weight REAL)"});
  }

  // The terminal leaves a request in lit01 (and its database and query parts).
  void Request(const std::string& text) { network.SetField("/z5/lit01", text); }
  void Sql(const std::string& query) {
    network.SetField("/z5/lit02", database);
    network.SetField("/z5/ptp01", query);
    Request("SQL3:1");
  }
  // Items "R0", "R1", ... of weight 1.
  void Items(int count) {
    std::string insert = "INSERT INTO Items VALUES ";
    for (int i = 0; i < count; ++i) insert += std::string(i ? "," : "") + "('R" + std::to_string(i) + "',1)";
    test::RunOn(database, {insert.c_str()});
  }
  std::string Field(const std::string& name) const { return network.Field("/z5/" + name).value_or("?"); }
  std::string Lit01() const { return Field("lit01"); }

  TerminalSimulator network;
  SimulatedTerminalNet simulated{network};
  WriteFailingNet zel{simulated};
  SteppingClock scanClock;
  FixedClock wall{QDateTime(QDate(2026, 12, 9), QTime(14, 5))};
  CountingBeeper beeper;
  DatabaseWorkspace workspace;
  std::string database = scratch.folder().join("terminal.db");
  ScanSurroundings services = ServicesOver(*this, zel, scanClock, steps);
  TerminalScaleData scaleData{services};
  TerminalDBRequestStep dbRequest{services, workspace, wall, beeper};
};

}  // namespace tarvex
