#include "program_version.h"

namespace tarvex {

ProgramVersion ProgramVersion::Current() {
  return {TARVEX_VERSION_MAJOR, TARVEX_VERSION_MINOR, TARVEX_VERSION_PATCH};
}

std::string RevisionText(const ProgramVersion& version) {
  return "Rev: " + std::to_string(version.Major) + "." + std::to_string(version.Minor) + "." +
         std::to_string(version.Revision);
}

}  // namespace tarvex
