#pragma once
// The main window's values that the layers under the windows read or write:
// publication (the Device handshake, the detail labels, the indicators) and
// the scan pass. The main window (ui/main_window) owns the one instance as
// part of its state and passes it down by reference; this header only gives
// those layers the type, since they cannot include the windows.
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
  // The channel of the open detail window or keypad.
  int32_t SelectedChannel = 0;
  // The refresh-rate dialog is open: the timers count their ticks per second.
  bool RefreshDialogOpen = false;
  // The window is hidden behind its tray icon.
  bool InTray = false;
};

}  // namespace tarvex
