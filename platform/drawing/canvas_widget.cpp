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

// Each rectangle of the region is painted on its own: a tick that changes a
// few cells in many rows asks for a region of small rectangles, and painting
// its bounding rectangle instead would copy most of the window (and spread
// the copy over the paint engine's worker threads) to change a few cells.
// The window's colour is painted only where the canvas does not reach.
void CanvasWidget::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const QImage& image = canvas_.Image();
  for (const QRect& area : event->region()) {
    const QRect covered = area.intersected(image.rect());
    if (covered != area) painter.fillRect(area, palette().window());
    if (covered.isEmpty()) continue;
    if (image.depth() != 32) {
      painter.drawImage(covered.topLeft(), image, covered);
      continue;
    }
    // The rectangle's pixels read in place, without a copy or a conversion.
    const QImage piece(image.constScanLine(covered.y()) + static_cast<qsizetype>(covered.x()) * 4, covered.width(),
                       covered.height(), image.bytesPerLine(), image.format());
    painter.drawImage(covered.topLeft(), piece);
  }
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
