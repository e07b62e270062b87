#pragma once
// The scan pass with the client-command step and the full scan error handler,
// over the engine fixture: channels served by a real pass, serial ports on
// pseudo-terminals, the OPC item store, and recording (or failing) stand-ins
// for the log, speech, message box, terminal network and the window's grid
// and beep. A step that raises an error on demand stands in for the data
// steps, so every error reaches the handler through the pass's boundary.
#include <functional>
#include <optional>

#include "engine/commands/client_command_step.h"
#include "engine/engine_steps.h"
#include "engine/errors/scan_error_handling.h"
#include "platform/opc/opc_item_store.h"
#include "tests/support/engine_fixture.h"

namespace tarvex {

// A log that records like the test log and fails every write while failing.
class FailableLog final : public LogWriter {
public:
  explicit FailableLog(Trace& trace) : LogWriter(folder_, clock_), inner_(trace) {}
  void WriteLog(int kind, std::string_view text) override {
    if (failing) throw RunTimeError(75, "Path/File access error: ErrorLog-x.txt");
    inner_.WriteLog(kind, text);
  }
  std::vector<std::string> Texts() const { return inner_.Texts(); }
  std::vector<std::string> Texts(int kind) const {
    std::vector<std::string> kept;
    for (const auto& line : inner_.lines) {
      if (line.kind == kind) kept.push_back(line.text);
    }
    return kept;
  }
  bool failing = false;

private:
  ProgramFolder folder_{"/nonexistent"};
  FixedClock clock_{QDateTime()};
  test::RecordingLog inner_;
};

class FailableSpeech final : public Speech {
public:
  void Speak(std::string_view sentence) override {
    if (failing) throw RunTimeError(429, "ActiveX component can't create object");
    sentences.emplace_back(sentence);
  }
  std::vector<std::string> sentences;
  bool failing = false;
};

class FailableBox final : public MessageBox {
public:
  int Show(const std::string& text, int style, const std::string& title) override {
    if (failing) throw RunTimeError(7, "Out of memory");
    shown.push_back({text, style, title});
    if (whileShown) whileShown();
    return MsgBoxResult::Ok;
  }
  std::vector<RecordingMessageBox::Shown> shown;
  bool failing = false;
  // Runs while the box is open: the events a modal box lets through.
  std::function<void()> whileShown;
};

class RecordingErrorWindow final : public ScanErrorWindow, public Beeper {
public:
  explicit RecordingErrorWindow(Trace& trace) : trace_(trace) {}
  void MarkAllCellsDirty() override { trace_.push_back("mark all cells dirty"); }
  void Beep() override { trace_.push_back("beep"); }

private:
  Trace& trace_;
};

// The terminal network as the error reply sees it: every write recorded, the
// result chosen by the test.
class WritingTerminalNet final : public TerminalNet {
public:
  int16_t ZelRegisterProcess(int16_t) override { return 0; }
  int16_t ZelCloseProcess() override { return 0; }
  int16_t ZelRead(std::string_view, int16_t, std::span<char>, int16_t&) override { return 0; }
  int16_t ZelWrite(std::string_view path, int16_t length, std::span<const char> record) override {
    writes.push_back({std::string(path), length, std::string(record.begin(), record.end())});
    return writeResult;
  }
  int16_t ZelSendKeystroke(int16_t, int16_t, int16_t) override { return 0; }
  struct Write {
    std::string path;
    int16_t length;
    std::string record;
  };
  std::vector<Write> writes;
  int16_t writeResult = 0;
};

// A data step that raises the error set for a channel, or traces its call.
class RaisingStep final : public ChannelStep {
public:
  explicit RaisingStep(Trace& trace) : trace_(trace) {}
  void Serve(int32_t ch) override {
    if (raiseOn == ch) throw RunTimeError(number, description);
    trace_.push_back("data " + std::to_string(ch));
  }
  int32_t raiseOn = -1;
  int32_t number = 0;
  std::string description = "Bad thing";

private:
  Trace& trace_;
};

struct CommandsFixture : EngineFixture {
  CommandsFixture() {
    startup.MaxChannel = 2;
    engine.DevicesInitialized = true;
    config.System.CmdHandshake = true;
  }

  // Channel ch active on a serial port at the pty, with protocol p.
  void SerialChannel(int32_t ch, int32_t p, PtyPair& pty) {
    scratch.MapPorts({{ch + 1, pty.path()}});
    ports[ch].SetCommPort(ch + 1);
    ports[ch].SetPortOpen(true);
    ActiveChannel(ch, p, ConnectionType::PcSerialPort);
  }
  void ActiveChannel(int32_t ch, int32_t p, int32_t connection) {
    ChannelSetup& channel = config.Channels[ch];
    channel.ChannelProtocol = p;
    channel.ConnectUsing = connection;
    channel.DeviceEnabled = true;
    channel.Bidirectional = true;
    engine.ChannelActive[ch] = true;
  }
  // Entry k of protocol p.
  void Command(int32_t p, int k, const std::string& definition, const std::string& name, const std::string& value,
               bool enabled = true) {
    CommandEntry& entry = config.Protocols[p].Commands[static_cast<size_t>(k)];
    entry.ProtocolCommands[0] = definition;
    entry.ProtocolCommands[1] = name;
    entry.ProtocolCommands[2] = value;
    entry.CommandEnabled = enabled;
  }
  void DeviceCommand(int32_t ch, int32_t command, double parameter, int32_t status = 0) {
    window.ClientCmd[ch] = command;
    window.ClientCmdParm[ch] = parameter;
    window.ClientCmdStat[ch] = status;
  }
  void Pass() { commandPass.Timer1_Timer(); }

  FailableLog errorLog{trace};
  FailableSpeech voice;
  FailableBox box;
  RecordingErrorWindow errorWindow{trace};
  WritingTerminalNet terminal;
  OpcItemStore items;
  ScanSurroundings services{engine, config, startup, setup, publication, window, grid,  publisher,
                        dde,    handshake, icons, cfg,  errorLog,    voice,  ports, terminal,
                        opc,    clock,  pacing,  mainWindow, engineSteps, handler};
  ClientCommandStep commands{services, items};
  RaisingStep data{trace};
  EngineSteps engineSteps{{commands, data, data, data, data}};
  ScanErrorHandling handler{services, box, errorWindow, errorWindow};
  ScanPass commandPass{services};
};

// The pass over the fixture with the scan's own error handler in place of the
// recording one: what the operator sees of an error (lamps, the enabled
// switch, the channel file, the box) comes from the real handling.
struct RealErrorHandling {
  explicit RealErrorHandling(EngineFixture& fixture) : f(fixture) {}
  EngineFixture& f;
  RecordingMessageBox box;
  RecordingErrorWindow window{f.trace};
  ScanSurroundings services{f.engine, f.config, f.startup, f.setup,  f.publication, f.window, f.grid,
                        f.publisher, f.dde,  f.handshake, f.icons, f.cfg,     f.log,    f.speech,
                        f.ports,  f.net,    f.opc,     f.clock, f.pacing,  f.mainWindow, f.steps, handler};
  ScanErrorHandling handler{services, box, window, window};
  ScanPass pass{services};
};

}  // namespace tarvex
