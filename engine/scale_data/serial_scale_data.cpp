#include "engine/scale_data/serial_scale_data.h"

#include "core/grid/grid_layout.h"
#include "engine/lamps.h"
#include "engine/port_calls.h"
#include "platform/append_file.h"
#include "platform/run_time_error.h"

namespace tarvex {

namespace {

constexpr const char* Online = "Online...";
constexpr const char* Offline = "Offline...";

// DecimalFormats(DecimalPlaces) for a channel set to 1 to 6 places; empty
// (the pattern is chosen from the first value) otherwise.
std::string_view ConfiguredPattern(const FixedTables& tables, int32_t decimalPlaces) {
  if (decimalPlaces < 1 || decimalPlaces > 6) return {};
  return tables.DecimalFormats(decimalPlaces);
}

}  // namespace

void SerialScaleData::Serve(int32_t ch) {
  EngineState& e = s_.engine;
  const int32_t p = s_.config.Channels[ch].ChannelProtocol;
  const CheckedProtocol& protocol = e.CheckedProtocols[p];
  SerialPort& port = s_.MSComm[ch];

  int32_t waiting = 0;
  AtPort(s_.grid, ch, [&] { waiting = port.InBufferCount(); });
  bool cut = false;
  if (waiting > 0) {
    ChannelIndicators(s_.publication, s_.engine, s_.window, s_.startup, s_.grid, s_.icons).TurnRXLedON(ch);
    std::string piece;
    AtPort(s_.grid, ch, [&] { piece = port.Input(); });
    FrameCutter& cutter = Cutter(ch);
    cutter.Append(piece);
    cut = cutter.CutNewest(e.RxFrame[ch]);
  }
  if (!cut) {
    OfflineTest(ch);
    return;
  }
  const std::string& frame = e.RxFrame[ch];
  if (s_.startup.DebugMode && s_.window.DetailOpen[ch]) {
    detail_.SetCaption(DetailLabel::Raw, frame + " ==> " + std::to_string(frame.size()));
    detail_.SetCaptionLabelVisible(DetailLabel::Raw, true);
  }
  const StatusReading status = ParseStatusData(frame, protocol.Status);
  if (!IsReading(frame, status, protocol, port.MarksParityErrors())) {
    // Not a reading: the channel keeps its last one, and a line that brings
    // nothing else goes off-line like a silent one.
    if (e.FramesRefused[ch] < INT32_MAX) ++e.FramesRefused[ch];
    OfflineTest(ch);
    return;
  }
  ReportRefusedFrames(ch);
  e.LastDataTick[ch] = e.ScanTick;
  Interpret(ch, protocol, status);
}

void SerialScaleData::ReportRefusedFrames(int32_t ch) {
  int32_t& refused = s_.engine.FramesRefused[ch];
  if (refused == 0) return;
  const int32_t count = refused;
  refused = 0;
  s_.log.WriteLog(LogKind::Error, "Channel: " + std::to_string(ch + 1) + "  " + std::to_string(count) +
                                      " Frames Refused: Damaged Or Incomplete Weight Fields.");
}

FrameCutter& SerialScaleData::Cutter(int32_t ch) {
  std::optional<FrameCutter>& cutter = s_.engine.RxCutter[ch];
  if (!cutter) {
    const CheckedProtocol& protocol = s_.engine.CheckedProtocols[s_.config.Channels[ch].ChannelProtocol];
    cutter.emplace(protocol.StreamStartChar, protocol.StreamEndChar, protocol.MaxStreamLength);
  }
  return *cutter;
}

void SerialScaleData::Interpret(int32_t ch, const CheckedProtocol& protocol, const StatusReading& status) {
  EngineState& e = s_.engine;
  PublicationState& pub = s_.publication;
  const ChannelSetup& channel = s_.config.Channels[ch];
  const std::string& frame = e.RxFrame[ch];

  const FrameValues v = ReadFrameValues(frame, status, protocol, e.Format[ch],
                                        ConfiguredPattern(s_.startup.Tables, channel.DecimalPlaces),
                                        e.PrimaryUnitsText[ch]);
  e.ScaleStatBits[ch] = v.status.ScaleStatBits;
  if (v.unitsLamp) SetLamp(ch, Lamp::Units, *v.unitsLamp);
  if (e.PubStatBits[ch] != e.ScaleStatBits[ch]) PublishStatus(ch);

  SetLamp(ch, Lamp::Error, v.errorLamp);
  if (v.errorLamp) {
    SetStatusText(ch, std::string(v.statusText), true);
  } else {
    SetStatusText(ch, Online, false);
  }
  // An error frame's lamp 3 follows its mode (lit in NET, where the tare
  // stays); a good frame's too.
  SetLamp(ch, Lamp::NetMode, v.netLamp);

  for (int i = 0; i < v.valueCount; ++i) {
    const FrameValue& value = v.values[static_cast<size_t>(i)];
    switch (value.code) {
      case ValueCode::Gross: pub.NewGross[ch] = value.text; break;
      case ValueCode::Tare: pub.NewTare[ch] = value.text; break;
      case ValueCode::Net: pub.NewNet[ch] = value.text; break;
      case ValueCode::IDField: pub.NewID[ch] = value.text; break;
      default: continue;
    }
    s_.publisher.SetVal(value.code, ch);
  }

  SetLamp(ch, Lamp::Motion, v.motionLamp);
  if (channel.AsciiLogEnabled) AppendWeightLog(ch);
}

void SerialScaleData::PublishStatus(int32_t ch) {
  EngineState& e = s_.engine;
  const int16_t bits = e.ScaleStatBits[ch];
  e.PubStatBits[ch] = bits;
  s_.publisher.SetVal(ValueCode::ScaleStat, ch);
  s_.window.DeviceDirty[ch] = true;
  StatusToOpcAndDde(ch, bits);
  if (s_.window.DetailOpen[ch]) detail_.SetCaption(DetailLabel::ScaleStat, std::to_string(bits));
}

void SerialScaleData::StatusToOpcAndDde(int32_t ch, int16_t bits) {
  PublicationState& pub = s_.publication;
  const ChannelSetup& channel = s_.config.Channels[ch];
  if (channel.OPCEnabled) {
    opc_.SetItemValue(ch, OPCItemScaleStat, bits);
    pub.OPCDirty[ch] = true;
  }
  if (channel.DDEServerEnabled) {
    pub.DDEValues(DDEItem::ScaleStat, ch) = bits;
    pub.DDEDirty[ch] = true;
  }
}

void SerialScaleData::SetStatusText(int32_t ch, const std::string& text, bool toDetail) {
  std::string& status = s_.publication.StatusText[ch];
  if (status == text) return;
  status = text;
  s_.grid.SetCellDirty(ch, GridColumn::StatusText);
  if (toDetail && s_.window.DetailOpen[ch]) detail_.SetCaption(DetailLabel::Error, text);
}

void SerialScaleData::OfflineTest(int32_t ch) {
  EngineState& e = s_.engine;
  PublicationState& pub = s_.publication;
  const ChannelSetup& channel = s_.config.Channels[ch];
  if (channel.Timeout <= 0 || PassesSince(e.ScanTick, e.LastDataTick[ch]) < channel.Timeout) return;
  // Going off-line ends an episode of refused frames.
  if ((e.ScaleStatBits[ch] & ScaleStatBit::Offline) == 0) ReportRefusedFrames(ch);
  e.ScaleStatBits[ch] = static_cast<int16_t>(e.ScaleStatBits[ch] | ScaleStatBit::Offline);
  if (e.PubStatBits[ch] == e.ScaleStatBits[ch]) return;

  const int16_t bits = e.ScaleStatBits[ch];
  e.PubStatBits[ch] = bits;
  s_.publisher.SetVal(ValueCode::ScaleStat, ch);
  s_.window.DeviceDirty[ch] = true;
  SetLamp(ch, Lamp::Error, true);
  SetStatusText(ch, Offline, false);
  if (!channel.OPCEnabled && !channel.DDEServerEnabled) return;
  // Published again on every pass while off-line, and in full by the first
  // frame after it.
  e.PubStatBits[ch] = ForceStatusPublication;
  pub.PubNet[ch] = ForcePublication;
  pub.PubGross[ch] = ForcePublication;
  pub.PubTare[ch] = ForcePublication;
  StatusToOpcAndDde(ch, bits);
  s_.icons.SetWindowIcon(ActivityImage::Idle);
  if (!s_.startup.DebugMode) s_.icons.ShowWindowIconInTray();
}

void SerialScaleData::AppendWeightLog(int32_t ch) {
  const PublicationState& pub = s_.publication;
  const std::string line = WeightLogLine(ch, pub.NewGross[ch], pub.NewTare[ch], pub.NewNet[ch], pub.NewID[ch],
                                         GeneralDateTimeText(clock_.now()));
  const std::string path = folder_.place(s_.config.Channels[ch].AsciiLogFileName);
  std::string& failed = s_.engine.WeightLogFailed[ch];
  int32_t& lost = s_.engine.WeightLogLost[ch];
  try {
    // Whole or not at all: a full disk leaves no torn record.
    AppendToFile(path, line, "weight log");
  } catch (const RunTimeError&) {
    if (lost < INT32_MAX) ++lost;
    // Reported once: raised on every frame, the error would interrupt the
    // operator and end every pass at this channel, so the channels after it
    // would never be served.
    if (failed == path) return;
    failed = path;
    throw;
  }
  failed.clear();
  if (lost > 0) {
    const int32_t count = lost;
    lost = 0;
    s_.log.WriteLog(LogKind::Error, "Channel: " + std::to_string(ch + 1) + "  Weight Log " + path + ": " +
                                        std::to_string(count) + " Records Lost.");
  }
}

void SerialScaleData::SetLamp(int32_t ch, int lamp, bool on) {
  if (s_.grid.IndicatorOn(ch, lamp) != on) SwitchLamp(s_.grid, ch, lamp, on);
}

}  // namespace tarvex
