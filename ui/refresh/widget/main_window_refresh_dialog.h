#pragma once
// The refresh-rate dialog of the real main window: its widget, its behaviour,
// and the main window's buttons given back (and Refresh focused) on Close.
#include "ui/main_window/widget/main_window_widget.h"
#include "ui/refresh/refresh_dialog.h"
#include "ui/refresh/widget/refresh_dialog_widget.h"

namespace tarvex {

struct MainWindowRefreshParts {
  SystemSetup& system;
  MainWindowValues& values;
  MainWindowTimers timers;
  std::function<void()> WriteSystemSetup;
  MessageBox& messageBox;
};

class MainWindowRefreshDialog final : public RefreshDialogOwner {
public:
  MainWindowRefreshDialog(MainWindowRefreshParts parts, MainWindow& window, MainWindowWidget& widget);

  RefreshDialog& Dialog() { return dialog_; }
  RefreshDialogWidget& Widget() { return widget_; }

  // RefreshDialogOwner.
  void EnableButtons() override { window_.EnableButtons(); }
  void FocusRefreshButton() override;

private:
  MainWindow& window_;
  MainWindowWidget& mainWidget_;
  RefreshDialogWidget widget_;
  RefreshDialog dialog_;
};

}  // namespace tarvex
