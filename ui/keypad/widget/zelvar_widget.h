#pragma once
// ZELVAR on the screen: the drawn front panel of the terminal (its display
// Picture1, the brand name, the clickable key labels under their control
// names), the frame "Zelvar Node" with Z1 to Z6 and the Close button, centred
// and above all other windows. Keys typed while Picture1 has the focus reach
// the keypad as key-down (the original platform's key codes) and then as the
// character they produce. Close, the frame's close and the activations as
// OperatorWindowWidget says.
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <array>

#include "ui/detail/widget/operator_window_widget.h"
#include "ui/keypad/zelvar_window.h"

namespace tarvex {

// The original platform's key code of a Qt key, for the keys the keypad
// knows (function keys, Esc, Enter, Backspace); 0 for others.
int PlatformKeyCode(int qtKey);

class ZelvarDisplay;

class ZelvarWidget final : public OperatorWindowWidget, public ZelvarView {
  Q_OBJECT
public:
  explicit ZelvarWidget(ZelvarWindow& window);

  void Render(const ZelvarControls& controls) override;
  void FocusDisplay() override;
  int ScreenWidth() const override;
  int ScreenHeight() const override;
  int WindowWidth() const override { return width(); }
  int WindowHeight() const override { return height(); }

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  ZelvarWindow& window_;
  ZelvarDisplay* Picture1_;
  std::array<QRadioButton*, 6> Option1_{};
  QPushButton* cmdClose_;
  // The drawn key the left button went down on, until it comes up.
  QWidget* pressedKey_ = nullptr;
};

}  // namespace tarvex
