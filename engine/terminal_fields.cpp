#include "engine/terminal_fields.h"

#include <vector>

#include "engine/lamps.h"
#include "engine/out_of_service.h"
#include "engine/terminal_packets.h"

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

void TakeSilentTerminalOutOfService(ScanServices& s, int32_t ch) {
  s.engine.ChannelActive[ch] = false;
  s.publication.StatusText[ch] = "Network ID Error...";
  s.grid.SetCellDirty(ch, GridColumn::StatusText);
  SwitchLamp(s.grid, ch, Lamp::Error, true);
  if (s.startup.SpeechEnabled) s.speech.Speak(TerminalNotRespondingSpeech(ch));
  s.config.Channels[ch].DeviceEnabled = false;
  TellOutOfService(s.engine, s.handshake, ch);
}

}  // namespace tarvex
