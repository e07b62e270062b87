#pragma once
// The program folder: where every settings file and log of the manager lives.
//
// It is the folder of the executable unless the environment variable TARVEX_HOME
// names another. (Not a command-line argument: the switches are substring
// matches, so a folder path containing "log" would turn logging on.)
#include <string>
#include <string_view>

namespace tarvex {

class ProgramFolder {
public:
  explicit ProgramFolder(std::string path);

  // TARVEX_HOME when set and not empty, otherwise executableFolder.
  static ProgramFolder FromEnvironment(const std::string& executableFolder);

  // The folder, without a trailing separator.
  const std::string& path() const noexcept { return path_; }

  // A file of the folder. Names are given the way the settings files spell them,
  // with a leading "\" or "/" ("\Tarvex-SCALE1.Cfg", "/TarvexSysSetup.Cfg") or
  // without one; backslashes become "/", the rest of the name is kept exactly.
  std::string join(std::string_view name) const;

  // A file of the folder as it is found on disk: join(name) when that exists,
  // else the first entry of its folder (in byte order) whose name matches
  // without regard to ASCII case (files copied from Windows keep whatever
  // letter case the copy gave them), else join(name).
  std::string find(std::string_view name) const;
  // A file name an operator typed or a settings file stores as a full path
  // (the weight log): a path beginning with "/" is used as it is, any other
  // name ("\Weights.Txt", "Weights.Txt") is a file of the folder, as join.
  std::string place(std::string_view name) const;

private:
  std::string path_;
};

}  // namespace tarvex
