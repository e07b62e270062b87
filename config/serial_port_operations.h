#pragma once
// Operations 3, 7, 8 and 9 of the configuration procedure on the channels'
// serial ports, and the port error handler of operation 7.
//
// Operation 7 runs when the setup dialog's OK writes a channel: it saves the
// port's present settings, applies the channel's, and opens the port of an
// enabled channel. A port that is invalid or in use is reported (error log,
// speech when on, a message box the operator must close), the saved settings
// go back on the port and the channel is disabled, so that the channel file
// written next records it out of service. Any other error is reported as a
// critical error and leaves the channel as it is. Errors raised while the
// handler itself runs reach the caller.
#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "config/config_state.h"
#include "config/port_operations.h"
#include "core/log_writer.h"
#include "core/startup_state.h"
#include "platform/message_box.h"
#include "platform/run_time_error.h"
#include "platform/serial/serial_port.h"
#include "platform/speech/speech.h"

namespace tarvex {

// The spoken warning about the port of channel (0-based) that is invalid
// (8002) or already in use (8005): it names the channel and says the default
// port settings come back and the channel is disabled. Operation 7's handler
// and the scan's error handler both speak it.
std::string PortErrorSpeech(int channel, bool inUse);

// What operations 3 and 9 leave behind for a channel.
struct ChannelPortSettings {
  int32_t CommPortNumber = 0;     // applied port number: ComPortIndex + 1
  std::string CommSettingsText;   // applied settings text
  int32_t Handshaking = 0;        // XonXoff as a Boolean, -1 or 0; the port gets its absolute value
  std::string SavedCommSettings;  // the port's settings text at the last operation 9
  int32_t SavedCommPort = 0;      // the port's number at the last operation 9
  int32_t SavedHandshaking = 0;   // the port's handshaking mode at the last operation 9
};

class SerialPortOperations final : public PortOperations {
public:
  SerialPortOperations(ConfigState& config, const StartupState& startup, SerialPortArray& ports,
                       LogWriter& log, MessageBox& messageBox, Speech& speech)
      : config_(config),
        startup_(startup),
        ports_(ports),
        log_(log),
        messageBox_(messageBox),
        speech_(speech) {}

  void ApplyPortSettings(int channel) override;    // operation 3
  void OpenPort(int channel) override;             // operation 7
  void RestorePortSettings(int channel) override;  // operation 8
  void SavePortSettings(int channel) override;     // operation 9

  // Channels 0 to 32; another index raises error 9.
  const ChannelPortSettings& PortSettings(long long channel) const;

private:
  ChannelPortSettings& Settings(long long channel);
  // Runs one step of operation 7 under the port error handler; false when
  // operation 7 is to be left.
  bool RunHandled(int channel, const std::function<void()>& step);
  bool HandlePortError(int channel, const RunTimeError& error);
  void SpeakPortError(int channel, bool inUse);
  void LogPortErrorDetail(int channel, const RunTimeError& error);

  ConfigState& config_;
  const StartupState& startup_;
  SerialPortArray& ports_;
  LogWriter& log_;
  MessageBox& messageBox_;
  Speech& speech_;
  std::array<ChannelPortSettings, ChannelArraySize> settings_{};
};

}  // namespace tarvex
