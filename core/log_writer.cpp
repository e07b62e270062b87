#include "log_writer.h"

#include "platform/append_file.h"

namespace tarvex {

std::string_view LogWriter::Prefix(int kind) {
  switch (kind) {
    case LogKind::Error: return "ErrorLog-";
    case LogKind::Receive: return "RecvLog-";
    case LogKind::Transmit: return "XmitLog-";
    case LogKind::Sql: return "SQLLog-";
    case LogKind::Activity: return "ActiveLog-";
    case LogKind::Opc: return "OPCLog-";
    case LogKind::Gdi: return "GDILog-";
    case LogKind::ActiveX: return "ActiveXLog-";
    default: return "";
  }
}

std::string LogWriter::FileName(int kind) const {
  std::string name(Prefix(kind));
  name += ApplicationTitle;
  name += ".txt";
  return folder_.join(name);
}

void LogWriter::WriteLog(int kind, std::string_view text) {
  std::string record(text);
  record += " @ ";
  record += GeneralDateTimeText(clock_.now(), locale_);
  record += "\r\n";

  AppendToFile(FileName(kind), record, "log");
}

}  // namespace tarvex
