#include "os_version.h"

namespace tarvex {

std::string GetOSVersion(const OsVersionInfo& version) {
  switch (version.platformId) {
    case 1:
      if (version.minorVersion == 0) return "95";
      if (version.minorVersion == 10) return "98";
      return "";
    case 2:
      switch (version.majorVersion) {
        case 3: return "NT3.51";
        case 4: return "NT4";
        case 5: return "2000";
        default: return "";
      }
    default: return "Failed";
  }
}

int MaxChannelFor(const std::string& osVersion) { return osVersion == "2000" || osVersion == "NT4" ? 31 : 7; }

}  // namespace tarvex
