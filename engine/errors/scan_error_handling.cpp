#include "engine/errors/scan_error_handling.h"

#include <span>

#include "engine/errors/error_in_flight.h"
#include "engine/lamps.h"

namespace tarvex {
namespace {

constexpr int BoxStyle = MsgBoxStyle::OkOnly | MsgBoxStyle::Critical;
// Lamps the port fallback turns off, in this order.
constexpr int FallbackLamps[] = {Lamp::Error,  Lamp::DatabaseRequest, Lamp::Enabled,
                                 Lamp::Units, Lamp::NetMode,         Lamp::Motion};

}  // namespace

template <typename StepCall>
void ScanErrorHandling::Step(int32_t ch, const char* what, StepCall&& step) noexcept {
  try {
    step();
  } catch (...) {
    try {
      const RunTimeError failure = ErrorInFlight();
      s_.log.WriteLog(LogKind::Error, "Channel: " + std::to_string(ch + 1) + "  Error handling (" + what +
                                          ") failed: " + std::to_string(failure.number()) + "  " +
                                          failure.description());
    } catch (...) {
      // The error log itself failed: nowhere left to record it.
    }
  }
}

void ScanErrorHandling::HandleScanError(int32_t ch, const RunTimeError& error) noexcept {
  Step(ch, "lamps", [&] {
    SwitchLamp(s_.grid, ch, Lamp::Error, true);
    SwitchLamp(s_.grid, ch, Lamp::Receive, false);
    SwitchLamp(s_.grid, ch, Lamp::Transmit, false);
  });
  ScanErrorReport report;
  Step(ch, "classification",
       [&] { report = DescribeScanError(error.number(), error.description(), SituationOf(ch)); });
  switch (report.Class) {
    case ScanErrorClass::Expression:
    case ScanErrorClass::Database:
    case ScanErrorClass::RemoteData: DatabaseError(ch, report); break;
    case ScanErrorClass::PortNotOpen: Step(ch, "lamps", [&] { SwitchLamp(s_.grid, ch, Lamp::Error, false); }); break;
    case ScanErrorClass::InvalidPort:
    case ScanErrorClass::PortInUse: PortError(ch, report); break;
    case ScanErrorClass::Critical: CriticalError(ch, report); break;
  }
}

ScanErrorSituation ScanErrorHandling::SituationOf(int32_t ch) const {
  const ChannelSetup& channel = s_.config.Channels[ch];
  ScanErrorSituation situation;
  situation.Channel = ch;
  situation.ConnectUsing = channel.ConnectUsing;
  situation.ChannelLogEnabled = s_.startup.ChannelLogEnabled.at(static_cast<size_t>(ch));
  situation.InteractiveDBErrors = channel.InteractiveDBErrors;
  situation.InTray = s_.window.InTray;
  situation.SpeechEnabled = s_.startup.SpeechEnabled;
  return situation;
}

void ScanErrorHandling::DatabaseError(int32_t ch, const ScanErrorReport& report) {
  Step(ch, "lamps", [&] {
    SwitchLamp(s_.grid, ch, Lamp::Error, true);
    s_.grid.DrawCell(ch, Lamp::Error);
    s_.publication.StatusText[ch] = report.StatusText;
    s_.grid.SetCellDirty(ch, GridColumn::StatusText);
    s_.grid.DrawCell(ch, GridColumn::StatusText);
  });
  Step(ch, "icon", [&] {
    s_.icons.SetWindowIcon(ActivityImage::Transmit);
    if (!s_.startup.DebugMode) s_.icons.ShowWindowIconInTray();
  });
  Step(ch, "lamps", [&] {
    SwitchLamp(s_.grid, ch, Lamp::Transmit, true);
    s_.grid.DrawCell(ch, Lamp::Transmit);
  });
  Reply(ch, report.Reply);
  Step(ch, "lamps", [&] { SwitchLamp(s_.grid, ch, Lamp::Transmit, false); });
  Step(ch, "error log", [&] { s_.log.WriteLog(LogKind::Error, report.LogLine); });
  if (!report.Spoken.empty()) Step(ch, "speech", [&] { s_.speech.Speak(report.Spoken); });
  if (!report.BoxTitle.empty()) {
    ShowBox(ch, report);
    Step(ch, "events", [&] { s_.pacing.DoEvents(); });
  }
  if (report.MarkAllCellsDirty) Step(ch, "grid", [&] { window_.MarkAllCellsDirty(); });
  Step(ch, "lamps", [&] {
    SwitchLamp(s_.grid, ch, Lamp::Error, false);
    s_.publication.StatusText[ch] = report.FinalStatusText;
    s_.grid.SetCellDirty(ch, GridColumn::StatusText);
  });
}

void ScanErrorHandling::Reply(int32_t ch, const ScanErrorReply& reply) {
  switch (reply.Via) {
    case ScanErrorReply::Route::None: return;
    case ScanErrorReply::Route::Serial:
      if (!reply.LogText.empty()) Step(ch, "transmit log", [&] { s_.log.WriteLog(LogKind::Transmit, reply.LogText); });
      // Behind any reply the transmit timer is still pacing out; a full queue
      // refuses it (the failure itself is reported here all the same).
      Step(ch, "error reply", [&] { s_.engine.TxBuffer[ch].Append(reply.Bytes); });
      return;
    case ScanErrorReply::Route::Terminal:
      if (!reply.LogText.empty()) Step(ch, "transmit log", [&] { s_.log.WriteLog(LogKind::Transmit, reply.LogText); });
      Step(ch, "error reply", [&] {
        EngineState& e = s_.engine;
        e.ZelApiResult = s_.net.ZelWrite(e.ArcPathLit01[ch], static_cast<int16_t>(TerminalRecordLength),
                                         std::span<const char>(reply.Bytes.data(), reply.Bytes.size()));
        if (e.ZelApiResult == 0) {
          indicators_.TurnTXLedON(ch);
        } else {
          beeper_.Beep();
        }
      });
      return;
  }
}

void ScanErrorHandling::PortError(int32_t ch, const ScanErrorReport& report) {
  Announce(ch, report);
  if (report.Fallback == PortFallback::RestoreDefaultPort) {
    Step(ch, "port defaults", [&] {
      SerialPort& port = s_.MSComm[ch];
      port.SetCommPort(1);
      port.SetSettings(DefaultPortSettings);
      port.SetHandshaking(0);
    });
  }
  // Off until the operator enables it again; the channel file is not
  // rewritten, so the operator's settings are there when the device is back.
  Step(ch, "channel disabled", [&] { s_.config.Channels[ch].DeviceEnabled = false; });
  Step(ch, "lamps", [&] {
    for (int lamp : FallbackLamps) s_.grid.SetIndicatorOn(ch, lamp, false);
    for (int lamp : FallbackLamps) s_.grid.SetCellDirty(ch, lamp);
  });
  Step(ch, "grid", [&] { window_.MarkAllCellsDirty(); });
}

void ScanErrorHandling::CriticalError(int32_t ch, const ScanErrorReport& report) {
  Announce(ch, report);
  Step(ch, "lamps", [&] { SwitchLamp(s_.grid, ch, Lamp::Error, false); });
  Step(ch, "grid", [&] { window_.MarkAllCellsDirty(); });
}

void ScanErrorHandling::Announce(int32_t ch, const ScanErrorReport& report) {
  Step(ch, "lamps", [&] {
    SwitchLamp(s_.grid, ch, Lamp::Error, true);
    s_.grid.DrawCell(ch, Lamp::Error);
  });
  Step(ch, "error log", [&] { s_.log.WriteLog(LogKind::Error, report.LogLine); });
  if (!report.LogDetail.empty()) Step(ch, "error log", [&] { s_.log.WriteLog(LogKind::Error, report.LogDetail); });
  if (!report.Spoken.empty()) Step(ch, "speech", [&] { s_.speech.Speak(report.Spoken); });
  ShowBox(ch, report);
}

void ScanErrorHandling::ShowBox(int32_t ch, const ScanErrorReport& report) {
  // Everything here may fail (the key's copies allocate): inside the step,
  // so nothing leaves the handler.
  Step(ch, "message box", [&] {
    OpenBox key{ch, report.BoxTitle, report.BoxText};
    if (openBoxes_->contains(key)) return;
    openBoxes_->insert(key);
    try {
      box_.Open(report.BoxText, BoxStyle, report.BoxTitle,
                [open = std::weak_ptr(openBoxes_), key](int) {
                  if (const auto boxes = open.lock()) boxes->erase(key);
                });
    } catch (...) {
      openBoxes_->erase(key);
      throw;
    }
  });
}

}  // namespace tarvex
