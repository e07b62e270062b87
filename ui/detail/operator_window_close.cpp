#include "ui/detail/operator_window_close.h"

namespace tarvex {

void CloseOperatorWindow(const OperatorWindowReturn& main, const std::function<void()>& hide) {
  main.EnableButtons();
  for (int channel = 0; channel <= main.startup.MaxChannel; ++channel) main.values.DetailOpen[channel] = false;
  hide();
  main.FocusDetailButton(main.values.SelectedChannel);
}

}  // namespace tarvex
