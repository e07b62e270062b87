#pragma once
// What the setup dialog asks of the main window when it opens for a channel and
// when it closes. The main window implements it; tests record the calls.
namespace tarvex {

class MainWindowLink {
public:
  virtual ~MainWindowLink() = default;
  // Painted = False: the grid draws nothing until the window paints again.
  virtual void StopGridDrawing() = 0;
  // Closes the terminal network registration when it is open and marks it for
  // reopening.
  virtual void CloseTerminalRegistration() = 0;
  virtual void SetMainWindowPointer(int pointer) = 0;
  virtual void SetMainWindowEnabled(bool enabled) = 0;
  virtual void CloseChannelPort(int channel) = 0;
  virtual void RemoveOPCGroup(int channel) = 0;
  // Timer1.Enabled = True.
  virtual void EnableScanTimer() = 0;
};

// Until the main window exists: nothing to stop, close or enable.
class DetachedMainWindowLink final : public MainWindowLink {
public:
  void StopGridDrawing() override {}
  void CloseTerminalRegistration() override {}
  void SetMainWindowPointer(int) override {}
  void SetMainWindowEnabled(bool) override {}
  void CloseChannelPort(int) override {}
  void RemoveOPCGroup(int) override {}
  void EnableScanTimer() override {}
};

}  // namespace tarvex
