#include "command_line.h"

namespace tarvex {

std::string CommandLineFromArgv(int argc, const char* const* argv) {
  std::string line;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) line += ' ';
    line += argv[i];
  }
  return line;
}

}  // namespace tarvex
