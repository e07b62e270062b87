#pragma once
// The scan pass over its real neighbours where they are cheap and telling
// (the configuration procedure on a scratch folder of channel files, serial
// ports on pseudo-terminals, SetVal and the Device handshake) and recording
// stand-ins for the rest (grid, terminal network, OPC clients, the per-channel
// steps, the error handler, the window, clock and pacing). Every stand-in
// writes into one trace, so a test reads a pass's effects in order.
#include <unistd.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "config/cfg_proc.h"
#include "engine/engine_state.h"
#include "engine/lamps.h"
#include "engine/scan_pass.h"
#include "engine/scan_surroundings.h"
#include "platform/opc/opc_client.h"
#include "platform/speech/speech.h"
#include "platform/terminal_net/terminal_net.h"
#include "tests/support/pty_pair.h"
#include "tests/support/publication_fixture.h"

namespace tarvex {

using testing::PtyPair;
using testing::ScratchFolder;

class RecordingTerminalNet final : public TerminalNet {
public:
  explicit RecordingTerminalNet(Trace& trace) : trace_(trace) {}
  int16_t ZelRegisterProcess(int16_t processId) override {
    trace_.push_back("register " + std::to_string(processId) + " -> " + std::to_string(registerResult));
    ++registrations;
    return registerResult;
  }
  int16_t ZelCloseProcess() override {
    trace_.push_back("close registration");
    return 0;
  }
  int16_t ZelRead(std::string_view, int16_t, std::span<char>, int16_t&) override { return readResult; }
  int16_t ZelWrite(std::string_view, int16_t, std::span<const char>) override { return 0; }
  int16_t ZelSendKeystroke(int16_t, int16_t, int16_t) override { return 0; }

  int16_t registerResult = 0;
  int16_t readResult = 0;  // of every ZelRead; the buffer is left as it is
  int registrations = 0;

private:
  Trace& trace_;
};

class RecordingOpcClient final : public OpcClient {
public:
  RecordingOpcClient(Trace& trace, int32_t ch) : trace_(trace), ch_(std::to_string(ch)) {}
  void SetServerName(const std::string& name) override { Note("server " + name); }
  void SetNodeName(const std::string& name) override { Note("node " + name); }
  void SetUpdateRate(int16_t ms) override { Note("rate " + std::to_string(ms)); }
  void Connect() override { Note("connect"); }
  void SetItemName(int16_t index, const std::string& tag) override {
    Note("item " + std::to_string(index) + " " + tag);
  }
  void CreateGroup() override { Note("create group"); }
  std::string ConnectStatus() const override { return "Connected"; }
  int32_t ConnectResult() const override { return 0; }
  std::string GroupStatus() const override { return "Group OK"; }
  int32_t GroupResult() const override { return 4; }
  void Write() override {
    writeFault.Enter("OPC write failed");
    Note("write");
    ++writes;
  }
  void RemoveGroup() override { Note("remove group"); }
  void Disconnect() override { Note("disconnect"); }

  FaultPoint writeFault;
  int writes = 0;

private:
  void Note(const std::string& what) { trace_.push_back("OPC(" + ch_ + ") " + what); }
  Trace& trace_;
  std::string ch_;
};

class RecordingOpcClients final : public OpcClients {
public:
  explicit RecordingOpcClients(Trace& trace) {
    for (int32_t ch = 0; ch < OpcChannels; ++ch) clients_.emplace_back(trace, ch);
  }
  RecordingOpcClient& OPC(int32_t ch) override {
    CheckSubscript(ch, 0, OpcChannels - 1, "OPC");
    return clients_[static_cast<size_t>(ch)];
  }

private:
  std::vector<RecordingOpcClient> clients_;
};

class RecordingSteps final : public ChannelSteps {
public:
  explicit RecordingSteps(Trace& trace) : trace_(trace) {}
  void ClientCommands(int32_t ch) override { Step("commands", ch); }
  void SerialDBRequest(int32_t ch) override { Step("serial db", ch); }
  void TerminalDBRequest(int32_t ch) override { Step("terminal db", ch); }
  void SerialScaleData(int32_t ch) override { Step("serial data", ch); }
  void TerminalScaleData(int32_t ch) override { Step("terminal data", ch); }
  // Runs inside the named step of the channel, before it is traced.
  std::map<std::string, std::function<void(int32_t)>> during;

private:
  void Step(const std::string& name, int32_t ch) {
    if (auto hook = during.find(name); hook != during.end()) hook->second(ch);
    trace_.push_back(name + " " + std::to_string(ch));
  }
  Trace& trace_;
};

class RecordingErrors final : public ScanErrorHandler {
public:
  explicit RecordingErrors(Trace& trace) : trace_(trace) {}
  void HandleScanError(int32_t ch, const RunTimeError& error) noexcept override {
    trace_.push_back("error " + std::to_string(ch) + " " + std::to_string(error.number()));
    descriptions.push_back(error.description());
  }
  std::vector<std::string> descriptions;

private:
  Trace& trace_;
};

class ManualClock final : public ScanClock {
public:
  int32_t TimeOfDaySeconds() const override { return second; }
  int64_t MonotonicMilliseconds() const override { return milliseconds; }
  int32_t second = 3600;
  int64_t milliseconds = 0;
};

class RecordingPacing final : public ScanPacing {
public:
  explicit RecordingPacing(Trace& trace) : trace_(trace) {}
  void Sleep(int32_t ms) override { trace_.push_back("sleep " + std::to_string(ms)); }
  void DoEvents() override {
    trace_.push_back("yield");
    if (pending) {
      auto run = std::move(pending);
      pending = nullptr;
      run();
    }
  }
  // Runs once, at the next yield: a timer event waiting in the queue.
  std::function<void()> pending;

private:
  Trace& trace_;
};

class RecordingWindow final : public ScanWindow {
public:
  explicit RecordingWindow(Trace& trace) : trace_(trace) {}
  void SetMousePointer(int pointer) override { trace_.push_back("pointer " + std::to_string(pointer)); }
  void PutInTray() override { trace_.push_back("put in tray"); }
  bool RefreshDialogOpen() const override { return refreshDialogOpen; }
  void ShowScanRate(int32_t rate) override { trace_.push_back("lScan1 " + std::to_string(rate)); }
  bool refreshDialogOpen = false;

private:
  Trace& trace_;
};

struct EngineFixture {
  EngineFixture() {
    InitCommSettings(startup.Tables);
    InitWeightUnits(startup.Tables);
    InitDecimalFormats(startup.Tables);
    InitCfgFileNames(startup.Tables);
    startup.MaxChannel = 7;
  }

  // Writes the channel's file from the record, as the setup dialog stores it.
  void StoreChannel(int32_t ch, const ChannelSetup& record) {
    config.Channels[ch] = record;
    cfg.CfgProc(CfgOp::WriteChannel, ch);
    config.Channels[ch] = ChannelSetup{};
  }
  std::string ChannelFileBytes(int32_t ch) const {
    std::ifstream in(cfg.ChannelFilePath(ch), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  // The lamps 0 to 7 of a channel as "0"/"1" characters.
  std::string Lamps(int32_t ch) const {
    std::string lamps;
    for (int k = 0; k <= 7; ++k) lamps += grid.IndicatorOn(ch, k) ? '1' : '0';
    return lamps;
  }
  // What the Setup button and the dialog's exit do to hand a channel back.
  void HandBack(int32_t ch) {
    engine.ChannelActive[ch] = false;
    if (ports[ch].PortOpen()) ports[ch].SetPortOpen(false);
    if (engine.ZelApiOpen) {
      net.ZelCloseProcess();
      engine.ZelApiOpen = false;
      engine.ZelApiReopen = true;
    }
    cfg.CfgProc(CfgOp::ReadChannel, ch);
    engine.ReinitChannel = static_cast<int16_t>(ch);
  }
  // The lines of the trace that start with one of the prefixes.
  Trace Only(std::initializer_list<std::string> prefixes) const {
    Trace kept;
    for (const std::string& line : trace) {
      for (const std::string& prefix : prefixes) {
        if (line.rfind(prefix, 0) == 0) {
          kept.push_back(line);
          break;
        }
      }
    }
    return kept;
  }

  Trace trace;
  ScratchFolder scratch;
  EngineState engine;
  ConfigState config;
  StartupState startup;
  SetupHandoverState setup;
  PublicationState publication;
  MainWindowValues window;
  Devices devices;

  RecordingGrid grid{trace};
  RecordingOpc opcItems{trace};
  RecordingLabels labels{trace};
  RecordingIcons icons{trace};
  RecordingTopics topics;
  test::RecordingLog log{trace};
  DeviceHandshake handshake{devices, window, publication, engine, config, log};
  ValuePublisher publisher{publication, window, config, grid, opcItems, labels, handshake};
  DdeLinks dde{publication, topics, QLocale::c()};
  ConfigProcedure cfg{config, startup, scratch.folder(), log};
  RecordingSpeech speech;
  SerialPortArray ports{scratch.folder()};
  RecordingTerminalNet net{trace};
  RecordingOpcClients opc{trace};
  ManualClock clock;
  RecordingPacing pacing{trace};
  RecordingWindow mainWindow{trace};
  RecordingSteps steps{trace};
  RecordingErrors errors{trace};
  // The pass's services over this fixture, writing its log records to logTo.
  ScanSurroundings Services(LogWriter& logTo) {
    return ScanSurroundings{engine, config, startup, setup,  publication, window, grid,       publisher,
                        dde,    handshake, icons, cfg,   logTo,       speech, ports,      net,
                        opc,    clock,  pacing,  mainWindow, steps,    errors};
  }
  ScanPass pass{Services(log)};
};

}  // namespace tarvex
