#pragma once
#include <string>

namespace tarvex {

// The command line as the switch scan sees it: the arguments after the program
// name joined by one blank. Taken from argv before QApplication removes its own
// options from it.
std::string CommandLineFromArgv(int argc, const char* const* argv);

}  // namespace tarvex
