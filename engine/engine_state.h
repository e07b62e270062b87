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
#include <optional>
#include <string>

#include "config/protocol_definition.h"
#include "config/scan_handover.h"
#include "core/channel_array.h"
#include "engine/frames/checked_protocol.h"
#include "engine/frames/frame_cutter.h"
#include "engine/frames/weight_format.h"
#include "engine/transmit/transmit_queue.h"
#include "publish/scan_values.h"

namespace tarvex {

// The forced-republication status: no decoded status takes this value.
inline constexpr int16_t ForceStatusPublication = -32765;
// Channels on the terminal network share this registration number.
inline constexpr int16_t TerminalProcessId = 125;

// The protocols in the checked form the frame step reads, 0 to 42; another
// protocol raises error 9. Checked when a protocol is loaded.
class CheckedProtocolTable {
public:
  CheckedProtocol& operator[](long long protocol) {
    CheckSubscript(protocol, 0, ProtocolArraySize - 1, "CheckedProtocols");
    return protocols_[static_cast<size_t>(protocol)];
  }

private:
  std::array<CheckedProtocol, ProtocolArraySize> protocols_{};
};

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
  // Monotonic milliseconds before which no re-registration is tried again:
  // a failed try waits a second, so a network that does not answer holds
  // the pass at most once a second.
  int64_t ZelApiRetryAt = 0;
  // The pass (ScanTick) whose re-registration try timed out: a channel whose
  // read timed out in the pass before then meets its second time-out.
  std::optional<int32_t> ZelApiTimeoutTick;
  // Per terminal channel: the pass (ScanTick) whose read timed out, so that
  // only a second time-out in the next pass takes the channel out of
  // service; the channel waits for the registration to come back (its
  // status says so); the kind of failure of this episode already in the
  // error log ("" when none).
  ChannelArray<std::optional<int32_t>> TerminalTimeoutTick{"TerminalTimeoutTick"};
  ChannelArray<bool> TerminalWaiting{"TerminalWaiting"};
  ChannelArray<std::string> TerminalFaultLogged{"TerminalFaultLogged"};

  // --- Per channel: serial input and the paced transmitter ---
  // A channel has one receive buffer, by its protocol: the database request
  // service (protocol 0) collects request lines in RxBuffer; a scale channel's
  // bytes not yet cut into a frame are held by its RxCutter, which the frame
  // step builds from the channel's protocol when it is empty. Opening the
  // port empties both; a protocol checked again with another framing empties
  // the cutters of its channels.
  ChannelArray<std::string> RxBuffer{"RxBuffer"};
  // A request line outgrew RxBuffer's line bound before its line feed: what
  // still comes of it is discarded through that line feed.
  ChannelArray<bool> RxLineDiscarded{"RxLineDiscarded"};
  ChannelArray<std::optional<FrameCutter>> RxCutter{"RxCutter"};
  // The last frame cut (terminator included, first CR a blank); FrameLength
  // is its size.
  ChannelArray<std::string> RxFrame{"RxFrame"};
  // Characters waiting for the paced transmitter, and the transmit tick of
  // the last one sent.
  ChannelArray<TransmitQueue> TxBuffer{"TxBuffer"};
  // A reply was refused because TxBuffer was full: reported once, until a
  // reply fits again.
  ChannelArray<bool> TxBufferFullReported{"TxBufferFullReported"};
  // A client command of a database request channel waits for the reply
  // being paced out: no further request is served until it has gone, so a
  // device that keeps asking cannot hold the command back for ever.
  ChannelArray<bool> CommandWaitsForLine{"CommandWaitsForLine"};
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
  // The channel's weight format: the chosen pattern, FormatKnown, the
  // decimals the frames report (DecimalsFromStatus, WeightDecimals) and their
  // DecimalPattern. (Re)initialisation clears FormatKnown and
  // DecimalsFromStatus.
  ChannelArray<ChannelFormat> Format{"Format"};
  // The protocols as checked at load.
  CheckedProtocolTable CheckedProtocols;
  // The weight log whose last write failed; empty after one that succeeded.
  // A log that cannot be written is reported once, not on every frame.
  ChannelArray<std::string> WeightLogFailed{"WeightLogFailed"};
  // The weight log records not written since the last one that was; told in
  // one error-log line when a record is written again.
  ChannelArray<int32_t> WeightLogLost{"WeightLogLost"};
  // Frames cut but refused as readings since the last reading (or since the
  // channel went off-line); told in one error-log line when that episode ends.
  ChannelArray<int32_t> FramesRefused{"FramesRefused"};

  // --- Per channel: client commands on the line ---
  // A command whose bytes still wait in the port's output queue: its client
  // is answered once they have reached the device (taken) or were dropped
  // (not taken), and no other command of that client kind is taken meanwhile.
  struct CommandOnTheLine {
    double Command = 0;  // as the client's slot held it
    double TakenStatus = 0;
    double RefusedStatus = 0;
    uint64_t End = 0;  // SerialPort::OutputEnd() after the command's bytes
  };
  // Element 0 the Device client, 1 the OPC client.
  ChannelArray<std::array<std::optional<CommandOnTheLine>, 2>> CommandsOnTheLine{"CommandsOnTheLine"};

  // --- Per channel: OPC ---
  // A write of the channel's items is under way (channel tail).
  ChannelArray<bool> OPCWriteBusy{"OPCWriteBusy"};
  // ScanTick of the channel's last OPC write (periodic re-write).
  ChannelArray<int32_t> LastOPCWriteTick{"LastOPCWriteTick"};
  // The channel's last OPC write failed: its failure episode was reported,
  // and the next failure is not reported again until a write succeeds.
  ChannelArray<bool> OPCWriteFailing{"OPCWriteFailing"};

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

  // --- Per channel: the terminal database service and its result packets ---
  // Query parts announced by the request ("SQL3:n").
  ChannelArray<int32_t> QueryPartCount{"QueryPartCount"};
  // The last select's rows, one value each, and how many are in use.
  static constexpr int32_t ResultRowLimit = 201;
  ChannelArray<std::array<std::string, ResultRowLimit>> ResultRows{"ResultRows"};
  ChannelArray<int32_t> ResultRowCount{"ResultRowCount"};
  // The value last sent with "PADD:" or "PLOT:".
  ChannelArray<std::string> ReplyValue{"ReplyValue"};
  // First row of the packet group being sent, and when it was sent
  // (monotonic milliseconds).
  ChannelArray<int32_t> PacketRow{"PacketRow"};
  ChannelArray<int64_t> PacketSentAt{"PacketSentAt"};
  // The action request that ran but whose "!" could not be written: while the
  // terminal still shows it, only the reply is tried again.
  ChannelArray<std::string> ExecutedRequest{"ExecutedRequest"};
  // The select whose first packet group could not be written, and its record
  // count: while the terminal still shows the request, the group is sent
  // again from ResultRows (the query part the first field held may already
  // be overwritten by packet rows).
  ChannelArray<std::string> UnannouncedSelect{"UnannouncedSelect"};
  ChannelArray<int32_t> UnannouncedRecordCount{"UnannouncedRecordCount"};
};

}  // namespace tarvex
