#pragma once
// Whether the desktop takes a minimised window off the screen. On X11 that
// is the window manager's work: a bare X server (a virtual screen, a kiosk
// without a window manager) leaves a "minimised" window where it was, so the
// program must not act as if it were gone. Other window systems minimise
// themselves.
namespace tarvex {

bool WindowManagerMinimizes();

}  // namespace tarvex
