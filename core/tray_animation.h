#pragma once
// The zoom that goes with hiding the main window to its tray icon (mode 1,
// window to tray) and restoring it from there (mode 0, tray to window). Any
// other mode does nothing at all, and without a tray rectangle nothing is
// drawn.
#include <QRect>
#include <cstdint>

#include "platform/tray_zoom/tray_zoom.h"

namespace tarvex {

namespace TrayAnimationMode {
constexpr int32_t Restore = 0;
constexpr int32_t Hide = 1;
}  // namespace TrayAnimationMode

// window: the screen rectangle of the window end of the zoom.
void AnimateTrayWindow(int32_t mode, const QRect& window, TrayZoom& zoom);

}  // namespace tarvex
