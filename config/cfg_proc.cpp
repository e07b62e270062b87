#include "cfg_proc.h"

#include "config/channel_file.h"
#include "config/protocol_file.h"
#include "config/system_setup_file.h"
#include "platform/run_time_error.h"

namespace tarvex {

namespace {

// DeviceProtocol runs 0 to 41; entry 42 of the protocol tables has no file.
constexpr int LastProtocol = ProtocolArraySize - 2;

void CheckChannel(int32_t channel) { CheckSubscript(channel, 0, ChannelArraySize - 1, "channel"); }

}  // namespace

ConfigProcedure::ConfigProcedure(ConfigState& config, StartupState& startup, const ProgramFolder& folder,
                                 LogWriter& log)
    : config_(config), startup_(startup), folder_(folder), log_(log) {}

void ConfigProcedure::SetDialogTransfer(DialogTransfer* transfer) {
  transfer_ = transfer != nullptr ? transfer : &nullTransfer_;
}

void ConfigProcedure::SetPortOperations(PortOperations* port) { port_ = port != nullptr ? port : &nullPort_; }

void ConfigProcedure::CfgProc(int32_t op, int32_t index) {
  switch (op) {
    case CfgOp::ChannelToDialog: transfer_->ChannelToDialog(index); break;
    case CfgOp::DialogToChannel: transfer_->DialogToChannel(index); break;
    case CfgOp::ApplyPortSettings: port_->ApplyPortSettings(index); break;
    case CfgOp::ReadChannel: ReadChannel(index); break;
    case CfgOp::WriteChannel: WriteChannel(index); break;
    case CfgOp::DefaultChannel: DefaultChannel(index); break;
    case CfgOp::OpenPort: port_->OpenPort(index); break;
    case CfgOp::RestorePortSettings: port_->RestorePortSettings(index); break;
    case CfgOp::SavePortSettings: port_->SavePortSettings(index); break;
    case CfgOp::ReadProtocol: ReadProtocol(index); break;
    case CfgOp::WriteProtocol: WriteProtocol(index); break;
    case CfgOp::ProtocolToDialog: transfer_->ProtocolToDialog(index); break;
    case CfgOp::DialogToProtocol: transfer_->DialogToProtocol(index); break;
    case CfgOp::ReadSystemSetup: ReadSystemSetup(); break;
    case CfgOp::WriteSystemSetup: WriteSystemSetup(); break;
    case CfgOp::DisableChannel:
      config_.Channels[index].DeviceEnabled = false;
      break;
    default: break;  // CfgOp::Nothing and unknown operations
  }
}

// ---- channel file ----

std::string ConfigProcedure::ChannelFilePath(int32_t channel) const {
  CheckChannel(channel);
  return FindSettingsFile(folder_, ChannelFileName(channel));
}

void ConfigProcedure::ReadChannel(int32_t channel) {
  CheckChannel(channel);
  const std::string path = ChannelFilePath(channel);
  std::optional<std::string> bytes = ReadSettingsFile(path);
  if (!bytes || bytes->empty()) {
    // Not an error: a channel without a file gets the defaults, written out.
    DefaultChannel(channel);
    bytes = ReadSettingsFile(path);
    if (!bytes) bytes.emplace();
  }
  ChannelRecord record = ParseChannelFile(*bytes, path);
  ChannelSetup& setup = config_.Channels[channel];
  record.Setup.OPCTags[OPCTagColumns - 1] = setup.OPCTags[OPCTagColumns - 1];  // column 7 is not stored
  setup = std::move(record.Setup);
  startup_.ChannelLogEnabled[static_cast<size_t>(channel)] = record.ChannelLogEnabled;
}

void ConfigProcedure::WriteChannel(int32_t channel) {
  CheckChannel(channel);
  // The port layer handles its own errors; when it cannot open the port it
  // clears DeviceEnabled, and the file records that.
  port_->OpenPort(channel);
  SaveChannel(channel);
}

ChannelRecord ConfigProcedure::DefaultRecord(int32_t channel) const {
  ChannelRecord defaults = ChannelDefaults(channel, folder_);
  defaults.Setup.OPCTags[OPCTagColumns - 1] = config_.Channels[channel].OPCTags[OPCTagColumns - 1];
  return defaults;
}

void ConfigProcedure::DefaultChannel(int32_t channel) {
  CheckChannel(channel);
  ChannelRecord defaults = DefaultRecord(channel);
  ChannelSetup& setup = config_.Channels[channel];
  setup = std::move(defaults.Setup);
  startup_.ChannelLogEnabled[static_cast<size_t>(channel)] = defaults.ChannelLogEnabled;
  SaveChannel(channel);
}

void ConfigProcedure::RestoreChannelDefaults(int32_t channel) {
  CheckChannel(channel);
  const std::string path = ChannelFilePath(channel);
  const std::optional<std::string> replaced = ReadSettingsFile(path);
  if (replaced && *replaced != FormatChannelFile(DefaultRecord(channel), path)) {
    SaveSettingsFile(path + ".bak", *replaced, write_);
  }
  CfgProc(CfgOp::DefaultChannel, channel);
  CfgProc(CfgOp::ReadChannel, channel);
  CfgProc(CfgOp::ChannelToDialog, channel);
}

void ConfigProcedure::SaveChannel(int32_t channel) {
  const std::string path = ChannelFilePath(channel);
  const ChannelRecord record{config_.Channels[channel], startup_.ChannelLogEnabled[static_cast<size_t>(channel)]};
  SaveSettingsFile(path, FormatChannelFile(record, path), write_);
}

// ---- protocol files ----

std::string ConfigProcedure::ProtocolFilePath(int32_t protocol) const {
  CheckSubscript(protocol, 0, LastProtocol, "protocol");
  const std::string& name = startup_.Tables.CfgFileNames(protocol);
  if (name.empty()) {
    throw RunTimeError(ErrorNumber::BadFileNameOrNumber, StandardErrorDescription(ErrorNumber::BadFileNameOrNumber) +
                                                             ": protocol " + std::to_string(protocol) +
                                                             " has no file name (CfgFileNames not filled)");
  }
  return FindSettingsFile(folder_, name);
}

void ConfigProcedure::ReadProtocol(int32_t protocol) {
  const std::string path = ProtocolFilePath(protocol);
  ProtocolDefinition& definition = config_.Protocols[protocol];
  const std::optional<std::string> bytes = ReadSettingsFile(path);
  if (!bytes || bytes->empty()) {
    // The file stays behind empty, so the log line recurs until the protocol
    // is saved; everything but the data fields keeps its value.
    if (!bytes) CreateEmptySettingsFile(path);
    ResetDataFields(definition);
    log_.WriteLog(LogKind::Error, path + " STD Format File Not Found.");
    return;
  }
  ProtocolDefinition scratch = definition;
  ResetDataFields(scratch);
  ParseProtocolFile(*bytes, path, scratch);
  definition = std::move(scratch);
}

void ConfigProcedure::WriteProtocol(int32_t protocol) {
  const std::string path = ProtocolFilePath(protocol);
  SaveSettingsFile(path, FormatProtocolFile(config_.Protocols[protocol], path), write_);
}

// ---- system setup file ----

std::string ConfigProcedure::SystemSetupFilePath() const { return FindSettingsFile(folder_, SystemSetupFileName); }

void ConfigProcedure::ReadSystemSetup() {
  const std::string path = SystemSetupFilePath();
  const std::optional<std::string> bytes = ReadSettingsFile(path);
  if (!bytes || bytes->empty()) {
    config_.System = SystemSetupDefaults();
    SaveSettingsFile(path, FormatSystemSetupFile(config_.System, path), write_);
    log_.WriteLog(LogKind::Error, path + " File Not Found.");
    return;
  }
  config_.System = ParseSystemSetupFile(*bytes, path);
}

void ConfigProcedure::WriteSystemSetup() {
  const std::string path = SystemSetupFilePath();
  SaveSettingsFile(path, FormatSystemSetupFile(config_.System, path), write_);
}

}  // namespace tarvex
