#pragma once
// The system beep, for a reply that could not be delivered.
namespace tarvex {

class Beeper {
public:
  virtual ~Beeper() = default;
  virtual void Beep() = 0;
};

// Rings the terminal bell on standard error; the program's window build may
// use its toolkit's beep instead.
class TerminalBellBeeper final : public Beeper {
public:
  void Beep() override;
};

// Counts beeps, for tests.
class CountingBeeper final : public Beeper {
public:
  void Beep() override { ++beeps; }
  int beeps = 0;
};

}  // namespace tarvex
