#include "log_writer.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/run_time_error.h"

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

  const std::string path = FileName(kind);
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd < 0) {
    throw RunTimeError(ErrorNumber::PathFileAccessError,
                       "Path/File access error: cannot open log " + path + ": " + std::strerror(errno));
  }
  size_t done = 0;
  while (done < record.size()) {
    const ssize_t n = ::write(fd, record.data() + done, record.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      const int saved = errno;
      ::close(fd);
      throw RunTimeError(ErrorNumber::DeviceIOError,
                         "Device I/O error: cannot write log " + path + ": " + std::strerror(saved));
    }
    done += static_cast<size_t>(n);
  }
  if (::close(fd) != 0) {
    throw RunTimeError(ErrorNumber::DeviceIOError,
                       "Device I/O error: cannot close log " + path + ": " + std::strerror(errno));
  }
}

}  // namespace tarvex
