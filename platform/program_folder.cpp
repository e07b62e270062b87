#include "program_folder.h"

#include <cstdlib>

namespace tarvex {

ProgramFolder::ProgramFolder(std::string path) : path_(std::move(path)) {
  while (path_.size() > 1 && path_.back() == '/') path_.pop_back();
}

ProgramFolder ProgramFolder::FromEnvironment(const std::string& executableFolder) {
  const char* home = std::getenv("TARVEX_HOME");
  if (home != nullptr && *home != '\0') return ProgramFolder(home);
  return ProgramFolder(executableFolder);
}

std::string ProgramFolder::join(std::string_view name) const {
  std::string relative(name);
  for (char& c : relative) {
    if (c == '\\') c = '/';
  }
  size_t start = 0;
  while (start < relative.size() && relative[start] == '/') ++start;
  return path_ + "/" + relative.substr(start);
}

std::string ProgramFolder::place(std::string_view name) const {
  if (!name.empty() && name.front() == '/') return std::string(name);
  return join(name);
}

}  // namespace tarvex
