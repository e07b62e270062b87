#pragma once
// The zoom drawn on the screen: a frameless outline window that moves and
// grows from one rectangle to the other and then goes away. Input passes
// through it, it takes no focus, and a new zoom replaces one still running.
// The window's shape is its frame alone, so what lies inside stays visible
// also on a desktop without a compositing manager (where a translucent
// window would show black).
#include <QPointer>
#include <QVariantAnimation>
#include <QWidget>
#include <functional>
#include <memory>

#include "platform/tray_zoom/tray_zoom.h"

class QSystemTrayIcon;

namespace tarvex {

class ZoomOutline final : public QWidget {
public:
  ZoomOutline();

protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
};

class QtTrayZoom final : public QObject, public TrayZoom {
  Q_OBJECT
public:
  static constexpr int DurationMs = 250;

  // The tray end is the icon's geometry; an icon that is not shown, or a tray
  // that reports no geometry, gives none.
  explicit QtTrayZoom(const QSystemTrayIcon* icon);
  // The icon as it is at each zoom: one that is made only when first shown.
  explicit QtTrayZoom(std::function<const QSystemTrayIcon*()> icon);

  std::optional<QRect> TrayIconRect() override;
  void Zoom(const QRect& from, const QRect& to) override;

  // The outline while a zoom runs; null otherwise.
  const QWidget* outline() const { return outline_.get(); }

Q_SIGNALS:
  void finished();

private:
  std::function<const QSystemTrayIcon*()> icon_;
  std::unique_ptr<ZoomOutline> outline_;
  QPointer<QVariantAnimation> animation_;
};

}  // namespace tarvex
