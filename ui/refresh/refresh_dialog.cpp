#include "ui/refresh/refresh_dialog.h"

#include <algorithm>
#include <optional>

#include "core/parse_leading_number.h"
#include "platform/run_time_error.h"

namespace tarvex {

namespace {

constexpr int SpinnerMax = 100;
constexpr size_t BoxMaxLength = 3;    // what the operator can type
constexpr size_t FileValueDigits = 9;  // what a box filled from the file can hold
constexpr int TransmitIdleBox = 3;

constexpr std::array<std::array<int, RateBoxCount>, 3> Presets = {{
    {50, 5, 15, 1, 50, 5},  // Slow
    {25, 1, 15, 1, 25, 1},  // Normal
    {1, 0, 15, 1, 15, 0},   // Fast
}};

// The headings of the boxes: column and row.
constexpr std::array<const char*, RateBoxCount> BoxNames = {"Rx Int.", "Rx Idle", "Tx Int.",
                                                            "Tx Idle", "GDI Int.", "GDI Idle"};

bool IsInterval(int index) { return index == 0 || index == 2 || index == 4; }

std::string Trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// The whole number of a box of digits; none for anything else. A box filled
// from the system setup file may hold more digits than can be typed.
std::optional<int> BoxValue(const std::string& text) {
  const std::string digits = Trimmed(text);
  if (digits.empty() || digits.size() > FileValueDigits) return std::nullopt;
  if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) return std::nullopt;
  return std::stoi(digits);
}

}  // namespace

RefreshDialog::RefreshDialog(RefreshDialogServices services, RefreshView& view) : s_(std::move(services)), view_(view) {}

void RefreshDialog::SetBox(int index, const std::string& text) {
  const auto i = static_cast<size_t>(index);
  controls_.tVal[i] = text;
  if (Trimmed(text).empty()) return;
  // The spinner shows what it can of the value: 0 to 100.
  const double value = ParseLeadingNumber(text);
  controls_.VScroll1[i] = static_cast<int>(std::clamp(value, 0.0, static_cast<double>(SpinnerMax)));
}

void RefreshDialog::Open(const std::array<std::string, RateBoxCount>& tVal) {
  for (int index = 0; index < RateBoxCount; ++index) SetBox(index, tVal[static_cast<size_t>(index)]);
  controls_.Visible = true;
  Form_Activate();
}

// The advanced frame lies over the simple view's controls, which it disables.
void RefreshDialog::SetView(bool advanced) {
  controls_.fRefreshVisible = advanced;
  controls_.Height = advanced ? AdvancedViewHeight : SimpleViewHeight;
  controls_.cmdAdvancedEnabled = !advanced;
  controls_.Slider1Enabled = !advanced;
  controls_.cmdSimpleCloseEnabled = !advanced;
}

void RefreshDialog::Form_Activate() {
  SetView(false);
  const double scanInterval = ParseLeadingNumber(controls_.tVal[0]);
  const double scanIdle = ParseLeadingNumber(controls_.tVal[1]);
  const double gridInterval = ParseLeadingNumber(controls_.tVal[4]);
  const double gridIdle = ParseLeadingNumber(controls_.tVal[5]);
  if (scanInterval < 20 && scanIdle < 2 && gridInterval < 20 && gridIdle < 2) {
    controls_.Slider1 = SliderPosition::Fast;
  } else if (scanInterval < 40 && scanIdle < 4 && gridInterval < 40 && gridIdle < 4) {
    controls_.Slider1 = SliderPosition::Normal;
  } else if (scanInterval > 40 && scanIdle > 4 && gridInterval > 40 && gridIdle > 4) {
    controls_.Slider1 = SliderPosition::Slow;
  }
  render();
}

void RefreshDialog::Slider1_Scroll(int position) {
  if (position < SliderPosition::Slow || position > SliderPosition::Fast) return;
  controls_.Slider1 = position;
  const auto& preset = Presets[static_cast<size_t>(position)];
  for (int index = 0; index < RateBoxCount; ++index) {
    SetBox(index, std::to_string(preset[static_cast<size_t>(index)]));
  }
  render();
  cmdUpdate_Click();
}

void RefreshDialog::cmdAdvanced_Click() {
  SetView(true);
  render();
}

void RefreshDialog::cmdUnAdvanced_Click() {
  SetView(false);
  render();
}

bool RefreshDialog::cmdUpdate_Click() {
  std::array<int, RateBoxCount> value{};
  for (int index = 0; index < RateBoxCount; ++index) {
    if (index == TransmitIdleBox) continue;  // shown only, never applied
    const std::string& text = controls_.tVal[static_cast<size_t>(index)];
    const std::string field = BoxNames[static_cast<size_t>(index)];
    std::string refusal;
    const std::optional<int> number = BoxValue(text);
    if (Trimmed(text).empty()) refusal = "The " + field + " box is empty.";
    else if (!number) refusal = "The " + field + " box must hold a whole number.";
    else if (*number == 0 && IsInterval(index)) refusal = "The " + field + " box must be 1 or more: an interval of 0 stops the timer.";
    if (!refusal.empty()) {
      s_.messageBox.Open(refusal + "\r\nNothing was changed.", MsgBoxStyle::Exclamation, RefreshDialogTitle);
      return false;
    }
    value[static_cast<size_t>(index)] = *number;
  }
  SystemSetup& system = s_.system;
  system.RxInterval = value[0];
  s_.timers.Timer1.SetInterval(system.RxInterval);
  system.RxIdle = value[1];
  system.TxInterval = value[2];
  s_.timers.TxTimer.SetInterval(system.TxInterval);
  system.GDIInterval = value[4];
  s_.timers.GDITimer.SetInterval(system.GDIInterval);
  system.GDIIdle = value[5];
  try {
    s_.WriteSystemSetup();
  } catch (const RunTimeError& error) {
    s_.messageBox.Open("The new rates are in use but were not saved.\r\nError " + std::to_string(error.number()) +
                           ": " + error.description(),
                       MsgBoxStyle::Critical, RefreshDialogTitle);
    return false;
  }
  return true;
}

void RefreshDialog::VScroll1_Change(int index, int value) {
  if (index < 0 || index >= RateBoxCount || index == TransmitIdleBox) return;
  const int clamped = std::clamp(value, 0, SpinnerMax);
  const auto i = static_cast<size_t>(index);
  if (controls_.VScroll1[i] == clamped) return;
  controls_.VScroll1[i] = clamped;
  controls_.tVal[i] = std::to_string(clamped);
  render();
}

bool RefreshDialog::tVal_Change(int index, const std::string& text) {
  if (index < 0 || index >= RateBoxCount || index == TransmitIdleBox) return false;
  if (text.size() > BoxMaxLength) return false;
  if (!std::all_of(text.begin(), text.end(), [](char c) { return (c >= '0' && c <= '9') || c == ' '; })) return false;
  SetBox(index, text);
  render();
  return true;
}

void RefreshDialog::Close() {
  s_.owner.EnableButtons();
  controls_.Visible = false;
  render();
}

void RefreshDialog::cmdSimpleClose_Click() {
  Close();
  s_.values.RefreshDialogOpen = false;
  s_.owner.FocusRefreshButton();
}

void RefreshDialog::cmdClose_Click() {
  Close();
  cmdUnAdvanced_Click();
  s_.values.RefreshDialogOpen = false;
  s_.owner.FocusRefreshButton();
}

void RefreshDialog::CloseRequested() {
  if (controls_.Visible) cmdClose_Click();
}

void RefreshDialog::SetlScan(int index, const std::string& caption) {
  controls_.lScan[static_cast<size_t>(index)] = caption;
  render();
}

}  // namespace tarvex
