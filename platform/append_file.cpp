#include "platform/append_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/run_time_error.h"

namespace tarvex {

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
  struct stat before {};
  const bool sized = ::fstat(fd, &before) == 0;
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      const int saved = n == 0 ? ENOSPC : errno;
      if (done > 0 && sized) {
        while (::ftruncate(fd, before.st_size) != 0 && errno == EINTR) {
        }
      }
      ::close(fd);
      throw RunTimeError(ErrorNumber::DeviceIOError, "Device I/O error: cannot write " + named + std::strerror(saved));
    }
    done += static_cast<size_t>(n);
  }
  if (::close(fd) != 0) {
    throw RunTimeError(ErrorNumber::DeviceIOError, "Device I/O error: cannot close " + named + std::strerror(errno));
  }
}

}  // namespace tarvex
