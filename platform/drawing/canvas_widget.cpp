#include "canvas_widget.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWindowStateChangeEvent>

namespace tarvex {

CanvasWidget::CanvasWidget(WindowCanvas& canvas, QWidget* parent) : QWidget(parent), canvas_(canvas) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  resize(canvas_.Image().size());
  canvas_.SetRepaintRequest([this](const QRect& area) { update(area); });
}

CanvasWidget::~CanvasWidget() { canvas_.SetRepaintRequest({}); }

void CanvasWidget::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const QRect area = event->rect();
  painter.fillRect(area, palette().window());
  painter.drawImage(area.topLeft(), canvas_.Image(), area);
}

void CanvasWidget::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  Q_EMIT exposedAnew();
}

void CanvasWidget::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() != QEvent::WindowStateChange) return;
  const auto* change = static_cast<QWindowStateChangeEvent*>(event);
  if ((change->oldState() & Qt::WindowMinimized) && !(windowState() & Qt::WindowMinimized)) Q_EMIT exposedAnew();
}

}  // namespace tarvex
