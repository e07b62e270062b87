#include "ui/refresh/widget/main_window_refresh_dialog.h"

#include <QPushButton>

namespace tarvex {

MainWindowRefreshDialog::MainWindowRefreshDialog(MainWindowRefreshParts parts, MainWindow& window,
                                                 MainWindowWidget& widget)
    : window_(window),
      mainWidget_(widget),
      dialog_(RefreshDialogServices{parts.system, parts.values, parts.timers, std::move(parts.WriteSystemSetup), *this,
                                    parts.messageBox},
              widget_) {
  widget_.Attach(dialog_);
}

void MainWindowRefreshDialog::FocusRefreshButton() {
  mainWidget_.activateWindow();
  if (auto* refresh = mainWidget_.findChild<QPushButton*>(QStringLiteral("cmdRefresh"))) refresh->setFocus();
}

}  // namespace tarvex
