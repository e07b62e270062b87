#pragma once
// The one configuration procedure: every read, write and default of the
// channel, protocol and system setup files, the port operations and the
// transfers between the tables and the setup dialog go through CfgProc.
//
// File operations read into a scratch record and commit it only when the whole
// file was read, so a damaged file raises its error and leaves memory as it
// was. Writes build the whole file first (a value the notation cannot hold is
// refused before the disk is touched) and then replace the file in one step.
#include <cstdint>
#include <string>

#include "config/channel_file.h"
#include "config/config_procedure_calls.h"
#include "config/config_state.h"
#include "config/dialog_transfer.h"
#include "config/port_operations.h"
#include "config/settings_storage.h"
#include "core/log_writer.h"
#include "core/startup_state.h"
#include "platform/program_folder.h"

namespace tarvex {

namespace CfgOp {
constexpr int32_t ChannelToDialog = 1;
constexpr int32_t DialogToChannel = 2;
constexpr int32_t ApplyPortSettings = 3;
constexpr int32_t ReadChannel = 4;
constexpr int32_t WriteChannel = 5;
constexpr int32_t DefaultChannel = 6;
constexpr int32_t OpenPort = 7;
constexpr int32_t RestorePortSettings = 8;
constexpr int32_t SavePortSettings = 9;
constexpr int32_t ReadProtocol = 10;
constexpr int32_t WriteProtocol = 11;
constexpr int32_t Nothing = 12;
constexpr int32_t ProtocolToDialog = 13;
constexpr int32_t DialogToProtocol = 14;
constexpr int32_t ReadSystemSetup = 15;
constexpr int32_t WriteSystemSetup = 16;
constexpr int32_t DisableChannel = 17;
}  // namespace CfgOp

class ConfigProcedure final : public ConfigProcedureCalls {
public:
  ConfigProcedure(ConfigState& config, StartupState& startup, const ProgramFolder& folder, LogWriter& log);
  // It points at its own null seams, so it stays where it was made.
  ConfigProcedure(const ConfigProcedure&) = delete;
  ConfigProcedure& operator=(const ConfigProcedure&) = delete;

  // nullptr puts the null implementation back. The objects must outlive their
  // use here.
  void SetDialogTransfer(DialogTransfer* transfer);
  void SetPortOperations(PortOperations* port);
  // The write(2) of every save; empty for the real one.
  void SetFileWriteCall(FileWriteCall write) { write_ = std::move(write); }

  // Runs operation op (CfgOp) for index: a channel 0 to 32, a protocol 0 to 41,
  // or nothing (ops 12, 15, 16). Op 12 and ops outside 1 to 17 do nothing. A
  // channel or protocol outside its range raises error 9; damaged or
  // unwritable files raise their errors to the caller.
  void CfgProc(int32_t op, int32_t index) override;

  // The channel's defaults after its port could not be used: the channel file
  // as it stands is first kept beside it as "<file name>.bak", byte for byte
  // (unless it already holds the defaults, so an earlier copy is not lost),
  // then operations 6, 4 and 1 run. A copy that cannot be made raises its
  // error and leaves the channel file as it was.
  void RestoreChannelDefaults(int32_t channel);

  // The files the operations use (after the case-insensitive look-up).
  std::string ChannelFilePath(int32_t channel) const;
  std::string ProtocolFilePath(int32_t protocol) const;
  std::string SystemSetupFilePath() const;

private:
  void ReadChannel(int32_t channel);
  void WriteChannel(int32_t channel);
  void DefaultChannel(int32_t channel);
  ChannelRecord DefaultRecord(int32_t channel) const;
  void SaveChannel(int32_t channel);
  void ReadProtocol(int32_t protocol);
  void WriteProtocol(int32_t protocol);
  void ReadSystemSetup();
  void WriteSystemSetup();

  ConfigState& config_;
  StartupState& startup_;
  const ProgramFolder& folder_;
  LogWriter& log_;
  NullDialogTransfer nullTransfer_;
  NullPortOperations nullPort_;
  DialogTransfer* transfer_ = &nullTransfer_;
  PortOperations* port_ = &nullPort_;
  FileWriteCall write_;
};

}  // namespace tarvex
