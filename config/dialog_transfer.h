#pragma once
// Operations 1, 2, 13 and 14 of the configuration procedure move values between
// the tables and the setup dialog's controls. The dialog implements them; until
// it exists (and in tests that need no dialog) the null transfer does nothing.
namespace tarvex {

class DialogTransfer {
public:
  virtual ~DialogTransfer() = default;
  virtual void ChannelToDialog(int channel) = 0;    // operation 1
  virtual void DialogToChannel(int channel) = 0;    // operation 2
  virtual void ProtocolToDialog(int protocol) = 0;  // operation 13
  virtual void DialogToProtocol(int protocol) = 0;  // operation 14
};

class NullDialogTransfer final : public DialogTransfer {
public:
  void ChannelToDialog(int) override {}
  void DialogToChannel(int) override {}
  void ProtocolToDialog(int) override {}
  void DialogToProtocol(int) override {}
};

}  // namespace tarvex
