#include "engine/errors/scan_error_table.h"

#include "config/serial_port_operations.h"

namespace tarvex {
namespace {

constexpr const char* CrLf = "\r\n";
constexpr const char* ContactServices = "Please Contact Velmar-Orinda Technical Services...";

struct DatabaseTexts {
  const char* Status;
  const char* Label;
  const char* SpokenMiddle;
  const char* SpokenClosing;
};

constexpr const char* CorrectNowOrContact =
    ".  Please correct this problem now, or contact Velmar Orinda Technical Support for additional assistance.";

DatabaseTexts TextsOf(ScanErrorClass databaseClass) {
  switch (databaseClass) {
    case ScanErrorClass::Expression:
      return {"SQL ERROR...", "  JET Expression Error: ", ",  This is a S Q L Error, ",
              ".  Please correct this problem now in your zel basic program, "
              " or contact Velmar Orinda Technical Support for additional assistance."};
    case ScanErrorClass::Database:
      return {"DB ERROR...", "  JET Database Error: ", ",  This is a Database Error, ", CorrectNowOrContact};
    default:
      return {"RDO ERROR...", "  RDO Error: ", ",  This is a Database Error, ", CorrectNowOrContact};
  }
}

std::string ChannelText(const ScanErrorSituation& situation) { return std::to_string(situation.Channel + 1); }

ScanErrorReply ErrorReply(const ScanErrorSituation& situation) {
  ScanErrorReply reply;
  switch (situation.ConnectUsing) {
    case 0:
      reply.Via = ScanErrorReply::Route::Serial;
      reply.Bytes = SerialErrorReply();
      if (situation.ChannelLogEnabled) reply.LogText = reply.Bytes;
      break;
    case 1:
      reply.Via = ScanErrorReply::Route::Terminal;
      reply.Bytes = "^ERROR";
      reply.Bytes.resize(TerminalRecordLength, ' ');
      if (situation.ChannelLogEnabled) reply.LogText = "!ERROR";
      break;
    default: break;
  }
  return reply;
}

void DescribeDatabaseError(ScanErrorReport& report, int32_t number, std::string_view description,
                           const ScanErrorSituation& situation) {
  const DatabaseTexts texts = TextsOf(report.Class);
  const std::string channel = ChannelText(situation);
  const std::string line =
      "Channel: " + channel + texts.Label + std::to_string(number) + "  " + std::string(description);
  report.StatusText = texts.Status;
  report.FinalStatusText = "Ready...";
  report.LogLine = line;
  report.Reply = ErrorReply(situation);
  if (situation.InteractiveDBErrors && !situation.InTray) {
    if (situation.SpeechEnabled) {
      report.Spoken = "Attention!, A Tarvex error has occured on Channel " + channel + texts.SpokenMiddle +
                      SpeakableDescription(description) + texts.SpokenClosing;
    }
    report.BoxTitle = "Tarvex ZelODBC Error";
    report.BoxText = line + CrLf + ContactServices;
    report.MarkAllCellsDirty = true;
  }
}

// The scan meets these errors when it opens a channel's port: a USB adapter
// that enumerates late, a port another program holds for a moment. The
// operator's channel file is right and stays as it is; the channel is only
// disabled in memory, and the operator is told which port and device failed
// and why, so that the fault can be mended outside the manager.
void DescribePortError(ScanErrorReport& report, std::string_view description, const ScanErrorSituation& situation) {
  const bool inUse = report.Class == ScanErrorClass::PortInUse;
  const std::string channel = ChannelText(situation);
  report.LogLine = "Channel: " + channel + (inUse ? "  COM: Port Already In Use." : "  Invalid COM: Port Selected.");
  report.LogDetail = "Channel " + channel + ": " + std::string(description);
  if (situation.SpeechEnabled) report.Spoken = PortErrorSpeech(situation.Channel, inUse);
  report.BoxTitle = "Tarvex Device Initialization Error";
  report.BoxText = std::string(inUse ? "The COM: port you have selected is already in use..."
                                     : "The COM: port you have selected is invalid.") +
                   CrLf + std::string(description) + CrLf + "Disabling Device Now...";
  report.Fallback = inUse ? PortFallback::DisableChannel : PortFallback::RestoreDefaultPort;
  report.MarkAllCellsDirty = true;
}

void DescribeCriticalError(ScanErrorReport& report, int32_t number, std::string_view description,
                           const ScanErrorSituation& situation) {
  const std::string channel = ChannelText(situation);
  const std::string numberText = std::to_string(number);
  report.LogLine = "Channel: " + channel + "  Critical Error: " + numberText + "  " + std::string(description);
  if (situation.SpeechEnabled) {
    report.Spoken = "Attention!, A Critical Tarvex error has occured, possibly on Channel " + channel +
                    ",  The error is number, " + numberText + " , " + std::string(description) +
                    " , Please contact Velmar Orinda Technical Support with this information.";
  }
  report.BoxTitle = "Tarvex Scan System Error";
  report.BoxText = "Critical Error: " + numberText + "  " + std::string(description) + CrLf + ContactServices;
  report.MarkAllCellsDirty = true;
}

}  // namespace

std::string SerialErrorReply() { return "\"ERROR" + std::string(ReplyEnd); }

ScanErrorClass ClassifyScanError(int32_t number) {
  for (const ScanErrorClassRange& range : ScanErrorClasses) {
    if (number >= range.First && number <= range.Last) return range.Class;
  }
  return ScanErrorClass::Critical;
}

std::string SpeakableDescription(std::string_view description) {
  std::string spoken;
  for (char c : description) {
    if (c == '\\') {
      spoken += " Backslash, ";
    } else if (c == ':') {
      spoken += " colon, ";
    } else {
      spoken += c;
    }
  }
  return spoken;
}

ScanErrorReport DescribeScanError(int32_t number, std::string_view description, const ScanErrorSituation& situation) {
  ScanErrorReport report;
  report.Class = ClassifyScanError(number);
  switch (report.Class) {
    case ScanErrorClass::Expression:
    case ScanErrorClass::Database:
    case ScanErrorClass::RemoteData: DescribeDatabaseError(report, number, description, situation); break;
    case ScanErrorClass::PortNotOpen: break;
    case ScanErrorClass::InvalidPort:
    case ScanErrorClass::PortInUse: DescribePortError(report, description, situation); break;
    case ScanErrorClass::Critical: DescribeCriticalError(report, number, description, situation); break;
  }
  return report;
}

}  // namespace tarvex
