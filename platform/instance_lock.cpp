#include "instance_lock.h"

#include <fcntl.h>
#include <unistd.h>

#include <QLockFile>
#include <cerrno>
#include <cstring>
#include <QString>

#include "run_time_error.h"

namespace tarvex {

InstanceLock::InstanceLock(const std::string& lockFilePath)
    : lock_(std::make_unique<QLockFile>(QString::fromStdString(lockFilePath))) {
  // Never treat a lock as stale by its age: a manager runs for months.
  lock_->setStaleLockTime(0);
}

InstanceLock::~InstanceLock() = default;

bool InstanceLock::TryAcquire() {
  if (lock_->isLocked()) return true;
  if (lock_->tryLock(0)) return true;
  if (lock_->error() == QLockFile::LockFailedError) return false;
  // Not another instance: the folder itself refuses the lock file.
  const std::string path = lock_->fileName().toStdString();
  throw RunTimeError(ErrorNumber::PathFileAccessError,
                     "Path/File access error: cannot create the lock file " + path + ": " + ReasonLockFails(path));
}

std::string InstanceLock::ReasonLockFails(const std::string& path) const {
  // The lock file reports only a class of failure; doing what it does (create
  // the file exclusively, write a line into it) tells the system's own reason
  // (no such folder, permission denied, read-only file system, no space left).
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) return std::strerror(errno);
  const std::string probe(256, '0');
  const ssize_t written = ::write(fd, probe.data(), probe.size());
  const int writeError = written < 0 ? errno : (static_cast<size_t>(written) < probe.size() ? ENOSPC : 0);
  const int closeError = ::close(fd) != 0 ? errno : 0;
  ::unlink(path.c_str());
  if (writeError != 0) return std::strerror(writeError);
  if (closeError != 0) return std::strerror(closeError);
  return lock_->error() == QLockFile::PermissionError ? std::strerror(EACCES) : "unknown error";
}

}  // namespace tarvex
