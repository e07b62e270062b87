#pragma once
// The scale-data step of a serial channel: what the scale sent since the last
// pass is read from the port, the newest complete frame is cut, interpreted
// by the protocol's status table and fields, and published; a channel that
// delivers no frame for Timeout passes goes off-line.
//
// What it must cope with: a port that is not open (the error lamp goes off,
// the pass goes on), reads that split frames anywhere, a line that sends only
// garbage or nothing at all, a weight log file that cannot be written (the
// error reaches the scan error handler, after the values are published, once
// until a line is written to that file again; the lines in between are lost).
//
// Policy: one frame per pass at most, the newest (engine/frames/frame_cutter.h),
// and only a frame that is a reading (IsReading, engine/frames/frame_values.h) is
// published; a refused frame leaves the channel's last reading in place and
// counts as a pass without a frame; an episode of refused frames is told in
// one error-log line when a reading comes again or the channel goes off-line.
// A weight log record is written whole or not at all; the records lost while
// the log could not be written are told in one error-log line once one is
// written again. The values go through SetVal in the order of engine/frames/frame_values.h; a lamp
// changes, and its cell is marked, only when its state changes. Every pass
// that cuts no frame is one for the off-line test, so garbage does not keep a
// channel on-line; only a cut frame renews LastDataTick. Elapsed passes count
// forward across the ScanTick wrap (PassesSince).
#include <cstdint>
#include <string>

#include "engine/engine_steps.h"
#include "engine/frames/frame_values.h"
#include "engine/scan_surroundings.h"
#include "platform/clock.h"
#include "platform/opc/opc_items.h"
#include "platform/program_folder.h"
#include "publish/channel_indicators.h"
#include "publish/detail_labels.h"

namespace tarvex {

// OPC item position of the scale status.
inline constexpr int16_t OPCItemScaleStat = 3;

class SerialScaleData final : public ChannelStep {
public:
  // opc: the channel items SetVal also writes; detail: the detail window's
  // labels; clock: the date and time of the weight log; folder: where a
  // weight log named without a full path is placed. Only the
  // references are kept: the services may be built after the step, as the
  // pass's services hold the steps.
  SerialScaleData(ScanSurroundings& services, OpcItems& opc, DetailLabels& detail, const Clock& clock,
                  const ProgramFolder& folder)
      : s_(services), opc_(opc), detail_(detail), clock_(clock), folder_(folder) {}

  void Serve(int32_t ch) override;

private:
  FrameCutter& Cutter(int32_t ch);
  void Interpret(int32_t ch, const CheckedProtocol& protocol, const StatusReading& status);
  // One error-log line counting the frames refused in the episode that ends.
  void ReportRefusedFrames(int32_t ch);
  void PublishStatus(int32_t ch);
  // OPC item 3 and DDE value 3, as the channel publishes them.
  void StatusToOpcAndDde(int32_t ch, int16_t bits);
  void SetStatusText(int32_t ch, const std::string& text, bool toDetail);
  void OfflineTest(int32_t ch);
  void AppendWeightLog(int32_t ch);
  void SetLamp(int32_t ch, int lamp, bool on);

  ScanSurroundings& s_;
  OpcItems& opc_;
  DetailLabels& detail_;
  const Clock& clock_;
  const ProgramFolder& folder_;
};

}  // namespace tarvex
