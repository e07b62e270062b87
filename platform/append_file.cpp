#include "platform/append_file.h"

#include <fcntl.h>
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
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      const int saved = errno;
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
