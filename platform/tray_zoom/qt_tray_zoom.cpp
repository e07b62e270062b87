#include "qt_tray_zoom.h"

#include <QPainter>
#include <QSystemTrayIcon>

namespace tarvex {

ZoomOutline::ZoomOutline()
    : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus) {
  setObjectName(QStringLiteral("TrayZoomOutline"));
  setAttribute(Qt::WA_TranslucentBackground);
  setAttribute(Qt::WA_ShowWithoutActivating);
}

void ZoomOutline::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QPen pen(palette().color(QPalette::Highlight));
  pen.setWidth(2);
  painter.setPen(pen);
  painter.drawRect(rect().adjusted(1, 1, -1, -1));
}

QtTrayZoom::QtTrayZoom(const QSystemTrayIcon* icon) : icon_(icon) {}

std::optional<QRect> QtTrayZoom::TrayIconRect() {
  if (!icon_ || !icon_->isVisible()) return std::nullopt;
  const QRect geometry = icon_->geometry();
  if (!geometry.isValid() || geometry.isEmpty()) return std::nullopt;
  return geometry;
}

void QtTrayZoom::Zoom(const QRect& from, const QRect& to) {
  if (animation_) animation_->stop();
  if (!outline_) outline_ = std::make_unique<ZoomOutline>();
  outline_->setGeometry(from);
  outline_->show();

  auto* animation = new QVariantAnimation(this);
  animation_ = animation;
  animation->setDuration(DurationMs);
  animation->setStartValue(from);
  animation->setEndValue(to);
  animation->setEasingCurve(QEasingCurve::InOutQuad);
  connect(animation, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
    if (outline_) outline_->setGeometry(value.toRect());
  });
  connect(animation, &QVariantAnimation::finished, this, [this, animation] {
    if (animation_ == animation) outline_.reset();
    Q_EMIT finished();
  });
  animation->start(QAbstractAnimation::DeleteWhenStopped);
}

}  // namespace tarvex
