#include "platform/tray/window_manager.h"

#include <xcb/xcb.h>

#include <QGuiApplication>
#include <cstdlib>
#include <cstring>

namespace tarvex {

namespace {

xcb_atom_t Atom(xcb_connection_t* connection, const char* name) {
  const auto cookie = xcb_intern_atom(connection, 1, static_cast<uint16_t>(std::strlen(name)), name);
  xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
  const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
  std::free(reply);
  return atom;
}

// A window manager of the freedesktop conventions names its check window in
// _NET_SUPPORTING_WM_CHECK of the root window; older ones at least select
// substructure redirection on the root, which only one client may hold.
bool X11HasWindowManager(xcb_connection_t* connection) {
  const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
  if (!screen) return false;
  const xcb_atom_t check = Atom(connection, "_NET_SUPPORTING_WM_CHECK");
  if (check != XCB_ATOM_NONE) {
    const auto cookie = xcb_get_property(connection, 0, screen->root, check, XCB_ATOM_WINDOW, 0, 1);
    xcb_get_property_reply_t* reply = xcb_get_property_reply(connection, cookie, nullptr);
    const bool named = reply && xcb_get_property_value_length(reply) > 0;
    std::free(reply);
    if (named) return true;
  }
  const auto cookie = xcb_get_window_attributes(connection, screen->root);
  xcb_get_window_attributes_reply_t* attributes = xcb_get_window_attributes_reply(connection, cookie, nullptr);
  const bool redirected = attributes && (attributes->all_event_masks & XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT);
  std::free(attributes);
  return redirected;
}

}  // namespace

bool WindowManagerMinimizes() {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  if (!x11 || !x11->connection()) return true;
  return X11HasWindowManager(x11->connection());
}

}  // namespace tarvex
