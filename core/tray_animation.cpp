#include "tray_animation.h"

namespace tarvex {

void AnimateTrayWindow(int32_t mode, const QRect& window, TrayZoom& zoom) {
  if (mode != TrayAnimationMode::Restore && mode != TrayAnimationMode::Hide) return;
  const std::optional<QRect> tray = zoom.TrayIconRect();
  if (!tray) return;
  if (mode == TrayAnimationMode::Hide) zoom.Zoom(window, *tray);
  else zoom.Zoom(*tray, window);
}

}  // namespace tarvex
