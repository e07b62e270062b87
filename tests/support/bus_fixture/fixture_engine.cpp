#include "tests/support/bus_fixture/fixture_engine.h"

#include <iostream>

#include "core/parse_leading_number.h"
#include "platform/run_time_error.h"

namespace tarvex::fixture {

namespace {

constexpr int32_t FixtureProtocol = 10;  // the first custom protocol

}  // namespace

FixtureEngine::FixtureEngine(const EngineOptions& options, Devices& devices, DdeTopics& topics, LogWriter& log)
    : options_(options),
      handshake_(devices, window_, publication_, engine_, config_, log),
      publisher_(publication_, window_, config_, grid_, opc_, detail_, handshake_),
      links_(publication_, topics) {
  config_.System.CmdHandshake = true;
  int k = 0;
  for (int code : options_.enabledCommands) {
    if (k == CommandsPerProtocol) break;
    CommandEntry& entry = config_.Protocols[FixtureProtocol].Commands[static_cast<size_t>(k++)];
    entry.ProtocolCommands[1] = "Command " + std::to_string(code);
    entry.ProtocolCommands[2] = std::to_string(code);
    entry.CommandEnabled = true;
  }
  for (int ch = 0; ch < options_.channels; ++ch) {
    ChannelSetup& setup = config_.Channels[ch];
    setup.ChannelProtocol = FixtureProtocol;
    setup.DeviceEnabled = true;
    setup.DDEServerEnabled = true;
    setup.Bidirectional = options_.oneWayChannels.count(ch) == 0;
    setup.DeviceDescs = "Fixture Scale " + std::to_string(ch + 1);
  }
  timer_.setInterval(options_.intervalMs);
  connect(&timer_, &QTimer::timeout, this, &FixtureEngine::ScanPass);
}

void FixtureEngine::LoadMainWindow() {
  if (loaded_) return;
  loaded_ = true;
  handshake_.BindDeviceHandlers();
  ScanPass();
  timer_.start();
}

void FixtureEngine::SetWeights(int channel, std::string gross, std::string tare, std::string net) {
  CheckSubscript(channel, 0, options_.channels - 1, "fixture channel");
  pending_[static_cast<size_t>(channel)].weights = {std::move(gross), std::move(tare), std::move(net)};
}

void FixtureEngine::SetScaleStatus(int channel, int16_t bits) {
  CheckSubscript(channel, 0, options_.channels - 1, "fixture channel");
  pending_[static_cast<size_t>(channel)].scaleStatus = bits;
}

void FixtureEngine::ScanPass() {
  for (int ch = 0; ch < options_.channels; ++ch) {
    try {
      if (initialised_) {
        ChannelTurn(ch);
      } else {
        InitialiseChannel(ch);
      }
    } catch (const RunTimeError& error) {
      std::cerr << "tarvex-bus-fixture: channel " << ch << ": error " << error.number() << ": "
                << error.description() << std::endl;
    }
  }
  initialised_ = true;
}

void FixtureEngine::InitialiseChannel(int ch) {
  publication_.PubGross[ch] = ForcePublication;
  publication_.PubTare[ch] = ForcePublication;
  publication_.PubNet[ch] = ForcePublication;
  publisher_.SetVal(ValueCode::Description, ch);
  if (window_.DeviceDirty[ch]) handshake_.CallDeviceUpdateMethod(ch);
}

void FixtureEngine::TakeCommand(int ch) {
  const int32_t cmd = window_.ClientCmd[ch];
  const int32_t stat = config_.System.CmdHandshake ? window_.ClientCmdStat[ch] : 0;
  if (stat != 0 || cmd == 0) return;
  bool found = false;
  for (const CommandEntry& entry : config_.Protocols[config_.Channels[ch].ChannelProtocol].Commands) {
    if (entry.CommandEnabled && ParseLeadingNumber(entry.ProtocolCommands[2]) == cmd) found = true;
  }
  window_.ClientCmd[ch] = 0;
  window_.ClientCmdStat[ch] = cmd + (found ? 100 : 1000);
  window_.DeviceDirty[ch] = true;
}

void FixtureEngine::ChannelTurn(int ch) {
  if (config_.Channels[ch].Bidirectional) TakeCommand(ch);

  Pending& pending = pending_[static_cast<size_t>(ch)];
  if (pending.scaleStatus) {
    engine_.ScaleStatBits[ch] = *pending.scaleStatus;
    publication_.DDEValues(DDEItem::ScaleStat, ch) = *pending.scaleStatus;
    publication_.DDEDirty[ch] = true;
    publisher_.SetVal(ValueCode::ScaleStat, ch);
    window_.DeviceDirty[ch] = true;
    pending.scaleStatus.reset();
  }
  if (pending.weights) {
    publication_.NewGross[ch] = (*pending.weights)[0];
    publication_.NewTare[ch] = (*pending.weights)[1];
    publication_.NewNet[ch] = (*pending.weights)[2];
    publisher_.SetVal(ValueCode::Gross, ch);
    publisher_.SetVal(ValueCode::Tare, ch);
    publisher_.SetVal(ValueCode::Net, ch);
    window_.DeviceDirty[ch] = true;
    pending.weights.reset();
  }

  if (config_.Channels[ch].DDEServerEnabled && publication_.DDEDirty[ch]) {
    publication_.DDEDirty[ch] = false;
    links_.UpdateDDELinks(ch);
  }
  if (window_.DeviceDirty[ch]) handshake_.CallDeviceUpdateMethod(ch);
}

}  // namespace tarvex::fixture
