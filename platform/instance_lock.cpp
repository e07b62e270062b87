#include "instance_lock.h"

#include <QLockFile>
#include <QString>

namespace tarvex {

InstanceLock::InstanceLock(const std::string& lockFilePath)
    : lock_(std::make_unique<QLockFile>(QString::fromStdString(lockFilePath))) {
  // Never treat a lock as stale by its age: a manager runs for months.
  lock_->setStaleLockTime(0);
}

InstanceLock::~InstanceLock() = default;

bool InstanceLock::TryAcquire() {
  if (lock_->isLocked()) return true;
  return lock_->tryLock(0);
}

}  // namespace tarvex
