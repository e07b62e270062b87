#include "platform/tray/window_manager.h"

#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QWidget>
#include <array>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

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

// The ICCCM WM_HINTS record: flags, input, initial state, then pixmaps and
// the group, nine 32-bit words in all; the state hint is flag bit 1.
constexpr uint32_t StateHintFlag = 1u << 1;
constexpr uint32_t NormalState = 1;
constexpr uint32_t WmHintsWords = 9;

void SetNormalStartState(xcb_connection_t* connection, xcb_window_t window) {
  std::array<uint32_t, WmHintsWords> hints{};
  const auto cookie = xcb_get_property(connection, 0, window, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 0, WmHintsWords);
  xcb_get_property_reply_t* reply = xcb_get_property_reply(connection, cookie, nullptr);
  if (reply && reply->format == 32) {
    const auto words = std::min<uint32_t>(static_cast<uint32_t>(xcb_get_property_value_length(reply)) / 4, WmHintsWords);
    std::memcpy(hints.data(), xcb_get_property_value(reply), words * 4);
  }
  std::free(reply);
  hints[0] |= StateHintFlag;
  hints[2] = NormalState;
  xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 32,
                      WmHintsWords, hints.data());
  xcb_flush(connection);
}

// The screen the program's windows are on: the one $DISPLAY names (":0.1"
// is screen 1), 0 when it names none.
int DefaultScreenNumber() {
  const char* display = std::getenv("DISPLAY");
  const char* dot = display ? std::strrchr(display, '.') : nullptr;
  const char* colon = display ? std::strrchr(display, ':') : nullptr;
  if (!dot || !colon || dot < colon) return 0;
  return std::atoi(dot + 1);
}

}  // namespace

void ShowNormalOnNextMap(QWidget& window) {
  if (window.windowState() & Qt::WindowMinimized) window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  // Only a window that is not mapped: the hint speaks of the next map.
  if (!x11 || !x11->connection() || !window.testAttribute(Qt::WA_WState_Created) || window.isVisible()) return;
  SetNormalStartState(x11->connection(), static_cast<xcb_window_t>(window.winId()));
}

bool XEmbedTrayPresent() {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  if (!x11 || !x11->connection()) return false;
  xcb_connection_t* connection = x11->connection();
  const std::string name = "_NET_SYSTEM_TRAY_S" + std::to_string(DefaultScreenNumber());
  const xcb_atom_t selection = Atom(connection, name.c_str());
  if (selection == XCB_ATOM_NONE) return false;
  xcb_get_selection_owner_reply_t* owner =
      xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, selection), nullptr);
  const bool owned = owner && owner->owner != XCB_WINDOW_NONE;
  std::free(owner);
  return owned;
}

bool WindowManagerMinimizes() {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  if (!x11 || !x11->connection()) return true;
  return X11HasWindowManager(x11->connection());
}

}  // namespace tarvex
