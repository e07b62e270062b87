#include "switches.h"

namespace tarvex {

bool SwitchGiven(const std::string& commandLine, const char* word) {
  std::string upper = commandLine;
  // ASCII only: the upper-casing must not depend on the locale.
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper.find(word) != std::string::npos;
}

void ScanSwitches(const std::string& commandLine, StartupState& state) {
  state.NoMinimize = SwitchGiven(commandLine, "NOMINIMIZE");
  state.SpeechEnabled = SwitchGiven(commandLine, "SPEECH");
  state.EditFixedProtocols = SwitchGiven(commandLine, "UNPROTECT");
  state.DebugMode = SwitchGiven(commandLine, "DEBUG");
  state.GDIEnabled = !SwitchGiven(commandLine, "NOGDI");
  const bool log = SwitchGiven(commandLine, "LOG");
  for (int channel = 0; channel <= state.MaxChannel && channel < ChannelArraySize; ++channel) {
    state.ChannelLogEnabled[static_cast<size_t>(channel)] = log;
  }
}

}  // namespace tarvex
