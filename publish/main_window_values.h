#pragma once
// Values of the main window that publication reads or writes. The main window
// owns them (it creates them zeroed, its Detail button and tray button set
// DetailOpen and InTray); they live here until the main window has a home of
// its own, and are passed by reference to the code that uses them.
#include <cstdint>

#include "core/channel_array.h"

namespace tarvex {

struct MainWindowValues {
  // A property of the channel's Device was set since its last update call.
  ChannelArray<bool> DeviceDirty{"DeviceDirty"};
  // The channel's command slots: what the last CUpdate brought in, and what
  // the scan pass writes back once it has handled the command.
  ChannelArray<int32_t> ClientCmd{"ClientCmd"};
  ChannelArray<double> ClientCmdParm{"ClientCmdParm"};
  ChannelArray<int32_t> ClientCmdStat{"ClientCmdStat"};
  // The detail window shows this channel.
  ChannelArray<bool> DetailOpen{"DetailOpen"};
  // The window is hidden behind its tray icon.
  bool InTray = false;
};

}  // namespace tarvex
