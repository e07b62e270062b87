#pragma once
// The polling engine's state: one object for the run, owned by the engine and
// passed by reference to the scan pass, its per-channel steps and the main
// window. Per-channel arrays run 0 to 32 and check every index (error 9).
//
// The values publication reads (ScanTick, ScaleStatBits, LastIndicatorTick)
// sit in the ScanValues base, so publication takes them without knowing the
// engine. The setup dialog reaches ReinitChannel and ChannelActive through
// Handover().
#include <array>
#include <cstdint>
#include <string>

#include "config/scan_handover.h"
#include "core/channel_array.h"
#include "publish/scan_values.h"

namespace tarvex {

// The forced-republication status: no decoded status takes this value.
inline constexpr int16_t ForceStatusPublication = -32765;
// Channels on the terminal network share this registration number.
inline constexpr int16_t TerminalProcessId = 125;

struct EngineState : ScanValues {
  // --- The pass ---
  // A pass is running; a pass that starts while it is set returns at once.
  bool ScanInProgress = false;
  // Passes counted since the current clock second began, and that second
  // (time of day in whole seconds; midnight before the first pass).
  int32_t ScansThisSecond = 0;
  int32_t LastSecond = 0;
  // False until the first pass has initialised every channel; the main
  // window's load and the start-up window's launch clear it again.
  bool DevicesInitialized = false;

  // --- Hand-over with the setup dialog ---
  // The channel the next pass re-initialises; -1 = none.
  int16_t ReinitChannel = -1;
  // The pass serves the channel; only channel initialisation sets it.
  ChannelArray<bool> ChannelActive{"ChannelActive"};
  ScanHandover Handover() { return {ReinitChannel, ChannelActive}; }

  // --- Terminal network registration, one for all terminal channels ---
  bool ZelApiOpen = false;
  bool ZelApiReopen = false;
  int16_t ZelApiResult = 0;

  // --- Per channel: serial input and the paced transmitter ---
  // Bytes received and not yet cut into a frame.
  ChannelArray<std::string> RxBuffer{"RxBuffer"};
  // Characters waiting for the paced transmitter, and the transmit tick of
  // the last one sent.
  ChannelArray<std::string> TxBuffer{"TxBuffer"};
  ChannelArray<int32_t> LastTxTick{"LastTxTick"};
  // The transmit timer's tick counter (0 to 10,000,000, then 0), the ticks
  // counted since the current clock second began, and that second.
  int32_t TxTick = 0;
  int32_t TxTicksThisSecond = 0;
  int32_t LastTxSecond = 0;
  // ScanTick when the channel last delivered data (or was opened): the
  // off-line time-out counts from here.
  ChannelArray<int32_t> LastDataTick{"LastDataTick"};

  // --- Per channel: interpretation and publication ---
  // The 16-bit status last published; ForceStatusPublication republishes.
  ChannelArray<int16_t> PubStatBits{"PubStatBits"};
  // The channel's primary unit name in capitals, compared with each frame's.
  ChannelArray<std::string> PrimaryUnitsText{"PrimaryUnitsText"};
  // The weight format is known from the frames (or from the status table).
  ChannelArray<bool> DecimalsFromStatus{"DecimalsFromStatus"};
  ChannelArray<bool> FormatKnown{"FormatKnown"};

  // --- Per channel: OPC ---
  // A write of the channel's items is under way (channel tail).
  ChannelArray<bool> OPCWriteBusy{"OPCWriteBusy"};
  // ScanTick of the channel's last OPC write (periodic re-write).
  ChannelArray<int32_t> LastOPCWriteTick{"LastOPCWriteTick"};

  // --- Per channel: terminal field paths, built at (re)initialisation ---
  // ArcPathPtp[ch][1] .. [5]; element 0 is not used.
  ChannelArray<std::array<std::string, 6>> ArcPathPtp{"ArcPathPtp"};
  ChannelArray<std::string> ArcPathLit01{"ArcPathLit01"};
  ChannelArray<std::string> ArcPathLit02{"ArcPathLit02"};
  ChannelArray<std::string> ArcPathWt101{"ArcPathWt101"};

  // --- Per channel: database request service (serial line or terminal) ---
  ChannelArray<std::string> DBName{"DBName"};
  ChannelArray<std::string> DBQuery{"DBQuery"};
  ChannelArray<bool> ExternalDB{"ExternalDB"};
  // Keyword positions found in the query (0 = absent).
  ChannelArray<int32_t> SelectIntoPos{"SelectIntoPos"};
  ChannelArray<int32_t> InsertPos{"InsertPos"};
  ChannelArray<int32_t> IntoPos{"IntoPos"};
  ChannelArray<int32_t> UpdatePos{"UpdatePos"};
  ChannelArray<int32_t> DeletePos{"DeletePos"};
  ChannelArray<int32_t> InPos{"InPos"};
  ChannelArray<int32_t> WherePos{"WherePos"};
  ChannelArray<std::string> DBReply{"DBReply"};
  ChannelArray<bool> ResultFound{"ResultFound"};
};

}  // namespace tarvex
