#include "engine/terminal/terminal_fields.h"

#include <vector>

#include "core/log_writer.h"
#include "engine/database/terminal_packets.h"
#include "engine/lamps.h"
#include "engine/out_of_service.h"
#include "platform/terminal_net/result_codes.h"

namespace tarvex {

TerminalFieldText ReadTerminalField(TerminalNet& net, std::string_view path, int16_t length) {
  std::vector<char> buffer(static_cast<size_t>(length), ' ');
  int16_t ZelReadStatus = 0;
  TerminalFieldText field;
  field.result = net.ZelRead(path, length, buffer, ZelReadStatus);
  if (field.result != 0) return field;
  const std::string_view bytes(buffer.data(), buffer.size());
  const size_t nul = bytes.find('\0');
  field.ended = nul != std::string_view::npos;
  field.text = std::string(bytes.substr(0, nul));
  return field;
}

int16_t WriteTerminalField(TerminalNet& net, std::string_view path, int16_t length, std::string_view text) {
  const std::string buffer = FieldText(text, static_cast<size_t>(length));
  return net.ZelWrite(path, length, buffer);
}

std::string TrimBlanks(std::string_view text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

std::string TerminalNotRespondingSpeech(int32_t ch) {
  const std::string channel = std::to_string(ch + 1);
  return "Attention!, A Tarvex error has repeatedly occured trying to read Channel " + channel +
         "'s  ARC NET Zelvar. This Channel device I D is not responding " +
         " properly, and is probably slowing down the entire system." + " Channel " + channel +
         " is being disabled. Please verify the Zelvar's ArcNet " +
         "settings and retry the connection. Please contact " +
         "Velmar Orinda Technical Support if you need additional assistance.";
}

void TakeSilentTerminalOutOfService(ScanSurroundings& s, int32_t ch) {
  s.engine.ChannelActive[ch] = false;
  s.publication.StatusText[ch] = "Network ID Error...";
  s.grid.SetCellDirty(ch, GridColumn::StatusText);
  SwitchLamp(s.grid, ch, Lamp::Error, true);
  if (s.startup.SpeechEnabled) s.speech.Speak(TerminalNotRespondingSpeech(ch));
  s.config.Channels[ch].DeviceEnabled = false;
  TellOutOfService(s.engine, s.handshake, ch);
}

void LogTerminalFault(ScanSurroundings& s, int32_t ch, std::string_view what, std::string_view path, int16_t result) {
  // A registration episode may end in a read failure with no good read
  // between: that failure takes the channel out of service and is logged too.
  std::string& logged = s.engine.TerminalFaultLogged[ch];
  if (logged == what) return;
  // Marked first: a log that cannot be written is reported by the pass once.
  logged = what;
  const TerminalResultInfo& info = LookUpTerminalResult(result);
  std::string line = "Channel: " + std::to_string(ch + 1) + "  " + std::string(what) + ": node " +
                     TrimBlanks(s.config.Channels[ch].DeviceID);
  if (!path.empty()) line += ", " + std::string(path);
  line += ", result " + std::to_string(result) + " " + std::string(info.name) + "  " + std::string(info.text);
  if (const std::string socket = s.net.UnreachedSocket(); !socket.empty())
    line += "  No terminal network socket at " + socket;
  s.log.WriteLog(LogKind::Error, line);
}

TerminalRead JudgeTerminalRead(ScanSurroundings& s, int32_t ch, std::string_view path, int16_t result) {
  EngineState& e = s.engine;
  if (result == ZEL_SUCCESS) {
    // A read that succeeds shows the registration is held, also when a try
    // to make it again was refused because it still was.
    e.ZelApiOpen = true;
    e.ZelApiReopen = false;
    e.TerminalTimeoutTick[ch].reset();
    e.TerminalFaultLogged[ch].clear();
    if (e.TerminalWaiting[ch]) {
      e.TerminalWaiting[ch] = false;
      s.publication.StatusText[ch] = "Ready...";
      s.grid.SetCellDirty(ch, GridColumn::StatusText);
      SwitchLamp(s.grid, ch, Lamp::Error, false);
    }
    return TerminalRead::Served;
  }
  std::optional<int32_t>& timedOut = e.TerminalTimeoutTick[ch];
  const bool timedOutBefore = timedOut && PassesSince(e.ScanTick, *timedOut) == 1;
  if (result == ZEL_INVALID_PROCESS && timedOutBefore && e.ZelApiTimeoutTick == e.ScanTick) {
    // The read of the pass before timed out and dropped the connection; this
    // pass's registration timed out too: the stall lasts.
    result = WSAETIMEDOUT;
  }
  if (result == ZEL_INVALID_PROCESS) {
    // The registration is gone (Setup closed it, or the network dropped it
    // with a connection that stalled): the next pass makes it again.
    e.ZelApiOpen = false;
    e.ZelApiReopen = true;
    if (!e.TerminalWaiting[ch]) {
      e.TerminalWaiting[ch] = true;
      s.publication.StatusText[ch] = "Initialization Error...";
      s.grid.SetCellDirty(ch, GridColumn::StatusText);
      SwitchLamp(s.grid, ch, Lamp::Error, true);
    }
    LogTerminalFault(s, ch, "Terminal Registration Error", path, result);
    return TerminalRead::NotServed;
  }
  if (result == WSAETIMEDOUT) {
    // The socket layer drops its connection, and the registration with it,
    // when its bound runs out: the next pass makes it again before any
    // channel reads, so a stall survived leaves no trace.
    e.ZelApiOpen = false;
    e.ZelApiReopen = true;
    if (!timedOutBefore) {
      timedOut = e.ScanTick;
      return TerminalRead::NotServed;
    }
  }
  e.TerminalTimeoutTick[ch].reset();
  LogTerminalFault(s, ch, "Terminal Read Error", path, result);
  TakeSilentTerminalOutOfService(s, ch);
  return TerminalRead::OutOfService;
}

}  // namespace tarvex
