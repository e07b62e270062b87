#pragma once
// The polling engine of the running program, made once at start-up over the
// state objects of their owners: publication (SetVal, the DDE topics, the
// OPC clients over the item store), the terminal network, the
// database workspaces, the scan pass with its per-channel steps and its error
// handler, and the engine the main window calls (Engine()).
//
// The per-channel steps are the members named after them; each is a ChannelStep
// built over services_, as are the scan error handling and the paced
// transmitter that TxTimer's tick runs.
#include "engine/polling_engine.h"
#include "app/window_seams.h"
#include "config/cfg_proc.h"
#include "engine/commands/client_command_step.h"
#include "engine/engine_steps.h"
#include "engine/errors/scan_error_handling.h"
#include "engine/database/serial_db_request_step.h"
#include "engine/scale_data/serial_scale_data.h"
#include "engine/database/terminal_db_request_step.h"
#include "engine/scale_data/terminal_scale_data.h"
#include "engine/transmit/transmit_timer.h"
#include "engine/scan_pass.h"
#include "engine/scan_surroundings.h"
#include "platform/clock.h"
#include "platform/message_box.h"
#include "platform/opc/opc_client.h"
#include "platform/opc/opc_item_store.h"
#include "platform/program_folder.h"
#include "publish/dde_links.h"
#include "publish/value_publisher.h"

namespace tarvex {

struct EngineParts {
  EngineState& engine;
  ConfigState& config;
  StartupState& startup;
  SetupHandoverState& setup;
  PublicationState& publication;
  MainWindowValues& window;
  DeviceHandshake& handshake;
  DdeTopics& topics;
  OpcItemStore& opcItems;
  ConfigProcedure& cfg;
  LogWriter& log;
  MessageBox& messageBox;
  // The wall clock of reply dates and the weight log, and the folder weight
  // logs are placed in.
  const Clock& clock;
  const ProgramFolder& folder;
  Speech& speech;
  SerialPortArray& ports;
  TerminalNet& net;
  WindowSeams& seams;
};

class EngineAssembly {
public:
  explicit EngineAssembly(EngineParts parts);
  EngineAssembly(const EngineAssembly&) = delete;
  EngineAssembly& operator=(const EngineAssembly&) = delete;

  ScanEngine& Engine() { return engine_; }
  ScanPass& Pass() { return pass_; }
  DatabaseWorkspaces& Workspaces() { return workspaces_; }
  StoreOpcClients& Opc() { return opc_; }

private:
  StoreOpcClients opc_;
  ValuePublisher publisher_;
  DdeLinks dde_;
  DatabaseWorkspaces workspaces_;
  SystemScanClock clock_;
  QtScanPacing pacing_;
  // Names steps_ and errors_ before they are made: only a pass reaches them.
  ScanSurroundings services_;

  ClientCommandStep clientCommands_;
  SerialDBRequestStep serialDBRequest_;
  TerminalDBRequestStep terminalDBRequest_;
  SerialScaleData serialScaleData_;
  TerminalScaleData terminalScaleData_;
  EngineSteps steps_{{clientCommands_, serialDBRequest_, terminalDBRequest_, serialScaleData_, terminalScaleData_}};
  ScanErrorHandling errors_;
  TransmitTimer transmit_;

  ScanPass pass_;
  PollingEngine engine_;
};

}  // namespace tarvex
