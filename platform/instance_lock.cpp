#include "instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "run_time_error.h"

namespace tarvex {

InstanceLock::InstanceLock(const std::string& lockFilePath) : path_(lockFilePath) {}

InstanceLock::~InstanceLock() {
  // The file stays: removing it could let a starting manager lock a file
  // that a third one is about to replace.
  if (fd_ >= 0) ::close(fd_);  // releases the lock
}

bool InstanceLock::TryAcquire() {
  if (fd_ >= 0) return true;
  const auto refuse = [&](int error) {
    throw RunTimeError(ErrorNumber::PathFileAccessError, "Path/File access error: cannot create the lock file " +
                                                             path_ + ": " + std::strerror(error));
  };
  // Created here, or left by an earlier run: either way it is taken when
  // nobody holds it. The lock is on the file that was opened; the path must
  // still name that file once it is locked, or a starting manager that
  // failed has removed it (and a third one may lock the new file): then
  // again, a few times at most.
  bool created = false;
  int fd = -1;
  for (int attempt = 0; fd < 0; ++attempt) {
    if (attempt == 8) refuse(EAGAIN);
    created = true;
    fd = ::open(path_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0 && errno == EEXIST) {
      created = false;
      fd = ::open(path_.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
      if (fd < 0 && errno == ENOENT) continue;  // removed in between
    }
    if (fd < 0) {
      if (errno == EINTR) continue;
      refuse(errno);
    }
    int locked;
    do {
      locked = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (locked != 0 && errno == EINTR);
    if (locked != 0) {
      const int error = errno;
      ::close(fd);
      if (error == EWOULDBLOCK) return false;
      refuse(error);
    }
    struct stat opened {}, named {};
    if (::fstat(fd, &opened) != 0 || ::lstat(path_.c_str(), &named) != 0 || opened.st_dev != named.st_dev ||
        opened.st_ino != named.st_ino) {
      ::close(fd);
      fd = -1;
    }
  }
  // Who holds it, for a person who looks. A folder that cannot take these few
  // bytes (a full disk) cannot take the logs either: the start is refused
  // with the system's reason.
  char host[256] = {};
  ::gethostname(host, sizeof host - 1);
  const std::string holder = std::to_string(::getpid()) + " " + host + "\n";
  ssize_t written = -1;
  if (::ftruncate(fd, 0) == 0) written = ::pwrite(fd, holder.data(), holder.size(), 0);
  if (written != static_cast<ssize_t>(holder.size())) {
    const int error = written < 0 ? errno : ENOSPC;
    if (created) ::unlink(path_.c_str());
    ::close(fd);
    refuse(error);
  }
  fd_ = fd;
  return true;
}

}  // namespace tarvex
