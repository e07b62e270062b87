#include "ui/keypad/zelvar_window.h"

namespace tarvex {

const std::array<DrawnKey, 20> DrawnKeys = {{
    {"Key_0", "0", 48},     {"Key_1", "1", 49}, {"Key_2", "2", 50},  {"Key_3", "3", 51},
    {"Key_4", "4", 52},     {"Key_5", "5", 53}, {"Key_6", "6", 54},  {"Key_7", "7", 55},
    {"Key_8", "8", 56},     {"Key_9", "9", 57}, {"Label22", ".", 46}, {"Key_SPC", "SP", 32},
    {"Key_F", "F", 1},      {"Key_ESC", "ESC", 2}, {"Key_M", "M", 3}, {"Key_T", "->T<-", 4},
    {"Key_S", "S", 5},      {"Key_C", "C", 6},  {"Key_Z", "->0<-", 7}, {"Key_E", "    <->", 8},
}};

std::optional<int16_t> PcKeyDownCode(int keyCode) {
  static constexpr std::array<int16_t, 12> FunctionKeys = {19, 20, 21, 22, 7, 1, 5, 6, 4, 3, 23, 24};
  if (keyCode >= 112 && keyCode <= 123) return FunctionKeys[static_cast<size_t>(keyCode - 112)];
  switch (keyCode) {
    case 27: return 2;
    case 13: return 8;
    case BackspaceKeyCode: return 6;
    default: return std::nullopt;
  }
}

void ZelvarWindow::Show() {
  if (!loaded_) Form_Load();
  controls_.Visible = true;
  Form_Activate();
  if (view_) view_->FocusDisplay();
}

void ZelvarWindow::Form_Load() {
  loaded_ = true;
  if (view_) {
    controls_.Left = (view_->ScreenWidth() - view_->WindowWidth()) / 2;
    controls_.Top = (view_->ScreenHeight() - view_->WindowHeight()) / 2;
  }
  controls_.Visible = true;
  render();
  if (view_) view_->FocusDisplay();
}

void ZelvarWindow::Form_Activate() {
  controls_.Caption =
      " Tarvex Channel " + std::to_string(main_.values.SelectedChannel + 1) + "  Virtual Zelvar...";
  render();
}

void ZelvarWindow::Form_Unload() { api_.ZelCloseProcess(); }

void ZelvarWindow::cmdClose_Click() {
  CloseOperatorWindow(main_, [this] {
    controls_.Visible = false;
    render();
  });
}

void ZelvarWindow::Option1_Click(int index) {
  if (index < 0 || index >= static_cast<int>(controls_.Option1.size())) return;
  api_.Values().VirtualNode = static_cast<char>('1' + index);
  controls_.Option1.fill(false);
  controls_.Option1[static_cast<size_t>(index)] = true;
  render();
  if (view_) view_->FocusDisplay();
}

void ZelvarWindow::Key_Click(std::string_view control) {
  for (const DrawnKey& key : DrawnKeys) {
    if (key.control == control) {
      Send(key.code);
      return;
    }
  }
}

void ZelvarWindow::Picture1_KeyDown(int keyCode, int) {
  const std::optional<int16_t> code = PcKeyDownCode(keyCode);
  if (!code) return;
  if (keyCode == BackspaceKeyCode) api_.Values().KeystrokeMode = 1;
  Send(*code);
}

void ZelvarWindow::Picture1_KeyPress(int characterCode) { Send(static_cast<int16_t>(characterCode)); }

void ZelvarWindow::Send(int16_t code) {
  KeyValue = code;
  if (api_.SendTerminalKey(KeyValue) && view_) view_->FocusDisplay();
}

void ZelvarWindow::render() {
  if (view_) view_->Render(controls_);
}

}  // namespace tarvex
