#pragma once
// The per-channel steps the scan pass runs for an active channel, and the
// handler of errors the pass raises. The pass decides which step runs for
// which channel; each step does its own work and raises RunTimeError when it
// fails.
//
// A step's port calls go through AtPort (engine/port_calls.h): a port that is
// not open (8012) only turns the error lamp off and the step goes on.
#include <cstdint>

#include "platform/run_time_error.h"

namespace tarvex {

class ChannelSteps {
public:
  virtual ~ChannelSteps() = default;
  // Client commands from the channel's Device and OPC items, and the
  // periodic OPC re-write. Runs for every active channel.
  virtual void ClientCommands(int32_t ch) = 0;
  // Protocol 0 on a serial line, and on the terminal network.
  virtual void SerialDBRequest(int32_t ch) = 0;
  virtual void TerminalDBRequest(int32_t ch) = 0;
  // Scale protocols on a serial line, and on the terminal network.
  virtual void SerialScaleData(int32_t ch) = 0;
  virtual void TerminalScaleData(int32_t ch) = 0;
};

// The steps while only the pass's own structure exists: an active channel is
// visited, but nothing is read from it or sent to it.
class NoChannelSteps final : public ChannelSteps {
public:
  void ClientCommands(int32_t) override {}
  void SerialDBRequest(int32_t) override {}
  void TerminalDBRequest(int32_t) override {}
  void SerialScaleData(int32_t) override {}
  void TerminalScaleData(int32_t) override {}
};

// Every error that reaches the pass's boundary, with the channel whose turn it
// was. The handler tells the operator and may repair the channel; it must not
// raise. After it returns the pass ends (or, while channels are initialised
// one by one, goes on with the next channel).
class ScanErrorHandler {
public:
  virtual ~ScanErrorHandler() = default;
  virtual void HandleScanError(int32_t ch, const RunTimeError& error) noexcept = 0;
};

}  // namespace tarvex
