#include "startup.h"

#include "core/os_version.h"
#include "core/switches.h"

namespace tarvex {

namespace {

constexpr int StartupProblemStyle = MsgBoxStyle::Critical | MsgBoxStyle::OkOnly;

const std::string AlreadyRunningText =
    "A Copy Of Tarvex Manager Is Already Running.\r\n\r\n"
    "Please Switch To Copy Of Tarvex Manager Already Running...    \r\n\r\n\n"
    "Contact Velmar-Orinda For Additional Help...";

const std::string ScreenTooSmallText =
    "Tarvex MUST Run In At Least 800 x 600 Mode.\r\n\r\n"
    "Change Your Screen Settings To 1024 x 768, 256-Color,\r\n\r\n\n"
    "Or Contact Velmar-Orinda For Additional Help...";

}  // namespace

StartupOutcome Main(StartupState& state, StartupServices& services, StartupWindows& windows) {
  state.OSVersion = GetOSVersion(services.os.GetVersionEx());
  state.MaxChannel = MaxChannelFor(state.OSVersion);
  ScanSwitches(services.commandLine, state);

  if (services.instance.AnotherInstanceRunning()) {
    services.log.WriteLog(LogKind::Error, "Tried To Start Tarvex Manager While Already Running");
    services.messageBox.Show(AlreadyRunningText, StartupProblemStyle, StartupProblemTitle);
    return StartupOutcome::AlreadyRunning;
  }

  state.AutoStartPending = true;

  state.ScreenWidth = static_cast<short>(services.screen.PrimaryWidth());
  if (state.ScreenWidth < 800) {
    services.log.WriteLog(LogKind::Error, "Tried To Start Tarvex Manager In Less Than 800 x 600 Mode");
    services.messageBox.Show(ScreenTooSmallText, StartupProblemStyle, StartupProblemTitle);
    return StartupOutcome::ScreenTooSmall;
  }

  InitCommSettings(state.Tables);
  InitWeightUnits(state.Tables);
  InitDecimalFormats(state.Tables);
  InitCfgFileNames(state.Tables);

  state.StatusTable().ReDim(0, 99, 0, 5);

  windows.LoadDDETopicWindows();
  windows.LoadStartupWindow();
  return StartupOutcome::Started;
}

}  // namespace tarvex
