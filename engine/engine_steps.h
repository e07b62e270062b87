#pragma once
// The per-channel steps of the scan pass, each served by its own part of the
// engine: client commands, the database request service on a serial line and
// on the terminal network, and scale data from a serial line and from the
// terminal network. Each part is one ChannelStep; EngineSteps hands the pass's
// calls to them. A part that a build leaves out is a NoStep.
#include <cstdint>

#include "engine/channel_steps.h"

namespace tarvex {

class ChannelStep {
public:
  virtual ~ChannelStep() = default;
  virtual void Serve(int32_t ch) = 0;
};

class NoStep final : public ChannelStep {
public:
  void Serve(int32_t) override {}
};

struct EngineStepParts {
  ChannelStep& clientCommands;
  ChannelStep& serialDBRequest;
  ChannelStep& terminalDBRequest;
  ChannelStep& serialScaleData;
  ChannelStep& terminalScaleData;
};

class EngineSteps final : public ChannelSteps {
public:
  explicit EngineSteps(EngineStepParts parts) : parts_(parts) {}
  void ClientCommands(int32_t ch) override { parts_.clientCommands.Serve(ch); }
  void SerialDBRequest(int32_t ch) override { parts_.serialDBRequest.Serve(ch); }
  void TerminalDBRequest(int32_t ch) override { parts_.terminalDBRequest.Serve(ch); }
  void SerialScaleData(int32_t ch) override { parts_.serialScaleData.Serve(ch); }
  void TerminalScaleData(int32_t ch) override { parts_.terminalScaleData.Serve(ch); }

private:
  EngineStepParts parts_;
};

}  // namespace tarvex
