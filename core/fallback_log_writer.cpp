#include "fallback_log_writer.h"

#include "platform/run_time_error.h"

namespace tarvex {

void FallbackLogWriter::WriteLog(int kind, std::string_view text) {
  try {
    LogWriter::WriteLog(kind, text);
  } catch (const RunTimeError& error) {
    Failure& failure = failing_[kind];
    if (failure.cause != error.description()) {
      failure.cause = error.description();
      err_ << "tarvex: log record lost: " << error.description() << ": " << text << std::endl;
      if (failure.lost > 0) err_ << "tarvex: " << failure.lost << " earlier records of this log were lost" << std::endl;
      failure.lost = 0;
    }
    ++failure.lost;
    return;
  }
  const auto recovered = failing_.find(kind);
  if (recovered != failing_.end()) {
    err_ << "tarvex: log " << FileName(kind) << " is written again; " << recovered->second.lost
         << " records were lost" << std::endl;
    failing_.erase(recovered);
  }
}

}  // namespace tarvex
