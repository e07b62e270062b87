#pragma once
// The per-channel configuration: one ChannelSetup record per channel 0 to 32,
// its 34 fields in channel-file order. Channels 0 to MaxChannel are in use.
//
// Field 18 of the file, ChannelLogEnabled, is the start-up state's per-channel
// array (the "LOG" switch sets it, reading a channel file overwrites the
// channel's entry), so it is not repeated here.
#include <array>
#include <cstdint>
#include <string>

#include "core/channel_array.h"
#include "core/startup_state.h"
#include "platform/run_time_error.h"

namespace tarvex {

namespace ConnectionType {
constexpr int32_t PcSerialPort = 0;
constexpr int32_t ArcNet = 1;
constexpr int32_t Other = 2;
}  // namespace ConnectionType

constexpr int OPCTagColumns = 8;  // columns 0 to 7; only 0 to 6 are stored

struct ChannelSetup {
  int32_t ChannelProtocol = 0;    // 1
  int32_t ConnectUsing = 0;       // 2
  int32_t ComPortIndex = 0;       // 3: 0 is COM1
  int32_t PortSettingsIndex = 0;  // 4: index into CommSettings
  bool XonXoff = false;           // 5
  std::string DeviceID;           // 6
  std::string DeviceDescs;        // 7
  int32_t DBDriver = 0;           // 8
  std::string OtherDriver;        // 9
  std::string OPCNodeName;        // 10
  std::string OPCServerName;      // 11
  std::string AsciiLogFileName;   // 12
  bool AsciiLogEnabled = false;   // 13
  bool DeviceEnabled = false;     // 14
  bool Bidirectional = false;     // 15
  bool OPCEnabled = false;        // 16
  bool PollForData = false;       // 17
  // 18: ChannelLogEnabled lives in StartupState.
  bool VirtualTerminalEnabled = false;  // 19
  bool InteractiveDBErrors = false;     // 20
  bool DDEServerEnabled = false;        // 21
  int32_t RefreshInterval = 0;          // 22
  int32_t TxDelay = 0;                  // 23
  int32_t Timeout = 0;                  // 24
  std::array<std::string, OPCTagColumns> OPCTags{};  // 25 to 31: columns 0 to 6
  int32_t PrimaryUnits = 0;             // 32
  int32_t DecimalPlaces = 0;            // 33
  bool DataMapEnabled = false;          // 34

  bool operator==(const ChannelSetup&) const = default;
};

// The records of all channels; a channel outside 0 to 32 raises error 9.
class ChannelTable : public ChannelArray<ChannelSetup> {
public:
  ChannelTable() : ChannelArray("channel") {}
};

}  // namespace tarvex
