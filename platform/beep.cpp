#include "platform/beep.h"

#include <unistd.h>

namespace tarvex {

void TerminalBellBeeper::Beep() {
  const char bell = '\a';
  [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, &bell, 1);
}

}  // namespace tarvex
