#pragma once
// Sending the keypad's keys to a terminal node, and the box that tells the
// operator why a send failed.
//
// What it must cope with: the network may refuse any send with one of its
// result codes; the operator then chooses, while the scan and every other
// window go on: the box is opened, not waited for, and its answer is acted on
// when it comes. Enter is itself a keypad key, so the box's default is Retry
// and Esc answers Ignore; one keystroke never ends the manager. Policy: a
// failed key is never sent again (Retry and Ignore both drop it); while a box
// is open a further failure opens no second one. Abort closes this program's
// registration with the network, writes the error log line naming the result
// code and the activity log's end line, and ends the program at once with
// AbortExitStatus, without unloading its windows in order.
#include <cstdint>
#include <memory>

#include "core/log_writer.h"
#include "core/startup_window.h"
#include "platform/message_box.h"
#include "platform/terminal_net/terminal_net.h"

namespace tarvex {

// The module's manager-wide values; they keep their values from one opening
// of the keypad to the next.
struct ZelApi32Values {
  // The chosen node, '1' to '6'; the character with code 0 before any choice.
  char VirtualNode = '\0';
  // The numeric value of VirtualNode, worked out on every send.
  int16_t VirtualNodeNumber = 0;
  // The mode of every send: 1 from the first Backspace typed on the keypad on.
  int16_t KeystrokeMode = 0;
  // The last error box's answer: 3 Abort, 4 Retry, 5 Ignore.
  int32_t ErrorBoxAnswer = 0;
};

struct ZelApi32Services {
  // The one network object of the process: the engine's registration serves
  // the keypad too.
  TerminalNet& net;
  MessageBox& messageBox;
  // The result of the last terminal call, shared with the scan engine.
  int16_t& ZelApiResult;
  ProcessEnd& processEnd;
  LogWriter& log;
};

// The status the program ends with when the operator aborts in the box.
inline constexpr int AbortExitStatus = 3;

// Opens the box for a result code: the code's title, "Error Code= ", its
// name, line feed and carriage return, its text; Abort, Retry and Ignore with
// the exclamation icon. answered gets the answer when it comes.
void OpenTerminalApiErrorBox(MessageBox& messageBox, int16_t code, MessageBox::Answered answered);

class ZelApi32 {
public:
  explicit ZelApi32(ZelApi32Services services) : services_(services) {}
  // An open box's answer comes back to this object: it is never copied.
  ZelApi32(const ZelApi32&) = delete;
  ZelApi32& operator=(const ZelApi32&) = delete;

  ZelApi32Values& Values() noexcept { return values_; }
  const ZelApi32Values& Values() const noexcept { return values_; }

  // Sends key to the chosen node in KeystrokeMode. True when it was sent;
  // false when no node is chosen or the send failed (the operator is asked).
  bool SendTerminalKey(int16_t& key);
  // Opens the box for code unless one is open; its answer goes to
  // ErrorBoxAnswer and is acted on when it comes.
  void ReportTerminalApiError(const int16_t& code);
  // The error box waits for its answer.
  bool ErrorBoxOpen() const noexcept { return *boxOpen_; }
  // Ends this program's registration; the result is only stored.
  void ZelCloseProcess();

private:
  void ErrorBoxAnswered(int16_t code, int answer);

  ZelApi32Services services_;
  ZelApi32Values values_;
  // Shared with the box's answer, which may come after this object is gone.
  std::shared_ptr<bool> boxOpen_ = std::make_shared<bool>(false);
};

}  // namespace tarvex
