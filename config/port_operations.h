#pragma once
// Operations 3, 7, 8 and 9 of the configuration procedure work on a channel's
// serial port. The serial layer implements them; the null implementation does
// nothing (tests of the files alone, and before a port layer is wired in).
namespace tarvex {

class PortOperations {
public:
  virtual ~PortOperations() = default;
  virtual void ApplyPortSettings(int channel) = 0;    // operation 3
  virtual void OpenPort(int channel) = 0;             // operation 7: handles its own port errors
  virtual void RestorePortSettings(int channel) = 0;  // operation 8
  virtual void SavePortSettings(int channel) = 0;     // operation 9
};

class NullPortOperations final : public PortOperations {
public:
  void ApplyPortSettings(int) override {}
  void OpenPort(int) override {}
  void RestorePortSettings(int) override {}
  void SavePortSettings(int) override {}
};

}  // namespace tarvex
