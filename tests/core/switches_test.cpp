#include <gtest/gtest.h>

#include "core/switches.h"

namespace tarvex {
namespace {

struct SwitchRow {
  const char* commandLine;
  bool noMinimize, speech, unprotect, debug, gdi, log;
};

TEST(Switches, wordsCountInAnyCaseAnywhereInTheCommandLine) {
  const SwitchRow rows[] = {
      {"", false, false, false, false, true, false},
      {"nogdi", false, false, false, false, false, false},
      {"/NOGDI", false, false, false, false, false, false},
      {"xNOGDIy", false, false, false, false, false, false},
      {"NoMinimize Speech", true, true, false, false, true, false},
      {"-unprotect --debug", false, false, true, true, true, false},
      {"/tmp/catalog", false, false, false, false, true, true},  // "catalog" holds "LOG"
      {"DEBUGLOG", false, false, false, true, true, true},
      {"NO GDI", false, false, false, false, true, false},  // the word must be whole
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.commandLine);
    StartupState state;
    state.MaxChannel = 31;
    ScanSwitches(row.commandLine, state);
    EXPECT_EQ(state.NoMinimize, row.noMinimize);
    EXPECT_EQ(state.SpeechEnabled, row.speech);
    EXPECT_EQ(state.EditFixedProtocols, row.unprotect);
    EXPECT_EQ(state.DebugMode, row.debug);
    EXPECT_EQ(state.GDIEnabled, row.gdi);
    EXPECT_EQ(state.ChannelLogEnabled[0], row.log);
    EXPECT_EQ(state.ChannelLogEnabled[31], row.log);
  }
}

TEST(Switches, logSetsChannelsUpToMaxChannelAndLeavesTheRest) {
  StartupState state;
  state.MaxChannel = 7;
  state.ChannelLogEnabled[20] = true;  // above MaxChannel: not touched either way
  ScanSwitches("xlogx", state);
  for (int ch = 0; ch <= 7; ++ch) EXPECT_TRUE(state.ChannelLogEnabled[ch]) << ch;
  for (int ch = 8; ch <= 32; ++ch) EXPECT_EQ(state.ChannelLogEnabled[ch], ch == 20) << ch;

  ScanSwitches("", state);
  for (int ch = 0; ch <= 7; ++ch) EXPECT_FALSE(state.ChannelLogEnabled[ch]) << ch;
  EXPECT_TRUE(state.ChannelLogEnabled[20]);
}

}  // namespace
}  // namespace tarvex
