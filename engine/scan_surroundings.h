#pragma once
// Everything the scan pass and channel initialisation reach, by reference.
// The main window builds one of these over the state objects of their owners
// and the platform backends, and keeps it as long as the pass.
#include "config/config_procedure_calls.h"
#include "config/config_state.h"
#include "config/setup_dialog/setup_handover_state.h"
#include "core/log_writer.h"
#include "core/startup_state.h"
#include "engine/channel_steps.h"
#include "engine/engine_state.h"
#include "engine/scan_clock.h"
#include "engine/scan_pacing.h"
#include "engine/scan_window.h"
#include "platform/opc/opc_client.h"
#include "platform/serial/serial_port.h"
#include "platform/speech/speech.h"
#include "platform/terminal_net/terminal_net.h"
#include "publish/activity_icons.h"
#include "publish/dde_links.h"
#include "publish/device_handshake.h"
#include "publish/grid_cells.h"
#include "publish/main_window_values.h"
#include "publish/publication_state.h"
#include "publish/value_publisher.h"

namespace tarvex {

struct ScanSurroundings {
  // State, each owned by its subsystem.
  EngineState& engine;
  ConfigState& config;
  StartupState& startup;
  SetupHandoverState& setup;  // SetupChannel
  PublicationState& publication;
  MainWindowValues& window;  // InTray, DeviceDirty

  // Publication and the grid.
  GridCells& grid;
  ValuePublisher& publisher;  // SetVal
  DdeLinks& dde;              // UpdateDDELinks
  DeviceHandshake& handshake;  // CallDeviceUpdateMethod
  ActivityIcons& icons;

  // Configuration, log and speech.
  ConfigProcedureCalls& cfg;
  LogWriter& log;
  Speech& speech;

  // The channels' connections.
  SerialPortArray& MSComm;
  TerminalNet& net;
  OpcClients& opc;

  // The pass's surroundings.
  ScanClock& clock;
  ScanPacing& pacing;
  ScanWindow& mainWindow;
  ChannelSteps& steps;
  ScanErrorHandler& errors;
};

}  // namespace tarvex
