#include "engine/commands/client_command_step.h"

#include <algorithm>
#include <chrono>
#include <exception>
#include <functional>
#include <limits>

#include "engine/lamps.h"

namespace tarvex {
namespace {

// A status beyond the 32-bit slot (a command near its limit plus 1000)
// saturates rather than wrap into another command's answer.
int32_t StatusSlot(double status) {
  constexpr double low = std::numeric_limits<int32_t>::min();
  constexpr double high = std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(std::clamp(status, low, high));
}

std::string NotSerialLogLine(int32_t ch, double command) {
  return "Channel: " + std::to_string(ch + 1) + "  Command " + ParameterText(command) +
         " not sent: the channel is not on a serial port";
}

std::string StalledLogLine(int32_t ch, double command, std::chrono::milliseconds waited) {
  return "Channel: " + std::to_string(ch + 1) + "  Command " + ParameterText(command) +
         " not sent: the port has taken no output for " + std::to_string(waited.count()) + " ms";
}

constexpr int32_t DatabaseRequestProtocol = 0;

}  // namespace

// What a stage does with the outcome, on its own targets.
struct ClientCommandStep::Answer {
  int Client;  // the element of CommandsOnTheLine
  std::function<void(double status)> WriteBack;  // command 0, then the status
  std::function<void()> MarkDirty;
  std::function<void()> LogReceived;
};

void ClientCommandStep::Serve(int32_t ch) {
  const ChannelSetup& channel = s_.config.Channels[ch];
  s_.engine.CommandWaitsForLine[ch] = false;  // set again below while one still waits
  if (channel.Bidirectional) DeviceStage(ch);
  if (channel.OPCEnabled) OPCStage(ch);
}

void ClientCommandStep::DeviceStage(int32_t ch) {
  MainWindowValues& w = s_.window;
  const double command = w.ClientCmd[ch];
  const double parameter = w.ClientCmdParm[ch];
  const double status = w.ClientCmdStat[ch];
  if (AnswerCommandOnTheLine(ch, DeviceAnswer(ch), command, status)) {
    // The command on the line was answered now, or still waits: none is taken.
  } else if (CommandPending(command, status, s_.config.System.CmdHandshake) && LineFree(ch)) {
    TakeCommand(ch, command, parameter, DeviceAnswer(ch));
  }
  TransmitIndicatorOff(ch);
}

ClientCommandStep::Answer ClientCommandStep::DeviceAnswer(int32_t ch) {
  MainWindowValues& w = s_.window;
  return Answer{0,
                [&w, ch](double newStatus) {
                  w.ClientCmd[ch] = 0;
                  w.ClientCmdStat[ch] = StatusSlot(newStatus);
                },
                [&w, ch] { w.DeviceDirty[ch] = true; },
                [this, &w, ch] {
                  s_.log.WriteLog(ReceivedCommandLogKind(CommandClient::Device),
                                  ReceivedCommandLogLine(CommandClient::Device, ch, std::to_string(w.ClientCmd[ch]),
                                                         ParameterText(w.ClientCmdParm[ch]),
                                                         std::to_string(w.ClientCmdStat[ch])));
                }};
}

void ClientCommandStep::OPCStage(int32_t ch) {
  EngineState& e = s_.engine;
  const ChannelSetup& channel = s_.config.Channels[ch];
  if (channel.Bidirectional) {
    if (PassesSince(e.ScanTick, e.LastOPCWriteTick[ch]) >= channel.RefreshInterval) s_.publication.OPCDirty[ch] = true;
    auto item = [&](int16_t position) { return items_.ItemValue(ch, position).value_or(0); };
    const double command = item(OPCCommandItem::Cmd);
    const double parameter = item(OPCCommandItem::CmdParm);
    const double status = item(OPCCommandItem::CmdStat);
    if (AnswerCommandOnTheLine(ch, OPCAnswer(ch), command, status)) {
      // The command on the line was answered now, or still waits: none is taken.
    } else if (CommandPending(command, status, s_.config.System.CmdHandshake) && LineFree(ch)) {
      TakeCommand(ch, command, parameter, OPCAnswer(ch));
    }
  }
  TransmitIndicatorOff(ch);
}

ClientCommandStep::Answer ClientCommandStep::OPCAnswer(int32_t ch) {
  auto item = [this, ch](int16_t position) { return items_.ItemValue(ch, position).value_or(0); };
  return Answer{1,
                [this, ch](double newStatus) {
                  items_.SetItemValue(ch, OPCCommandItem::Cmd, 0);
                  items_.SetItemValue(ch, OPCCommandItem::CmdStat, newStatus);
                },
                [this, ch] { s_.publication.OPCDirty[ch] = true; },
                [this, ch, item] {
                  s_.log.WriteLog(
                      ReceivedCommandLogKind(CommandClient::OPC),
                      ReceivedCommandLogLine(CommandClient::OPC, ch, ParameterText(item(OPCCommandItem::Cmd)),
                                             ParameterText(item(OPCCommandItem::CmdParm)),
                                             ParameterText(item(OPCCommandItem::CmdStat))));
                }};
}

bool ClientCommandStep::LineFree(int32_t ch) {
  // A database request channel's reply leaves character by character through
  // the transmit timer; a command written now would land inside it.
  // Requests wait meanwhile, so that the queue does drain.
  const bool free =
      s_.config.Channels[ch].ChannelProtocol != DatabaseRequestProtocol || s_.engine.TxBuffer[ch].empty();
  if (!free) s_.engine.CommandWaitsForLine[ch] = true;
  return free;
}

bool ClientCommandStep::AnswerCommandOnTheLine(int32_t ch, const Answer& stage, double command, double status) {
  std::optional<EngineState::CommandOnTheLine>& held =
      s_.engine.CommandsOnTheLine[ch][static_cast<size_t>(stage.Client)];
  if (!held) return false;
  if (held->Command != command || !CommandPending(command, status, s_.config.System.CmdHandshake)) {
    // The client took its command back or put another in its place: the
    // held answer is no longer its question's, and is not written over it.
    held.reset();
    return false;
  }
  switch (s_.MSComm[ch].FateOf(held->End)) {
    case SerialPort::OutputFate::Waiting: return true;
    case SerialPort::OutputFate::Delivered: stage.WriteBack(held->TakenStatus); break;
    case SerialPort::OutputFate::Dropped: stage.WriteBack(held->RefusedStatus); break;
  }
  stage.MarkDirty();
  held.reset();
  return true;
}

void ClientCommandStep::TakeCommand(int32_t ch, double command, double parameter, const Answer& stage) {
  CommandDecision decision;
  try {
    const ProtocolDefinition& protocol = s_.config.Protocols[s_.config.Channels[ch].ChannelProtocol];
    decision = DecideCommand(protocol, ch, command, parameter);
  } catch (...) {
    // A channel without a protocol, or a protocol whose command characters
    // are unusable: answered, so that the same command does not fail again on
    // every pass.
    Republish(ch);
    stage.MarkDirty();
    stage.WriteBack(command + 1000);
    throw;
  }
  Republish(ch);
  stage.MarkDirty();
  if (decision.Outcome == CommandOutcome::Held) return;
  if (decision.Outcome == CommandOutcome::Unknown) {
    stage.WriteBack(decision.RefusedStatus);
    return;
  }
  // The record of the command shows the client's values as they stand, so it
  // comes before the answer. A log that cannot be written must not keep the
  // command pending (it would fail again on every pass): its failure is
  // raised once the command is answered.
  std::exception_ptr unlogged;
  try {
    stage.LogReceived();
  } catch (...) {
    unlogged = std::current_exception();
  }
  Deliver(ch, command, decision, stage);
  if (unlogged) std::rethrow_exception(unlogged);
}

void ClientCommandStep::Deliver(int32_t ch, double command, const CommandDecision& decision, const Answer& stage) {
  if (decision.Outcome == CommandOutcome::ParameterTooWide) {
    stage.WriteBack(decision.RefusedStatus);
    s_.log.WriteLog(LogKind::Error, decision.ErrorLogLine);
    return;
  }
  if (s_.config.Channels[ch].ConnectUsing != ConnectionType::PcSerialPort) {
    stage.WriteBack(decision.RefusedStatus);
    s_.log.WriteLog(LogKind::Error, NotSerialLogLine(ch, command));
    return;
  }
  SerialPort& port = s_.MSComm[ch];
  if (const std::chrono::milliseconds waited = port.OutputWaiting(); waited >= CommandStallLimit) {
    stage.WriteBack(decision.RefusedStatus);
    s_.log.WriteLog(LogKind::Error, StalledLogLine(ch, command, waited));
    return;
  }
  uint64_t end = 0;
  try {
    SendToPort(ch, decision.Bytes);
    end = port.OutputEnd();
  } catch (...) {
    stage.WriteBack(decision.RefusedStatus);
    throw;
  }
  ShowSent(ch, decision);
  if (port.FateOf(end) == SerialPort::OutputFate::Delivered) {
    stage.WriteBack(decision.TakenStatus);
    return;
  }
  // Queued behind bytes the device has not taken yet: answered when they go.
  s_.engine.CommandsOnTheLine[ch][static_cast<size_t>(stage.Client)] =
      EngineState::CommandOnTheLine{command, decision.TakenStatus, decision.RefusedStatus, end};
}

void ClientCommandStep::Republish(int32_t ch) {
  PublicationState& p = s_.publication;
  s_.engine.PubStatBits[ch] = ForceStatusPublication;
  p.PubNet[ch] = ForcePublication;
  p.PubGross[ch] = ForcePublication;
  p.PubTare[ch] = ForcePublication;
}

void ClientCommandStep::SendToPort(int32_t ch, const std::string& bytes) {
  // A closed port raises 8012, a hung-up or stalled one 57: never "taken".
  s_.MSComm[ch].Output(bytes);
}

void ClientCommandStep::ShowSent(int32_t ch, const CommandDecision& decision) {
  EngineState& e = s_.engine;
  int32_t& last = e.LastIndicatorTick[ch][Indicator::Transmit];
  if (decision.StatusText) {
    s_.publication.StatusText[ch] = *decision.StatusText;
    s_.grid.SetCellDirty(ch, GridColumn::StatusText);
  }
  if (!decision.LightTransmit) {
    last = e.ScanTick;
    return;
  }
  if (!s_.grid.IndicatorOn(ch, Lamp::Transmit) && e.ScanTick != last) {
    SwitchLamp(s_.grid, ch, Lamp::Transmit, true);
    last = e.ScanTick;
  }
}

void ClientCommandStep::TransmitIndicatorOff(int32_t ch) {
  EngineState& e = s_.engine;
  int32_t& last = e.LastIndicatorTick[ch][Indicator::Transmit];
  if (!s_.grid.IndicatorOn(ch, Lamp::Transmit) || e.ScanTick == last) return;
  SwitchLamp(s_.grid, ch, Lamp::Transmit, false);
  last = e.ScanTick;
}

}  // namespace tarvex
