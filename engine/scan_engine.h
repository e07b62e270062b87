#pragma once
// What the main window asks of the polling engine. The window carries the
// timers and the buttons; the engine does the work behind them: the scan pass
// and the paced transmitter on their timer ticks, and, when a channel goes
// into setup or the manager stops, letting go of what the engine holds for a
// channel: its OPC connection, the terminal network registration, the
// database workspaces, the receive and database texts.
//
// The serial ports are not here: they have one owner (SerialPortArray) that
// the engine, the setup dialog and the window share. ChannelActive,
// ReinitChannel and DevicesInitialized are fields of the engine's state
// (EngineState), which the window reaches by reference.
//
// Every method may raise a RunTimeError; the window reports it and goes on
// with its next step.
#include <string>

namespace tarvex {

class ScanEngine {
public:
  virtual ~ScanEngine() = default;

  // One scan pass: Timer1's tick.
  virtual void Timer1_Timer() = 0;
  // One tick of the paced transmitter: TxTimer's tick.
  virtual void TxTimer_Timer() = 0;

  // ZelCloseProcess, called whether or not the process is registered; its
  // result into ZelApiResult; ZelApiOpen = False. The manager stops or ends.
  virtual void CloseTerminalProcess() = 0;
  // A channel goes into setup: when the process is registered (ZelApiOpen),
  // ZelApiReopen = True, ZelCloseProcess, result into ZelApiResult and
  // ZelApiOpen = False, so the next pass registers it again. Otherwise the
  // terminal API is not called.
  virtual void SuspendTerminalProcess() = 0;

  // The channel's OPC connection, in this order: remove its item group and
  // return the group status text; then disconnect from the server and return
  // the connection status text.
  virtual std::string RemoveOPCGroup(int channel) = 0;
  virtual std::string DisconnectOPC(int channel) = 0;

  // DefaultWorkspace (the database engine's first workspace) and the ODBC
  // workspace with server-side cursors, made at every start of the interface;
  // both closed and released at unload.
  virtual void OpenWorkspaces() = 0;
  virtual void CloseWorkspaces() = 0;

  // At unload: the channel's receive texts (RxPiece, RxBuffer, RxFrame) and
  // database-service texts emptied, its database and record set released.
  virtual void ReleaseChannelWork(int channel) = 0;
};

}  // namespace tarvex
