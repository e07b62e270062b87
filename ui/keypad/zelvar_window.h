#pragma once
// The virtual terminal keypad ZELVAR: a drawn front panel of a weighing
// terminal whose keys, and the PC keys typed on its display Picture1, become
// key codes sent to the terminal node chosen in the window (Z1 to Z6).
//
// A PC key is two events: its key-down, looked up by key code in the PC key
// table (the shift state is not looked at), and the character it produces,
// sent unchanged; a key with both sends the key-down code first. The node and
// the keystroke mode belong to the sending module, so they outlive Close.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/form.h"
#include "ui/detail/operator_window_close.h"
#include "ui/keypad/zel_api32.h"

namespace tarvex {

struct DrawnKey {
  std::string_view control;
  std::string_view caption;
  int16_t code;
};

// The drawn keys in the order of the panel: digits, ".", SP, function keys.
extern const std::array<DrawnKey, 20> DrawnKeys;

// The code a PC key's key-down sends (key codes of the original platform:
// F1 112 to F12 123, Esc 27, Enter 13, Backspace 8); none for other keys.
std::optional<int16_t> PcKeyDownCode(int keyCode);
inline constexpr int BackspaceKeyCode = 8;

struct ZelvarControls {
  bool Visible = false;
  std::string Caption;
  // Option1(0..5), "Z1" to "Z6": which is chosen.
  std::array<bool, 6> Option1{};
  int Left = 0;
  int Top = 0;

  bool operator==(const ZelvarControls&) const = default;
};

class ZelvarView {
public:
  virtual ~ZelvarView() = default;
  virtual void Render(const ZelvarControls& controls) = 0;
  // The keyboard focus on the display Picture1.
  virtual void FocusDisplay() = 0;
  virtual int ScreenWidth() const = 0;
  virtual int ScreenHeight() const = 0;
  virtual int WindowWidth() const = 0;
  virtual int WindowHeight() const = 0;
};

class ZelvarWindow final : public Form {
public:
  ZelvarWindow(ZelApi32& api, OperatorWindowReturn main) : api_(api), main_(std::move(main)) {}

  void AttachView(ZelvarView* view) { view_ = view; }

  std::string Name() const override { return "ZELVAR"; }
  // Shown by the main window's Detail button: loaded on first use, then
  // activated; the display has the focus.
  void Show();
  // Centred on the screen, shown, the display focused.
  void Form_Load() override;
  void Form_Activate();
  // At the program's end: the registration is closed, the result stored.
  void Form_Unload() override;
  void cmdClose_Click();

  void Option1_Click(int index);
  // A click on a drawn key, by its control name ("Key_7", "Label22").
  void Key_Click(std::string_view control);
  void Picture1_KeyDown(int keyCode, int shift);
  void Picture1_KeyPress(int characterCode);

  const ZelvarControls& Controls() const noexcept { return controls_; }

private:
  void Send(int16_t code);
  void render();

  ZelApi32& api_;
  OperatorWindowReturn main_;
  ZelvarView* view_ = nullptr;
  ZelvarControls controls_;
  bool loaded_ = false;
  int16_t KeyValue = 0;
};

}  // namespace tarvex
