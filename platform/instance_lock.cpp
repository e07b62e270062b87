#include "instance_lock.h"

#include <QLockFile>
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
  throw RunTimeError(ErrorNumber::PathFileAccessError,
                     "Path/File access error: cannot create the lock file " + lock_->fileName().toStdString());
}

}  // namespace tarvex
