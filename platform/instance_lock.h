#pragma once
// Single instance: a lock file in the program folder, held for the whole run.
//
// What it must cope with: a manager that ended without cleaning up (power
// lost, killed) leaves its lock file behind, empty, half written, or naming
// another host when the folder was copied or is shared; none of these may
// keep the next start out for ever. And a manager runs for months, so a lock
// must never be taken for stale by its age.
//
// Policy: the lock is an advisory lock (flock) on the file, which the system
// lets go when the holder ends, however it ends. Only a lock that a running
// process holds refuses the start; a file that nobody holds is taken over,
// whatever it contains, and then holds this process's id and host name for
// whoever looks. A lock counts only while the path still names the locked
// file. The descriptor is closed on exec: a program the manager starts does
// not keep the lock after it. A lock file removed by hand while a manager
// runs cannot be told from a fresh folder: the next start runs.
#include <string>

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
  // process does. Does not wait. A lock file that cannot be created or
  // locked at all raises error 75 naming the file and the system's reason.
  bool TryAcquire();
  bool AnotherInstanceRunning() override { return !TryAcquire(); }

private:
  std::string path_;
  int fd_ = -1;  // open and locked while held
};

}  // namespace tarvex
