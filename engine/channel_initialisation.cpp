#include "engine/channel_initialisation.h"

#include <cctype>
#include <limits>

#include "core/grid/grid_layout.h"
#include "core/main_screen.h"
#include "engine/errors/error_in_flight.h"
#include "engine/lamps.h"
#include "engine/out_of_service.h"
#include "engine/port_calls.h"
#include "engine/terminal/terminal_fields.h"
#include "engine/terminal/terminal_paths.h"
#include "engine/terminal/terminal_registration.h"
#include "platform/ansi_text.h"

namespace tarvex {

namespace {

constexpr int LastLoadedProtocol = 41;
constexpr int16_t OPCUpdateRate = 50;

std::string Capitals(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

}  // namespace

std::string ChannelInitialisation::PortMessage(int32_t ch) {
  const std::string n = std::to_string(ch + 1);
  return "Attention!, A Tarvex error has occured trying to initialize Channel " + n + "'s  COM port. Channel  " + n +
         " will not be enabled. " + "Please check for other channels that may be set to the same com port. " +
         "Please un check the ENABLED check box in the upper right hand area of Channel " + n +
         "'s setup screen to eliminate this message. Please contact " +
         "Velmar Orinda Technical Support if you need additional assistance.";
}

std::string ChannelInitialisation::NetworkMessage(int32_t ch) {
  const std::string n = std::to_string(ch + 1);
  return "Attention!, A Tarvex error has occured trying to initialize Channel " + n +
         "'s  ARC NET port. The ARC NET interface may not be functional." +
         "Try exiting and then restarting Tarvex. If this error still occurs, " + "try rebooting the computer. " +
         "Please contact " + "Velmar Orinda Technical Support if you need additional assistance.";
}

template <typename Step>
void ChannelInitialisation::Guarded(int32_t ch, Step&& step) {
  try {
    step();
  } catch (...) {
    // Marked before the handler speaks, so the handler's repair of lamps and
    // settings stands, but for the error lamp (below).
    try {
      MarkFailed(ch);
    } catch (...) {
      // Only a channel outside the arrays fails here; the handler still hears.
    }
    ReportInFlight(s_.errors, ch);
    // The handler ends with its error lamp off, as after an error of a
    // running channel; this channel is left failed, and its lamp says so.
    try {
      SetLamp(ch, Lamp::Error, true);
      s_.grid.SetCellDirty(ch, Lamp::Error);
    } catch (...) {
    }
  }
}

void ChannelInitialisation::FirstPass() {
  // What fails before the channels (a log that cannot be written, a damaged
  // protocol file) is reported once; the channels are still set up.
  const auto reported = [&](auto&& step) {
    try {
      step();
    } catch (...) {
      ReportInFlight(s_.errors, 0);
    }
  };
  reported([&] { s_.log.WriteLog(LogKind::Activity, "Initializing Devices..."); });
  for (int p = 0; p <= LastLoadedProtocol; ++p) {
    reported([&] {
      s_.cfg.CfgProc(10, p);
      CheckLoadedProtocol(p);
    });
  }
  const int32_t last = s_.startup.MaxChannel;
  for (int32_t ch = 0; ch <= last; ++ch) Guarded(ch, [&] { InitialiseChannel(ch); });
  s_.engine.DevicesInitialized = true;
  s_.mainWindow.SetMousePointer(MousePointer::Default);
}

void ChannelInitialisation::InitialiseChannel(int32_t ch) {
  EngineState& e = s_.engine;
  e.Format[ch].DecimalsFromStatus = false;
  e.Format[ch].FormatKnown = false;
  s_.setup.SetupChannel = ch;
  SetStatus(ch, "Initializing...");
  s_.cfg.CfgProc(4, s_.setup.SetupChannel);
  SetPrimaryUnitsText(ch);
  s_.grid.SetCellDirty(ch, GridColumn::Description);
  ResetDisplay(ch);
  const ChannelSetup& channel = s_.config.Channels[ch];
  if (!channel.DeviceEnabled) {
    SetStatus(ch, "Device Disabled...");
    ResetPublicationMemory(ch);
    return;
  }
  if (channel.OPCEnabled) ConnectOPC(ch, Occasion::FirstPass);
  ConnectByType(ch, Occasion::FirstPass);
}

void ChannelInitialisation::InactiveChannel(int32_t ch) {
  // The pending terminal re-registration is the pass's, made before any
  // channel is served (RegisterAgainWhenPending).
  EngineState& e = s_.engine;
  if (e.ReinitChannel == ch) {
    Guarded(ch, [&] { Reinitialise(ch); });
    // Consumed also when it failed: the operator hands the channel back again
    // from the setup dialog rather than meeting the same error every pass.
    e.ReinitChannel = -1;
    s_.mainWindow.SetMousePointer(MousePointer::Default);
    return;
  }
  PublicationState& p = s_.publication;
  p.NewGross[ch] = "";
  p.NewNet[ch] = "";
  p.NewTare[ch] = "";
  s_.grid.SetCellDirty(ch, GridColumn::Gross);
  s_.grid.SetCellDirty(ch, GridColumn::Tare);
  s_.grid.SetCellDirty(ch, GridColumn::Net);
}

void ChannelInitialisation::Reinitialise(int32_t ch) {
  EngineState& e = s_.engine;
  e.Format[ch].DecimalsFromStatus = false;
  e.Format[ch].FormatKnown = false;
  s_.grid.SetCellDirty(ch, GridColumn::Description);
  SetPrimaryUnitsText(ch);
  // The setup dialog may have changed the channel's protocol definition. A
  // channel without a protocol (-1, none chosen) has none to check: it is
  // opened and shown as on the first pass.
  const int32_t protocol = s_.config.Channels[ch].ChannelProtocol;
  if (protocol >= 0 && protocol <= LastLoadedProtocol) CheckLoadedProtocol(protocol);
  s_.publication.StatusText[ch] = "ReInitializing...";
  s_.publisher.SetVal(ValueCode::Description, ch);
  s_.grid.SetCellDirty(ch, GridColumn::StatusText);
  ResetDisplay(ch);
  const ChannelSetup& channel = s_.config.Channels[ch];
  if (channel.DeviceEnabled) {
    if (channel.OPCEnabled) ConnectOPC(ch, Occasion::Reinit);
    ConnectByType(ch, Occasion::Reinit);
  } else {
    SetStatus(ch, "Device Disabled...");
    ResetPublicationMemory(ch);
  }
  // Served until its setup, and not from now on (disabled, a connection that
  // nothing serves, a port that did not open): its last weight is no longer
  // read.
  if (!e.ChannelActive[ch]) TellOutOfService(s_.engine, s_.handshake, ch);
}

void ChannelInitialisation::ResetDisplay(int32_t ch) {
  PublicationState& p = s_.publication;
  p.NewGross[ch] = "";
  p.NewTare[ch] = "";
  p.NewNet[ch] = "";
  const ChannelSetup& channel = s_.config.Channels[ch];
  SetLamp(ch, Lamp::Receive, false);
  SetLamp(ch, Lamp::Transmit, false);
  SetLamp(ch, Lamp::Error, false);
  SetLamp(ch, Lamp::DatabaseRequest, channel.ChannelProtocol == 0);
  SetLamp(ch, Lamp::Enabled, channel.DeviceEnabled);
  SetLamp(ch, Lamp::Units, false);
  SetLamp(ch, Lamp::NetMode, false);
  SetLamp(ch, Lamp::Motion, false);
  for (int col = Lamp::Error; col >= Lamp::Motion; --col) s_.grid.SetCellDirty(ch, col);
}

void ChannelInitialisation::ConnectByType(int32_t ch, Occasion occasion) {
  switch (s_.config.Channels[ch].ConnectUsing) {
    case ConnectionType::PcSerialPort: OpenSerialPort(ch, occasion); break;
    case ConnectionType::ArcNet: RegisterTerminal(ch, occasion); break;
    default: break;  // never made active
  }
}

void ChannelInitialisation::ConnectOPC(int32_t ch, Occasion occasion) {
  const ChannelSetup& channel = s_.config.Channels[ch];
  OpcClient& opc = s_.opc.OPC(ch);
  const std::string device = "Device:" + std::to_string(ch);
  const std::string separator = occasion == Occasion::FirstPass ? " h:" : "  h:";
  opc.SetServerName(channel.OPCServerName);
  opc.SetNodeName(channel.OPCNodeName);
  opc.SetUpdateRate(OPCUpdateRate);
  opc.Connect();
  const std::string connectStatus = opc.ConnectStatus();
  const std::string connectResult = std::to_string(opc.ConnectResult());
  const auto logConnect = [&] {
    s_.log.WriteLog(LogKind::Opc, device + "; Connecting... Status: " + connectStatus + separator + connectResult);
  };
  const auto showConnect = [&] {
    s_.publication.StatusText[ch] = "OPC: " + connectStatus + " : " + connectResult;
    s_.grid.SetCellDirty(ch, GridColumn::StatusText);
  };
  if (occasion == Occasion::FirstPass) {
    logConnect();
    showConnect();
  } else {
    showConnect();
    logConnect();
  }
  for (int16_t k = 0; k < OPCTagColumns; ++k) {
    const std::string& tag = channel.OPCTags[static_cast<size_t>(k)];
    if (!TrimBlanks(tag).empty()) opc.SetItemName(k, tag);
  }
  opc.CreateGroup();
  const std::string groupStatus = opc.GroupStatus();
  const std::string groupResult = std::to_string(opc.GroupResult());
  s_.log.WriteLog(LogKind::Opc, device + "; Creating Group/Tags... Status: " + groupStatus + separator + groupResult);
  s_.publication.StatusText[ch] = "OPC: " + groupStatus + " : " + groupResult + " : ";
  s_.grid.SetCellDirty(ch, GridColumn::StatusText);
}

void ChannelInitialisation::OpenSerialPort(int32_t ch, Occasion occasion) {
  EngineState& e = s_.engine;
  const ChannelSetup& channel = s_.config.Channels[ch];
  e.LastDataTick[ch] = e.ScanTick;
  SerialPort& port = s_.MSComm[ch];
  if (port.PortOpen()) AtPort(s_.grid, ch, [&] { port.SetPortOpen(false); });
  // The port drops what is waiting when it opens; the engine's own buffers
  // are dropped here, whether or not it opens.
  e.RxBuffer[ch].clear();
  e.RxLineDiscarded[ch] = false;
  e.RxCutter[ch].reset();
  e.TxBuffer[ch].clear();
  e.CommandWaitsForLine[ch] = false;
  // A damaged channel file's largest index has no next port number.
  if (channel.ComPortIndex == std::numeric_limits<int32_t>::max()) {
    throw RunTimeError(ErrorNumber::Overflow, StandardErrorDescription(ErrorNumber::Overflow) +
                                                  " (port index of channel " + std::to_string(ch) + ")");
  }
  AtPort(s_.grid, ch, [&] { port.SetCommPort(channel.ComPortIndex + 1); });
  AtPort(s_.grid, ch, [&] { port.SetSettings(s_.startup.Tables.CommSettings(channel.PortSettingsIndex)); });
  AtPort(s_.grid, ch, [&] { port.SetHandshaking(channel.XonXoff ? 1 : 0); });
  AtPort(s_.grid, ch, [&] { port.SetPortOpen(true); });

  if (port.PortOpen()) {
    if (occasion == Occasion::FirstPass) s_.publisher.SetVal(ValueCode::Description, ch);
    SetStatus(ch, "Ready...");
    e.ChannelActive[ch] = true;
    ResetPublicationMemory(ch);
    if (occasion == Occasion::Reinit) s_.publisher.SetVal(ValueCode::Description, ch);
    return;
  }
  if (occasion == Occasion::FirstPass) {
    e.ChannelActive[ch] = false;
    SetStatus(ch, "Initialization Error...");
    SetLamp(ch, Lamp::Enabled, false);
    s_.config.Channels[ch].DeviceEnabled = false;
    s_.grid.SetCellDirty(ch, Lamp::Enabled);
    SetLamp(ch, Lamp::Error, true);
    s_.grid.SetCellDirty(ch, Lamp::Error);
    ResetPublicationMemory(ch);
    TellOutOfService(s_.engine, s_.handshake, ch);
  } else {
    MarkFailed(ch);
    SetLamp(ch, Lamp::Enabled, false);
    s_.config.Channels[ch].DeviceEnabled = false;
    s_.grid.SetCellDirty(ch, Lamp::Enabled);
  }
  Speak(PortMessage(ch));
  // The device is there but refuses this user or fails: the operator learns
  // which device and why, as for a port that is missing or busy.
  const std::string& reason = port.OpenFailure();
  s_.log.WriteLog(LogKind::Error, "Channel " + std::to_string(ch + 1) + ": Port not opened" +
                                      (reason.empty() ? std::string() : " (" + reason + ")"));
}

void ChannelInitialisation::RegisterTerminal(int32_t ch, Occasion occasion) {
  EngineState& e = s_.engine;
  e.PubStatBits[ch] = ForceStatusPublication;
  PublicationState& p = s_.publication;
  p.PubNet[ch] = ForcePublication;
  p.PubGross[ch] = ForcePublication;
  p.PubTare[ch] = ForcePublication;
  SetupArcNetPaths(e, s_.config, ch);
  e.TerminalTimeoutTick[ch].reset();
  e.TerminalWaiting[ch] = false;
  e.TerminalFaultLogged[ch].clear();
  if (!e.ZelApiOpen) {
    bool registered = false;
    if (occasion == Occasion::FirstPass) {
      e.ZelApiResult = s_.net.ZelRegisterProcess(TerminalProcessId);
      registered = e.ZelApiResult == 0;
      e.ZelApiOpen = registered;
    } else {
      // Keeps to the wait after a failed try; the pass's own try may have
      // failed a moment ago.
      registered = TryTerminalRegistration(s_);
    }
    if (!registered) {
      MarkFailed(ch);
      LogTerminalFault(s_, ch, "Terminal Registration Error", "", e.ZelApiResult);
      Speak(NetworkMessage(ch));
      return;
    }
  }
  // Every terminal channel publishes its description, also the second and
  // later ones of the first pass, which find the registration open.
  e.ChannelActive[ch] = true;
  SetStatus(ch, "Ready...");
  s_.publisher.SetVal(ValueCode::Description, ch);
}

void ChannelInitialisation::CheckLoadedProtocol(int32_t p) {
  CheckedProtocol& checked = s_.engine.CheckedProtocols[p];
  const CheckedProtocol before = checked;
  checked = CheckProtocol(s_.config.Protocols[p], p, [&](const std::string& line) {
    s_.log.WriteLog(LogKind::Error, line);
  });
  if (checked.StreamStartChar == before.StreamStartChar && checked.StreamEndChar == before.StreamEndChar &&
      checked.MaxStreamLength == before.MaxStreamLength) {
    return;
  }
  // Every channel of the protocol cuts its frames by the new framing from its
  // next pass on, not only the one handed back.
  for (int32_t ch = 0; ch < ChannelArraySize; ++ch) {
    if (s_.config.Channels[ch].ChannelProtocol == p) s_.engine.RxCutter[ch].reset();
  }
}

void ChannelInitialisation::SetPrimaryUnitsText(int32_t ch) {
  s_.engine.PrimaryUnitsText[ch] =
      Capitals(TrimBlanks(s_.startup.Tables.WeightUnits(s_.config.Channels[ch].PrimaryUnits)));
}

void ChannelInitialisation::ResetPublicationMemory(int32_t ch) {
  s_.engine.PubStatBits[ch] = ForceStatusPublication;
  PublicationState& p = s_.publication;
  p.PubNet[ch] = ForcePublication;
  p.PubGross[ch] = ForcePublication;
  p.PubTare[ch] = ForcePublication;
  p.OPCDirty[ch] = true;
}

void ChannelInitialisation::MarkFailed(int32_t ch) {
  s_.engine.ChannelActive[ch] = false;
  SetStatus(ch, "Initialization Error...");
  SetLamp(ch, Lamp::Error, true);
  s_.grid.SetCellDirty(ch, Lamp::Error);
  TellOutOfService(s_.engine, s_.handshake, ch);
}

void ChannelInitialisation::SetStatus(int32_t ch, const std::string& text) {
  s_.publication.StatusText[ch] = text;
  s_.grid.SetCellDirty(ch, GridColumn::StatusText);
}

void ChannelInitialisation::SetLamp(int32_t ch, int lamp, bool on) { s_.grid.SetIndicatorOn(ch, lamp, on); }

void ChannelInitialisation::Speak(const std::string& text) {
  if (s_.startup.SpeechEnabled) s_.speech.Speak(text);
}

}  // namespace tarvex
