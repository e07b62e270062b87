#pragma once
// The command line of a benchmark program: "--name value" pairs and bare
// flags, walked in order. A missing value or an unknown option ends the
// program with one line naming it and the file whose head lists the options.
#include <string>
#include <utility>

#include "bench/child_processes.h"

namespace bench {

class OptionReader {
public:
  OptionReader(int argc, char** argv, std::string listedIn) : argc_(argc), argv_(argv), listedIn_(std::move(listedIn)) {}

  // Moves to the next option; false after the last one.
  bool Next() {
    if (++i_ >= argc_) return false;
    name_ = argv_[i_];
    return true;
  }
  bool Is(const char* name) const { return name_ == name; }
  // The value after the option.
  std::string Value() {
    if (i_ + 1 >= argc_) Fail(name_ + " needs a value");
    return argv_[++i_];
  }
  double Number() { return std::stod(Value()); }
  int Integer() { return std::stoi(Value()); }
  [[noreturn]] void Unknown() const { Fail("unknown option " + name_ + " (see the head of " + listedIn_ + ")"); }

private:
  int argc_;
  char** argv_;
  std::string listedIn_;
  int i_ = 0;
  std::string name_;
};

}  // namespace bench
