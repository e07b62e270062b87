#pragma once
// A setup dialog with everything around it recorded: the configuration
// procedure (files kept in memory, failures injectable), the main window, the
// log and the message boxes.
#include <gtest/gtest.h>

#include <map>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "config/setup_dialog/setup_dialog.h"
#include "core/fixed_tables.h"
#include "tests/support/recording_log.h"

namespace tarvex {

// Field by field, so that a failed comparison names the field.
inline void PrintTo(const ChannelSetup& c, std::ostream* os) {
  *os << "{protocol " << c.ChannelProtocol << ", connect " << c.ConnectUsing << ", port " << c.ComPortIndex
      << ", settings " << c.PortSettingsIndex << ", xon " << c.XonXoff << ", id \"" << c.DeviceID << "\", desc \""
      << c.DeviceDescs << "\", driver " << c.DBDriver << " \"" << c.OtherDriver << "\", node \"" << c.OPCNodeName
      << "\", server \"" << c.OPCServerName << "\", log \"" << c.AsciiLogFileName << "\" " << c.AsciiLogEnabled
      << ", enabled " << c.DeviceEnabled << ", bidi " << c.Bidirectional << ", opc " << c.OPCEnabled << ", poll "
      << c.PollForData << ", vzel " << c.VirtualTerminalEnabled << ", dberr " << c.InteractiveDBErrors << ", dde "
      << c.DDEServerEnabled << ", refresh " << c.RefreshInterval << ", tx " << c.TxDelay << ", timeout " << c.Timeout
      << ", tags";
  for (const auto& tag : c.OPCTags) *os << " \"" << tag << "\"";
  *os << ", units " << c.PrimaryUnits << ", decimals " << c.DecimalPlaces << ", datamap " << c.DataMapEnabled << "}";
}

// Every call is noted in one shared journal, so the order across the main
// window, the log and the configuration procedure can be checked.
using Journal = std::vector<std::string>;

using test::RecordingLog;

// The scan pass's values that the dialog changes, held here in place of the
// engine's state.
struct ScanSide {
  int16_t ReinitChannel = -1;
  ChannelArray<bool> ChannelActive{"ChannelActive"};
  ScanHandover Handover() { return {ReinitChannel, ChannelActive}; }
};

class RecordingMainWindow final : public MainWindowLink {
public:
  RecordingMainWindow(Journal& journal, const ScanSide& scan) : journal_(journal), scan_(scan) {}
  void StopGridDrawing() override { Note("stop drawing"); }
  void CloseTerminalRegistration() override { Note("close terminal"); }
  void SetMainWindowPointer(int pointer) override { Note("main pointer " + std::to_string(pointer)); }
  void SetMainWindowEnabled(bool enabled) override { Note(enabled ? "main enabled" : "main disabled"); }
  void CloseChannelPort(int channel) override { Note("close port " + std::to_string(channel)); }
  void RemoveOPCGroup(int channel) override { Note("remove OPC " + std::to_string(channel)); }
  void EnableScanTimer() override { Note("scan timer on"); }

private:
  // Each call notes the ReinitChannel it sees, so the order of the exit's
  // hand-back among the calls shows.
  void Note(const std::string& call) {
    journal_.push_back(call + " [reinit " + std::to_string(scan_.ReinitChannel) + "]");
  }
  Journal& journal_;
  const ScanSide& scan_;
};

// The configuration procedure with its files in memory: 4 and 5 read and write
// the channel's record, 10 and 11 the protocol's definition; 1, 2, 13 and 14 go
// to the dialog. failOn makes that operation raise an error instead.
class RecordingConfigProcedure final : public ConfigProcedureCalls {
public:
  RecordingConfigProcedure(Journal& journal, ConfigState& config) : journal_(journal), config_(config) {}
  void Attach(DialogTransfer& transfer) { transfer_ = &transfer; }

  void CfgProc(int op, int index) override {
    journal_.push_back("cfg " + std::to_string(op) + " " + std::to_string(index));
    ops.push_back(op);
    if (failOn.count(op)) throw RunTimeError(ErrorNumber::PermissionDenied, "Permission denied: test file");
    switch (op) {
      case 1: transfer_->ChannelToDialog(index); break;
      case 2: transfer_->DialogToChannel(index); break;
      case 13: transfer_->ProtocolToDialog(index); break;
      case 14: transfer_->DialogToProtocol(index); break;
      case 4: config_.Channels[index] = channelFiles[index]; break;
      case 5: channelFiles[index] = config_.Channels[index]; break;
      case 10: config_.Protocols[index] = protocolFiles[index]; break;
      case 11: protocolFiles[index] = config_.Protocols[index]; break;
      default: break;
    }
  }

  std::vector<int> ops;
  std::set<int> failOn;
  std::map<int, ChannelSetup> channelFiles;
  std::map<int, ProtocolDefinition> protocolFiles;

private:
  Journal& journal_;
  ConfigState& config_;
  DialogTransfer* transfer_ = nullptr;
};

class SetupDialogTest : public testing::Test {
protected:
  SetupDialogTest() {
    InitCfgFileNames(startup.Tables);
    startup.ScreenWidth = 1024;
    startup.MaxChannel = 31;
    startup.StatusTable().ReDim(0, 99, 0, 5);
    cfg.Attach(dialog.Transfer());
    // The dialog's own steps of its opening and exit join the journal too.
    Window& window = dialog.Form().frmTarvexStdSetup;
    window.Watch([this, &window, shown = window.Visible(), pointer = window.MousePointer()]() mutable {
      if (window.MousePointer() != pointer) {
        pointer = window.MousePointer();
        journal.push_back("dialog pointer " + std::to_string(pointer));
      }
      if (window.Visible() != shown) {
        shown = window.Visible();
        journal.push_back(std::string(shown ? "dialog shown" : "dialog hidden") + " [reinit " +
                          std::to_string(scan.ReinitChannel) + "]");
      }
    });
  }

  SetupDialogForm& form() { return dialog.Form(); }
  SetupFieldLogic& logic() { return dialog.Logic(); }
  StatusGridState& grid() { return static_cast<StatusGridState&>(dialog.Grid()); }

  // Fills and shows the dialog for a channel as the Setup button does, with
  // the channel's file holding the record.
  void Open(int channel, const ChannelSetup& record) {
    cfg.channelFiles[channel] = record;
    dialog.OpenForChannel(channel);
    journal.clear();
    cfg.ops.clear();
  }

  Journal journal;
  ConfigState config;
  StartupState startup;
  SetupHandoverState handover;
  ScanSide scan;
  ProgramFolder folder{"/nonexistent"};
  FixedClock clock{QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5))};
  RecordingLog log{journal};
  RecordingMessageBox messageBox;
  RecordingMainWindow mainWindow{journal, scan};
  RecordingConfigProcedure cfg{journal, config};
  SetupDialog dialog{SetupDialogServices{config, startup, handover, log, messageBox, mainWindow, scan.Handover()}, cfg};
};

}  // namespace tarvex
