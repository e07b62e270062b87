#include "ui/keypad/zel_api32.h"

#include <string>

#include "platform/terminal_net/result_codes.h"

namespace tarvex {

int32_t ShowTerminalApiErrorBox(MessageBox& messageBox, int16_t code) {
  const TerminalResultInfo& row = LookUpTerminalResult(code);
  return messageBox.Show(TerminalResultMessage(code), MsgBoxStyle::AbortRetryIgnore | MsgBoxStyle::Exclamation,
                         std::string(row.title));
}

void ZelApi32::ReportTerminalApiError(const int16_t& code) {
  values_.ErrorBoxAnswer = ShowTerminalApiErrorBox(services_.messageBox, code);
}

void ZelApi32::ZelCloseProcess() { services_.ZelApiResult = services_.net.ZelCloseProcess(); }

bool ZelApi32::SendTerminalKey(int16_t& key) {
  const char node = values_.VirtualNode;
  values_.VirtualNodeNumber = node >= '0' && node <= '9' ? static_cast<int16_t>(node - '0') : 0;
  if (values_.VirtualNodeNumber == 0) return false;
  services_.ZelApiResult = services_.net.ZelSendKeystroke(values_.VirtualNodeNumber, values_.KeystrokeMode, key);
  if (services_.ZelApiResult == 0) return true;
  ReportTerminalApiError(services_.ZelApiResult);
  if (values_.ErrorBoxAnswer == MsgBoxResult::Abort) {
    ZelCloseProcess();
    services_.processEnd.End(0);
  }
  return false;
}

}  // namespace tarvex
