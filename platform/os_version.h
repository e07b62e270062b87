#pragma once
// The operating-system version as the channel count rule reads it: a platform
// identifier (1 the 95 family, 2 the NT family) and the major and minor version.
namespace tarvex {

struct OsVersionInfo {
  int platformId = 0;
  int majorVersion = 0;
  int minorVersion = 0;
};

class OsVersionSource {
public:
  virtual ~OsVersionSource() = default;
  virtual OsVersionInfo GetVersionEx() const = 0;
};

// Linux reports itself as an NT 5 system, so the manager serves all 32 channels.
class LinuxOsVersion final : public OsVersionSource {
public:
  OsVersionInfo GetVersionEx() const override { return {2, 5, 0}; }
};

// A given triple, for tests and for trying other channel counts.
class FixedOsVersion final : public OsVersionSource {
public:
  explicit FixedOsVersion(OsVersionInfo info) : info_(info) {}
  OsVersionInfo GetVersionEx() const override { return info_; }

private:
  OsVersionInfo info_;
};

}  // namespace tarvex
