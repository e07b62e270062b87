#include "ui/keypad/zel_api32.h"

#include <string>

#include "platform/terminal_net/result_codes.h"

namespace tarvex {

void OpenTerminalApiErrorBox(MessageBox& messageBox, int16_t code, MessageBox::Answered answered) {
  const TerminalResultInfo& row = LookUpTerminalResult(code);
  messageBox.Open(TerminalResultMessage(code), MsgBoxStyle::AbortRetryIgnore | MsgBoxStyle::Exclamation,
                  std::string(row.title), std::move(answered));
}

void ZelApi32::ReportTerminalApiError(const int16_t& code) {
  if (*boxOpen_) return;
  *boxOpen_ = true;
  const int16_t shown = code;
  try {
    OpenTerminalApiErrorBox(services_.messageBox, shown,
                            [this, open = std::weak_ptr(boxOpen_), shown](int answer) {
                              const auto flag = open.lock();
                              if (!flag) return;
                              *flag = false;
                              ErrorBoxAnswered(shown, answer);
                            });
  } catch (...) {
    *boxOpen_ = false;
    throw;
  }
}

void ZelApi32::ErrorBoxAnswered(int16_t code, int answer) {
  values_.ErrorBoxAnswer = answer;
  if (answer != MsgBoxResult::Abort) return;
  ZelCloseProcess();
  // The end is on record before the process goes, as far as the logs can be
  // written: it is the operator's choice, and nothing else would tell of it.
  const TerminalResultInfo& row = LookUpTerminalResult(code);
  try {
    services_.log.WriteLog(LogKind::Error, "Virtual Terminal: Abort in the error box of result code " +
                                               std::to_string(code) + " (" + std::string(row.name) +
                                               "): Tarvex Manager Ends");
  } catch (const std::exception&) {
  }
  try {
    services_.log.WriteLog(LogKind::Activity, "Tarvex Manager Terminated");
  } catch (const std::exception&) {
  }
  services_.processEnd.End(AbortExitStatus);
}

void ZelApi32::ZelCloseProcess() { services_.ZelApiResult = services_.net.ZelCloseProcess(); }

bool ZelApi32::SendTerminalKey(int16_t& key) {
  const char node = values_.VirtualNode;
  values_.VirtualNodeNumber = node >= '0' && node <= '9' ? static_cast<int16_t>(node - '0') : 0;
  if (values_.VirtualNodeNumber == 0) return false;
  services_.ZelApiResult = services_.net.ZelSendKeystroke(values_.VirtualNodeNumber, values_.KeystrokeMode, key);
  if (services_.ZelApiResult == 0) return true;
  ReportTerminalApiError(services_.ZelApiResult);
  return false;
}

}  // namespace tarvex
