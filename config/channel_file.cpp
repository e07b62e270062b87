#include "channel_file.h"

#include "config/settings_file.h"

namespace tarvex {

namespace {

constexpr const char* OPCTagSuffixes[] = {"/GROSS.CV", "/TARE.CV",   "/NET.CV",    "/SCALESTAT.CV",
                                          "/CMD.CV",   "/CMDPARM.CV", "/CMDSTAT.CV"};
constexpr int StoredOPCTags = 7;

constexpr const char* OPCTagNames[StoredOPCTags] = {"OPCTags(0)", "OPCTags(1)", "OPCTags(2)", "OPCTags(3)",
                                                    "OPCTags(4)", "OPCTags(5)", "OPCTags(6)"};

// The protocols of the table are 0 to 41; -1 is what the setup dialog stores
// when no protocol is chosen. Any other number names no protocol the scan could
// serve, and is refused like any other damaged field.
constexpr int32_t NoProtocol = -1;
constexpr int32_t LastProtocol = 41;

// The 34 fields in file order with their names.
template <typename Record, typename Visitor>
void VisitFields(Record& r, Visitor&& v) {
  auto& s = r.Setup;
  v.Long(s.ChannelProtocol, "ChannelProtocol", NoProtocol, LastProtocol);
  v.Long(s.ConnectUsing, "ConnectUsing");
  v.Long(s.ComPortIndex, "ComPortIndex");
  v.Long(s.PortSettingsIndex, "PortSettingsIndex");
  v.Boolean(s.XonXoff, "XonXoff");
  v.Text(s.DeviceID, "DeviceID");
  v.Text(s.DeviceDescs, "DeviceDescs");
  v.Long(s.DBDriver, "DBDriver");
  v.Text(s.OtherDriver, "OtherDriver");
  v.Text(s.OPCNodeName, "OPCNodeName");
  v.Text(s.OPCServerName, "OPCServerName");
  v.Text(s.AsciiLogFileName, "AsciiLogFileName");
  v.Boolean(s.AsciiLogEnabled, "AsciiLogEnabled");
  v.Boolean(s.DeviceEnabled, "DeviceEnabled");
  v.Boolean(s.Bidirectional, "Bidirectional");
  v.Boolean(s.OPCEnabled, "OPCEnabled");
  v.Boolean(s.PollForData, "PollForData");
  v.Boolean(r.ChannelLogEnabled, "ChannelLogEnabled");
  v.Boolean(s.VirtualTerminalEnabled, "VirtualTerminalEnabled");
  v.Boolean(s.InteractiveDBErrors, "InteractiveDBErrors");
  v.Boolean(s.DDEServerEnabled, "DDEServerEnabled");
  v.Long(s.RefreshInterval, "RefreshInterval");
  v.Long(s.TxDelay, "TxDelay");
  v.Long(s.Timeout, "Timeout");
  for (int c = 0; c < StoredOPCTags; ++c) v.Text(s.OPCTags[static_cast<size_t>(c)], OPCTagNames[c]);
  v.Long(s.PrimaryUnits, "PrimaryUnits");
  v.Long(s.DecimalPlaces, "DecimalPlaces");
  v.Boolean(s.DataMapEnabled, "DataMapEnabled");
}

}  // namespace

std::string ChannelFileName(int channel) { return "\\Tarvex-SCALE" + std::to_string(channel + 1) + ".Cfg"; }

ChannelRecord ChannelDefaults(int channel, const ProgramFolder& folder) {
  const std::string n = std::to_string(channel + 1);
  ChannelRecord r;
  ChannelSetup& s = r.Setup;
  s.ChannelProtocol = 2;
  s.ConnectUsing = ConnectionType::PcSerialPort;
  s.ComPortIndex = 0;
  s.PortSettingsIndex = 33;
  s.DeviceDescs = "SCALE " + n;
  s.OPCServerName = "OPC.DELTAV.1";
  s.AsciiLogFileName = folder.join("WtData-SCALE" + n + ".Txt");
  s.RefreshInterval = 30;
  s.TxDelay = 12;
  s.Timeout = 50;
  for (int c = 0; c < StoredOPCTags; ++c) s.OPCTags[static_cast<size_t>(c)] = "SCALE_" + n + OPCTagSuffixes[c];
  r.ChannelLogEnabled = true;
  return r;
}

std::string FormatChannelFile(const ChannelRecord& record, const std::string& path) {
  SettingsWriter writer(path);
  VisitFields(record, WritingVisitor{writer});
  writer.EndLine();
  return writer.bytes();
}

ChannelRecord ParseChannelFile(std::string_view bytes, const std::string& path) {
  SettingsReader reader(path, bytes);
  ChannelRecord record;
  do {
    reader.BeginRecord();
    VisitFields(record, ReadingVisitor{reader});
  } while (!reader.AtEnd());
  return record;
}

}  // namespace tarvex
