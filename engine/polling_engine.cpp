#include "engine/polling_engine.h"

namespace tarvex {

void PollingEngine::CloseTerminalProcess() {
  p_.state.ZelApiResult = p_.net.ZelCloseProcess();
  p_.state.ZelApiOpen = false;
}

void PollingEngine::SuspendTerminalProcess() {
  if (!p_.state.ZelApiOpen) return;
  p_.state.ZelApiReopen = true;
  p_.state.ZelApiResult = p_.net.ZelCloseProcess();
  p_.state.ZelApiOpen = false;
}

std::string PollingEngine::RemoveOPCGroup(int channel) {
  OpcClient& client = p_.opc.OPC(channel);
  client.RemoveGroup();
  return client.GroupStatus();
}

std::string PollingEngine::DisconnectOPC(int channel) {
  OpcClient& client = p_.opc.OPC(channel);
  client.Disconnect();
  return client.ConnectStatus();
}

void PollingEngine::ReleaseChannelWork(int channel) {
  EngineState& s = p_.state;
  s.RxBuffer[channel].clear();
  s.RxLineDiscarded[channel] = false;
  s.DBReply[channel].clear();
  s.DBName[channel].clear();
  s.DBQuery[channel].clear();
  s.ExternalDB[channel] = false;
}

}  // namespace tarvex
