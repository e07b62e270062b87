#include "config/serial_port_operations.h"

#include <cstdlib>
#include <limits>

namespace tarvex {
namespace {

constexpr const char* BoxTitle = "Tarvex Setup Error";
constexpr int BoxStyle = MsgBoxStyle::OkOnly | MsgBoxStyle::Critical;

// The middle sentences of the spoken warning, each with two blanks after the
// comma and one at the end, where the channel number follows.
constexpr const char* InvalidPortSentence =
    ",  You have selected an invalid COM port. I am restoring default com port settings and "
    "disabling channel ";
constexpr const char* PortInUseSentence =
    ",  You have selected a COM port that is already is use. I am restoring default com port "
    "settings and disabling channel ";

}  // namespace

std::string PortErrorSpeech(int channel, bool inUse) {
  const std::string number = std::to_string(channel + 1);
  return "Attention!, A Tarvex error has occured on Channel " + number +
         (inUse ? PortInUseSentence : InvalidPortSentence) + number + "now." +
         "Please contact Velmar Orinda Technical Support if you need additional assistance.";
}

ChannelPortSettings& SerialPortOperations::Settings(long long channel) {
  CheckSubscript(channel, 0, ChannelArraySize - 1, "port settings");
  return settings_[static_cast<size_t>(channel)];
}

const ChannelPortSettings& SerialPortOperations::PortSettings(long long channel) const {
  CheckSubscript(channel, 0, ChannelArraySize - 1, "port settings");
  return settings_[static_cast<size_t>(channel)];
}

void SerialPortOperations::ApplyPortSettings(int channel) {
  const ChannelSetup& setup = config_.Channels[channel];
  ChannelPortSettings& applied = Settings(channel);
  if (setup.ComPortIndex == std::numeric_limits<int32_t>::max()) {
    throw RunTimeError(ErrorNumber::Overflow, StandardErrorDescription(ErrorNumber::Overflow) +
                                                  " (port index of channel " +
                                                  std::to_string(channel) + ")");
  }
  applied.CommPortNumber = setup.ComPortIndex + 1;
  // The setup dialog's port settings list holds the settings table's 54
  // entries; any other index reads as an empty text, which the port refuses.
  const long long index = setup.PortSettingsIndex;
  applied.CommSettingsText =
      index >= 0 && index <= 53 ? startup_.Tables.CommSettings(index) : std::string();
  applied.Handshaking = setup.XonXoff ? -1 : 0;

  SerialPort& port = ports_[channel];
  if (port.PortOpen()) port.SetPortOpen(false);
  port.SetSettings(applied.CommSettingsText);
  port.SetCommPort(applied.CommPortNumber);
  port.SetHandshaking(std::abs(applied.Handshaking));
}

void SerialPortOperations::RestorePortSettings(int channel) {
  const ChannelPortSettings& saved = Settings(channel);
  SerialPort& port = ports_[channel];
  port.SetSettings(saved.SavedCommSettings);
  port.SetCommPort(saved.SavedCommPort);
  port.SetHandshaking(saved.SavedHandshaking);
}

void SerialPortOperations::SavePortSettings(int channel) {
  ChannelPortSettings& saved = Settings(channel);
  const SerialPort& port = ports_[channel];
  saved.SavedCommSettings = port.Settings();
  saved.SavedCommPort = port.CommPort();
  saved.SavedHandshaking = port.Handshaking();
}

void SerialPortOperations::OpenPort(int channel) {
  if (!RunHandled(channel, [&] { SavePortSettings(channel); })) return;
  if (!RunHandled(channel, [&] { ApplyPortSettings(channel); })) return;
  RunHandled(channel, [&] {
    SerialPort& port = ports_[channel];
    // The port is left open; the scan takes it over when it re-initialises
    // the channel. Only a channel on a PC serial port uses its port: a
    // terminal-network or other channel gets the settings but no open port.
    const ChannelSetup& setup = config_.Channels[channel];
    if (setup.ConnectUsing == ConnectionType::PcSerialPort && setup.DeviceEnabled && !port.PortOpen()) {
      port.SetPortOpen(true);
    }
  });
}

bool SerialPortOperations::RunHandled(int channel, const std::function<void()>& step) {
  try {
    step();
    return true;
  } catch (const RunTimeError& error) {
    // Whatever the handler raises itself goes on to the caller.
    return HandlePortError(channel, error);
  }
}

void SerialPortOperations::SpeakPortError(int channel, bool inUse) {
  if (startup_.SpeechEnabled) speech_.Speak(PortErrorSpeech(channel, inUse));
}

void SerialPortOperations::LogPortErrorDetail(int channel, const RunTimeError& error) {
  // The fixed line above says what went wrong, this one where and why: the
  // port number, the device path and the system's reason.
  log_.WriteLog(LogKind::Error, "Channel " + std::to_string(channel + 1) + ": " + error.description());
}

bool SerialPortOperations::HandlePortError(int channel, const RunTimeError& error) {
  switch (error.number()) {
    case ErrorNumber::InvalidPortNumber:
      log_.WriteLog(LogKind::Error, "Invalid COM: Port Selected.");
      LogPortErrorDetail(channel, error);
      SpeakPortError(channel, false);
      messageBox_.Open("The COM: port you have selected is invalid.\r\nDisabling Device Now...",
                       BoxStyle, BoxTitle);
      RestorePortSettings(channel);
      config_.Channels[channel].DeviceEnabled = false;  // operation 17
      return false;
    case ErrorNumber::PortAlreadyOpen:
      log_.WriteLog(LogKind::Error, "COM: Port Already In Use.");
      LogPortErrorDetail(channel, error);
      SpeakPortError(channel, true);
      messageBox_.Open(
          "The COM: port you have selected is already in use...\r\nDisabling Device Now...",
          BoxStyle, BoxTitle);
      RestorePortSettings(channel);
      config_.Channels[channel].DeviceEnabled = false;  // operation 17
      return false;
    case ErrorNumber::PortNotOpen:
      // Not logged and not shown; operation 7 goes on with its next step.
      SpeakPortError(channel, false);
      return true;
    default: {
      const std::string text =
          "Critical Error: " + std::to_string(error.number()) + "  " + error.description();
      log_.WriteLog(LogKind::Error, text);
      messageBox_.Open(text + "\r\nPlease Contact Velmar-Orinda Technical Services...", BoxStyle,
                       BoxTitle);
      return false;
    }
  }
}

}  // namespace tarvex
