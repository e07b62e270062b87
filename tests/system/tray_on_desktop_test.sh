#!/usr/bin/env bash
# The real program on a virtual 1024 x 768 X screen with a private session bus
# on which a StatusNotifier watcher and host run, as a desktop panel offers it.
#
# The tray button hides the main window behind a StatusNotifier item that
# registers with the watcher and carries the tool tip " Velmar-Orinda
# Tarvex"; its context menu's Cancel leaves it so; the item's activation
# (such a host has no double-click) brings the window back without a log
# line, the menu's "Open Tarvex" with one. Refresh opens the refresh-rate dialog;
# its simple and advanced views are saved as pictures (refresh-simple.png,
# refresh-advanced.png) in the folder given as the third argument, for a
# person to look at; its Close gives the main window's buttons back, so End
# then works.
set -u
tarvex=$1
watcher=$2
shots=${3:-$PWD}
work=$(mktemp -d)
running=
bus=
watching=
trap '[ -n "$running" ] && kill "$running" 2>/dev/null; [ -n "$watching" ] && kill "$watching" 2>/dev/null;
      [ -n "$bus" ] && kill "$bus" 2>/dev/null; stop_xvfb; rm -rf "$work"' EXIT
here=$(dirname "$0")
. "$here/../support/script_helpers.sh"

on_x_screen
mkdir -p "$shots"
export TARVEX_HOME=$work/home
mkdir -p "$TARVEX_HOME"
activity="$TARVEX_HOME/ActiveLog-Velmar Orinda Tarvex.txt"

map_state() { xwininfo -name "$1" 2>/dev/null | grep -q "Map State: $2"; }
# Unmapped, or gone: a closed pop-up menu may have no window left.
not_shown() { ! map_state "$1" IsViewable; }
lines() { [ "$(count_lines "$activity" "^$1 @")" -eq "$2" ]; }
origin() {
  local geometry
  geometry=$(xwininfo -name "$1")
  ox=$(sed -n 's/.*Absolute upper-left X: *//p' <<<"$geometry")
  oy=$(sed -n 's/.*Absolute upper-left Y: *//p' <<<"$geometry")
}
# registered <count>: that many registrations of items with the watcher so
# far; the item is the last one, by the name the watcher was given.
registered() {
  [ "$(count_lines "$work/watcher.out" '^registered ')" -ge "$1" ] || return 1
  item=$(sed -n 's/^registered //p' "$work/watcher.out" | tail -n 1)
}
tool_tip() {
  dbus-send --session --print-reply --reply-timeout=2000 --dest="$item" /StatusNotifierItem \
    org.freedesktop.DBus.Properties.Get string:org.kde.StatusNotifierItem string:ToolTip
}

start_xvfb 1024x768

# The private session bus, then the watcher on it.
mkfifo "$work/bus"
dbus-daemon --config-file="$TARVEX_BUILD_DIR/dbus/session-none.conf" --nofork --print-address=3 3>"$work/bus" &
bus=$!
read -r -t 10 address <"$work/bus" || fail "no session bus"
export DBUS_SESSION_BUS_ADDRESS=$address
"$watcher" >"$work/watcher.out" 2>&1 &
watching=$!
wait_for 100 grep -q '^ready' "$work/watcher.out" || fail "no watcher: $(cat "$work/watcher.out")"

"$tarvex" NOMINIMIZE >"$work/out" 2>&1 &
running=$!
wait_for 300 map_state "Tarvex Manager - Channels" IsViewable || fail "no main window: $(cat "$work/out")"
wait_for 100 lines "Tarvex Manager Initialized" 2 || fail "not initialised twice: $(cat "$activity")"
origin "Tarvex Manager - Channels"
main_x=$ox main_y=$oy

# The tray button, left of End in the window's top right corner.
click $((main_x + 972)) $((main_y + 16))
wait_for 100 lines "Tarvex Manager Minimized" 1 || fail "the tray button did nothing: $(cat "$activity")"
wait_for 100 map_state "Tarvex Manager - Channels" IsUnMapped || fail "the window stayed shown"
wait_for 100 registered 1 || fail "no item registered with the watcher: $(cat "$work/watcher.out" "$work/out")"
registered 1
tip=$(tool_tip) || fail "no tool tip of $item: $tip"
grep -q '" Velmar-Orinda Tarvex"' <<<"$tip" || fail "the item's tool tip is not the manager's: $tip"

# The host's request for the context menu pops the tray menu up; Cancel
# leaves the window hidden and the item in place.
context_menu() {
  request_tray_menu "$item"
  origin "Tray Menu"
  menu_height=$(xwininfo -name "Tray Menu" | sed -n 's/.*Height: *//p')
}
context_menu
click $((ox + 30)) $((oy + menu_height - 10))
wait_for 100 not_shown "Tray Menu" || fail "Cancel left the menu open"
map_state "Tarvex Manager - Channels" IsUnMapped || fail "Cancel showed the window"
tool_tip >/dev/null || fail "Cancel removed the item"

# The host's activation of the item restores; no log line for it.
dbus-send --session --print-reply --reply-timeout=2000 --dest="$item" /StatusNotifierItem \
  org.kde.StatusNotifierItem.Activate int32:0 int32:0 >/dev/null || fail "the item refused its activation"
wait_for 100 map_state "Tarvex Manager - Channels" IsViewable || fail "the activation did not restore the window"
lines "Tarvex Manager Maximized" 0 || fail "the activation wrote a log line: $(cat "$activity")"

# Once more to the tray, back by "Open Tarvex", which logs.
click $((main_x + 972)) $((main_y + 16))
wait_for 100 lines "Tarvex Manager Minimized" 2 || fail "the second tray button did nothing: $(cat "$activity")"
wait_for 100 map_state "Tarvex Manager - Channels" IsUnMapped || fail "the window stayed shown"
wait_for 100 registered 2 || fail "the item did not come back: $(cat "$work/watcher.out")"
registered 2
tool_tip >/dev/null || fail "the item has no tool tip"
context_menu
click $((ox + 30)) $((oy + 12))
wait_for 100 map_state "Tarvex Manager - Channels" IsViewable || fail "Open Tarvex did not restore the window"
wait_for 100 lines "Tarvex Manager Maximized" 1 || fail "Open Tarvex wrote no log line: $(cat "$activity")"

# Refresh: the dialog in its simple view, then the advanced one.
click $((main_x + 886)) $((main_y + 161))
wait_for 100 map_state "Refresh Rates..." IsViewable || fail "Refresh did not open the dialog"
origin "Refresh Rates..."
sleep 0.5
import -window root "$shots/refresh-simple.png" || fail "no screenshot"
click $((ox + 84)) $((oy + 75))
# The advanced view is the taller one; its Close is only there once it is.
advanced() { [ "$(xwininfo -name "Refresh Rates..." | sed -n 's/.*Height: *//p')" -gt 200 ]; }
wait_for 100 advanced || fail "Advanced did not open the advanced view"
import -window root "$shots/refresh-advanced.png" || fail "no screenshot"
# The advanced view's Close, bottom right.
click $((ox + 243)) $((oy + 228))
wait_for 100 map_state "Refresh Rates..." IsUnMapped || fail "Close left the dialog shown"

# The buttons work again: End hides the main window.
click $((main_x + 1000)) $((main_y + 16))
wait_for 100 map_state "Tarvex Manager - Channels" IsUnMapped || fail "End did nothing after the dialog's Close"
kill -0 "$running" 2>/dev/null || fail "the program ended: $(cat "$work/out")"
! grep -q "Error" "$TARVEX_MESSAGE_BOXES" 2>/dev/null || fail "an error box: $(cat "$TARVEX_MESSAGE_BOXES")"
echo "PASS"
