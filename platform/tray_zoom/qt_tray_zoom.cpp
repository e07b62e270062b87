#include "qt_tray_zoom.h"

#include <QPainter>
#include <QRegion>
#include <QResizeEvent>
#include <QSystemTrayIcon>

namespace tarvex {

namespace {
constexpr int FrameWidth = 2;
}  // namespace

ZoomOutline::ZoomOutline()
    : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus) {
  setObjectName(QStringLiteral("TrayZoomOutline"));
  setAttribute(Qt::WA_ShowWithoutActivating);
}

void ZoomOutline::paintEvent(QPaintEvent*) {
  // The mask leaves only the frame of the window; fill all of it.
  QPainter painter(this);
  painter.fillRect(rect(), palette().color(QPalette::Highlight));
}

void ZoomOutline::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  const QRect whole(QPoint(0, 0), event->size());
  setMask(QRegion(whole).subtracted(QRegion(whole.adjusted(FrameWidth, FrameWidth, -FrameWidth, -FrameWidth))));
}

QtTrayZoom::QtTrayZoom(const QSystemTrayIcon* icon)
    : QtTrayZoom([guarded = QPointer<const QSystemTrayIcon>(icon)] { return guarded.data(); }) {}

QtTrayZoom::QtTrayZoom(std::function<const QSystemTrayIcon*()> icon) : icon_(std::move(icon)) {}

std::optional<QRect> QtTrayZoom::TrayIconRect() {
  const QSystemTrayIcon* icon = icon_ ? icon_() : nullptr;
  if (!icon || !icon->isVisible()) return std::nullopt;
  const QRect geometry = icon->geometry();
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
