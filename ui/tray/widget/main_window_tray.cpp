#include "ui/tray/widget/main_window_tray.h"

#include <QCoreApplication>
#include <QCursor>
#include <QWindowStateChangeEvent>

#include "platform/tray/window_manager.h"

namespace tarvex {

MainWindowTray::MainWindowTray(MainWindowTrayParts parts, MainWindow& window, MainWindowWidget& widget)
    : window_(window), widget_(widget) {
  icon_ = std::make_unique<TrayIcon>(
      TrayIconServices{parts.startup, parts.values, parts.gridState, parts.log, area_, zoom_, *this});
  menu_.setObjectName(QStringLiteral("mnuPopUp"));
  menu_.setTitle(QStringLiteral("Tray Menu"));
  menu_.setWindowTitle(menu_.title());
  QAction* restore = menu_.addAction(QStringLiteral("Open Tarvex"));
  restore->setObjectName(QStringLiteral("mnuRestore"));
  menu_.addSeparator()->setObjectName(QStringLiteral("mnuSpacer"));
  menu_.addAction(QStringLiteral("Cancel"))->setObjectName(QStringLiteral("mnuCancel"));
  connect(restore, &QAction::triggered, this, [this] { icon_->mnuRestore_Click(); });
  widget_.installEventFilter(this);
  widget_.setWindowIcon(TrayPictureIcon(TrayPicture::Idle));
}

MainWindowTray::~MainWindowTray() { widget_.removeEventFilter(this); }

QRect MainWindowTray::ScreenRect() const { return widget_.frameGeometry(); }

void MainWindowTray::Hide() { window_.Hide(); }

void MainWindowTray::Minimize() { widget_.showMinimized(); }

bool MainWindowTray::CanMinimize() const { return WindowManagerMinimizes(); }

void MainWindowTray::Show() {
  window_.Show();
  if (widget_.isMinimized()) widget_.showNormal();
  widget_.raise();
  widget_.activateWindow();
}

void MainWindowTray::ProcessEvents() { QCoreApplication::processEvents(); }

void MainWindowTray::SetIcon(TrayPicture picture) { widget_.setWindowIcon(TrayPictureIcon(picture)); }

void MainWindowTray::PopUpMenu() { menu_.popup(QCursor::pos()); }

bool MainWindowTray::eventFilter(QObject* watched, QEvent* event) {
  if (watched == &widget_ && event->type() == QEvent::WindowStateChange) {
    const auto* change = static_cast<const QWindowStateChangeEvent*>(event);
    if ((change->oldState() & Qt::WindowMinimized) && !widget_.isMinimized()) icon_->WindowRestored();
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace tarvex
