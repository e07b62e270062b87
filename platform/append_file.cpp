#include "platform/append_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/run_time_error.h"

namespace tarvex {

namespace {

// Takes back the done bytes of a record cut short, when they are the file's
// last ones: another program appending to the same file (O_APPEND) may have
// written after them, and its record is not ours to cut. Returns what could
// not be done, empty when the record is gone.
std::string TakeBack(int fd, size_t done) {
  struct stat now {};
  if (::fstat(fd, &now) != 0) return std::strerror(errno);
  // Not a plain file (a printer device, a pipe): what went out is out.
  if (!S_ISREG(now.st_mode)) return {};
  // With O_APPEND the offset is the end of what this process wrote last.
  const off_t end = ::lseek(fd, 0, SEEK_CUR);
  if (end < 0) return std::strerror(errno);
  if (now.st_size != end || end < static_cast<off_t>(done)) return "another writer appended after it";
  int result;
  do {
    result = ::ftruncate(fd, end - static_cast<off_t>(done));
  } while (result != 0 && errno == EINTR);
  return result == 0 ? std::string() : std::strerror(errno);
}

}  // namespace

void AppendToFile(const std::string& path, std::string_view bytes, std::string_view what) {
  const std::string named = std::string(what) + " " + path + ": ";
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd < 0) {
    throw RunTimeError(ErrorNumber::PathFileAccessError,
                       "Path/File access error: cannot open " + named + std::strerror(errno));
  }
  // A record is whole or not there: a write cut short (a full disk, a file
  // size limit) is taken back, so the next record does not glue onto a torn
  // one.
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      std::string reason = std::strerror(n == 0 ? ENOSPC : errno);
      if (done > 0) {
        if (const std::string kept = TakeBack(fd, done); !kept.empty()) {
          reason += " (a torn record of " + std::to_string(done) + " bytes is left: " + kept + ")";
        }
      }
      ::close(fd);
      throw RunTimeError(ErrorNumber::DeviceIOError, "Device I/O error: cannot write " + named + reason);
    }
    done += static_cast<size_t>(n);
  }
  if (::close(fd) != 0) {
    throw RunTimeError(ErrorNumber::DeviceIOError, "Device I/O error: cannot close " + named + std::strerror(errno));
  }
}

}  // namespace tarvex
