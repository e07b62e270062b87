#pragma once
// Whether the windowing system the manager's windows need can be reached.
//
// What it must cope with: the session bus starts the manager with the bus's
// activation environment, which often lacks DISPLAY; Qt then cannot load its
// platform plug-in and aborts (signal 6), and the client sees only error 429.
// The check runs before Qt starts, so the refusal is one clear line instead.
//
// Policy: QT_QPA_PLATFORM names the platforms to try in turn ("wayland;xcb");
// unset, Qt takes xcb, or wayland in a Wayland session, so either display
// will do. xcb needs DISPLAY, wayland needs WAYLAND_DISPLAY; any other
// platform (offscreen, vnc, eglfs, ...) is taken as given.
#include <functional>
#include <string>

namespace tarvex {

// Reads an environment variable; null when unset.
using EnvironmentLookup = std::function<const char*(const char* name)>;

// Empty when a display can be reached; otherwise what is missing and how to
// give it, as one line.
std::string MissingDisplay(const EnvironmentLookup& environment);

}  // namespace tarvex
