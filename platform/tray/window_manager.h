#pragma once
// Whether the desktop takes a minimised window off the screen. On X11 that
// is the window manager's work: a bare X server (a virtual screen, a kiosk
// without a window manager) leaves a "minimised" window where it was, so the
// program must not act as if it were gone. Other window systems minimise
// themselves.
class QWidget;

namespace tarvex {

bool WindowManagerMinimizes();

// Makes the next show of a hidden top-level window put it on screen in its
// normal state. A window the program minimised carries the X hint "start
// iconic" (WM_HINTS initial state); when the window manager restores it, the
// toolkit does not take the hint back, so every later map of the window
// (after it was hidden to the tray or by End) made it an icon again, and
// nothing of the program was on screen. The hint is set to the normal state
// and the toolkit's own state loses its minimised flag. Call it before the
// window is shown; on other window systems only the toolkit's state changes.
void ShowNormalOnNextMap(QWidget& window);

// An XEmbed tray (the owner of the X selection _NET_SYSTEM_TRAY_S<screen>)
// is on the screen; false on other window systems.
bool XEmbedTrayPresent();

}  // namespace tarvex
