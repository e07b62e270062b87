#include "ui/detail/widget/operator_window_widget.h"

#include <QCloseEvent>

#include "platform/qt_message_box.h"

namespace tarvex {

OperatorWindowWidget::OperatorWindowWidget(std::function<void()> close, std::function<void()> activate)
    : QWidget(nullptr, Qt::Window | Qt::WindowStaysOnTopHint),
      close_(std::move(close)),
      activate_(std::move(activate)) {}

void OperatorWindowWidget::ShowAsBehaviourSays(bool visible) {
  if (visible && !isVisible()) {
    activatedByShow_ = true;
    show();
    raise();
    activateWindow();
  } else if (!visible && isVisible()) {
    activatedByShow_ = false;
    hide();
  }
}

void OperatorWindowWidget::closeEvent(QCloseEvent* event) {
  // Only hidden, by the window's own Close.
  event->ignore();
  close_();
}

bool OperatorWindowWidget::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate) {
    if (activatedByShow_) {
      activatedByShow_ = false;
    } else if (!ReturnsFromProgramBox(this)) {
      // Only the operator's activation resets the window, not the focus
      // coming back from a box of the program it owned.
      activate_();
    }
  }
  return QWidget::event(event);
}

}  // namespace tarvex
