#pragma once
// Command-line switches: each is on when its word occurs anywhere in the
// upper-cased command line as a plain substring ("nogdi", "/NOGDI" and
// "xNOGDIy" all count; any argument containing "log" turns logging on).
#include <string>

#include "core/startup_state.h"

namespace tarvex {

bool SwitchGiven(const std::string& commandLine, const char* word);

// Sets NoMinimize, SpeechEnabled, EditFixedProtocols, DebugMode, GDIEnabled and
// ChannelLogEnabled(0 .. MaxChannel) from the command line, in that order.
// Entries of ChannelLogEnabled above MaxChannel are not touched.
void ScanSwitches(const std::string& commandLine, StartupState& state);

}  // namespace tarvex
