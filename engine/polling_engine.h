#pragma once
// The polling engine as the main window calls it (ScanEngine): the scan pass
// on Timer1's tick, the paced transmitter on TxTimer's, and what the engine
// lets go of when a channel goes into setup or the manager stops.
//
// The paced transmitter is given as a plain call (TransmitTick), so the
// program hands in whatever serves TxTimer's tick; without one the tick does
// nothing.
#include <functional>
#include <string>

#include "engine/engine_state.h"
#include "engine/scan_engine.h"
#include "engine/scan_pass.h"
#include "platform/database/database.h"
#include "platform/opc/opc_client.h"
#include "platform/terminal_net/terminal_net.h"

namespace tarvex {

// DefaultWorkspace and ODBCWorkspace: the database request services create
// and open their databases through DefaultWorkspace. A workspace keeps no
// connection between requests, so opening and closing them (Open) only marks
// the window's interface start and unload.
struct DatabaseWorkspaces {
  DatabaseWorkspace DefaultWorkspace;
  DatabaseWorkspace ODBCWorkspace;
  bool Open = false;
};

using TransmitTick = std::function<void()>;

struct PollingEngineParts {
  ScanPass& pass;
  EngineState& state;
  OpcClients& opc;
  TerminalNet& net;
  DatabaseWorkspaces& workspaces;
  TransmitTick transmitTick;
};

class PollingEngine final : public ScanEngine {
public:
  explicit PollingEngine(PollingEngineParts parts) : p_(std::move(parts)) {}

  void Timer1_Timer() override { p_.pass.Timer1_Timer(); }
  void TxTimer_Timer() override {
    if (p_.transmitTick) p_.transmitTick();
  }
  void CloseTerminalProcess() override;
  void SuspendTerminalProcess() override;
  std::string RemoveOPCGroup(int channel) override;
  std::string DisconnectOPC(int channel) override;
  void OpenWorkspaces() override { p_.workspaces.Open = true; }
  void CloseWorkspaces() override { p_.workspaces.Open = false; }
  void ReleaseChannelWork(int channel) override;

private:
  PollingEngineParts p_;
};

}  // namespace tarvex
