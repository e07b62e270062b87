#include "program_folder.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

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

namespace {

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
  }
  return true;
}

}  // namespace

std::string ProgramFolder::find(std::string_view name) const {
  const std::string exact = join(name);
  struct stat st {};
  if (::stat(exact.c_str(), &st) == 0) return exact;

  const std::string base = exact.substr(exact.rfind('/') + 1);
  const std::string dir = exact.substr(0, exact.rfind('/'));
  DIR* listing = ::opendir(dir.empty() ? "/" : dir.c_str());
  if (listing == nullptr) return exact;
  std::vector<std::string> matches;
  while (const dirent* entry = ::readdir(listing)) {
    if (SameIgnoringCase(entry->d_name, base)) matches.emplace_back(entry->d_name);
  }
  ::closedir(listing);
  if (matches.empty()) return exact;
  return dir + "/" + *std::min_element(matches.begin(), matches.end());
}

std::string ProgramFolder::place(std::string_view name) const {
  if (!name.empty() && name.front() == '/') return std::string(name);
  return join(name);
}

}  // namespace tarvex
