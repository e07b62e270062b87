#pragma once
// The program's version: major, minor and revision number, taken from the
// build's project version.
#include <string>

namespace tarvex {

struct ProgramVersion {
  int Major = 0;
  int Minor = 0;
  int Revision = 0;

  // The version this program was built as.
  static ProgramVersion Current();
};

// "Rev: " and the three numbers as plain decimals joined by "." ("Rev: 1.0.23").
std::string RevisionText(const ProgramVersion& version);

}  // namespace tarvex
