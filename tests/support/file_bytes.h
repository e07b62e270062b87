#pragma once
// A file's bytes, whole, for the assertions of these tests.
#include <fstream>
#include <sstream>
#include <string>

namespace tarvex::hardening {

inline std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

inline void WriteAll(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

}  // namespace tarvex::hardening
