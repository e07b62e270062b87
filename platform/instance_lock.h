#pragma once
// Single instance: a lock file in the program folder, held for the whole run.
// A lock left behind by a process that no longer runs is taken over.
#include <memory>
#include <string>

class QLockFile;

namespace tarvex {

// Whether another manager already runs; asked once at start-up.
class InstanceCheck {
public:
  virtual ~InstanceCheck() = default;
  virtual bool AnotherInstanceRunning() = 0;
};

class InstanceLock final : public InstanceCheck {
public:
  explicit InstanceLock(const std::string& lockFilePath);
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

  // True when this process now holds the lock; false when another running
  // process does. Does not wait. A lock file that cannot be created at all
  // raises error 75 naming the file and the system's reason.
  bool TryAcquire();
  bool AnotherInstanceRunning() override { return !TryAcquire(); }

private:
  std::string ReasonLockFails(const std::string& path) const;

  std::unique_ptr<QLockFile> lock_;
};

}  // namespace tarvex
