# Helpers of the window tests on a virtual X screen with a window manager and
# a tray. Source it after script_helpers.sh, with $here and $shots set, then
# call begin_window_test; never run it.

# begin_window_test: a scratch folder ($work) with the program folder
# ($TARVEX_HOME, its activity log $activity), a virtual 1024 x 768 X screen
# and openbox on it. Without openbox the test is skipped (exit 77) with a
# message. Whatever the test starts in $running, $bus, $watching and $wm is
# ended when it exits.
begin_window_test() {
  work=$(mktemp -d)
  running=
  bus=
  watching=
  wm=
  trap end_window_test EXIT
  on_x_screen
  mkdir -p "$shots"
  export TARVEX_HOME=$work/home
  mkdir -p "$TARVEX_HOME"
  activity="$TARVEX_HOME/ActiveLog-Velmar Orinda Tarvex.txt"
  start_xvfb 1024x768
  start_window_manager || { echo "SKIPPED: $wm_problem" >&2; exit 77; }
}
# start_manager_window: the manager started with NOMINIMIZE ($running), its
# output in $work/out, once its main window is on screen.
start_manager_window() {
  "$tarvex" NOMINIMIZE >"$work/out" 2>&1 &
  running=$!
  wait_for 300 on_screen "$main" || fail "no main window: $(cat "$work/out")"
}
end_window_test() {
  local pid
  for pid in "$running" "$watching" "$wm" "$bus"; do [ -z "$pid" ] || kill "$pid" 2>/dev/null; done
  stop_xvfb
  rm -rf "$work"
}

# start_session_bus: a private session bus of the test's own.
start_session_bus() {
  mkfifo "$work/bus"
  dbus-daemon --config-file="$TARVEX_BUILD_DIR/dbus/session-none.conf" --nofork --print-address=3 3>"$work/bus" &
  bus=$!
  read -r -t 10 address <"$work/bus" || fail "no session bus"
  export DBUS_SESSION_BUS_ADDRESS=$address
}

# start_tray_host: a StatusNotifier watcher and host on the session bus, as a
# desktop panel offers them; its log is $work/watcher.out.
start_tray_host() {
  "$watcher" >"$work/watcher.out" 2>&1 &
  watching=$!
  wait_for 100 grep -q '^ready' "$work/watcher.out" || fail "no watcher: $(cat "$work/watcher.out")"
}

main="Tarvex Manager - Channels"
startup="Tarvex Manager"

window_state() { python3 "$here/x_window.py" state "$1" 2>/dev/null || echo gone; }
map_state() { xwininfo -name "$1" 2>/dev/null | grep -q "Map State: $2"; }
on_screen() { map_state "$1" IsViewable && [ "$(window_state "$1")" = Normal ]; }
iconic() { [ "$(window_state "$1")" = Iconic ]; }
not_shown() { ! map_state "$1" IsViewable; }
# active <name>: the window manager names that window the active one (the one
# that has the keyboard).
active() {
  local id
  id=$(xwininfo -name "$1" 2>/dev/null | sed -n 's/.*Window id: \(0x[0-9a-f]*\).*/\1/p')
  [ -n "$id" ] && [ "$(xprop -root _NET_ACTIVE_WINDOW 2>/dev/null | sed -n 's/.*# *\(0x[0-9a-f]*\).*/\1/p')" = "$id" ]
}
lines() { [ "$(count_lines "$activity" "^$1 @")" -eq "$2" ]; }
origin() {
  local geometry
  geometry=$(xwininfo -name "$1")
  ox=$(sed -n 's/.*Absolute upper-left X: *//p' <<<"$geometry")
  oy=$(sed -n 's/.*Absolute upper-left Y: *//p' <<<"$geometry")
}
shot() { import -window root "$shots/step-$1.png" 2>/dev/null || echo "note: no picture of $1" >&2; }

# The main window's tray and End buttons in its top right corner, and the
# start-up window's Continue, in the 1024 layout.
tray_button() { origin "$main"; click $((ox + 972)) $((oy + 16)); }
end_button() { origin "$main"; click $((ox + 1000)) $((oy + 16)); }
continue_button() { origin "$startup"; click $((ox + 540)) $((oy + 290)); }

# registered <count>: that many registrations of items with the watcher so
# far; the item is the last one, by the name the watcher was given.
registered() {
  [ "$(count_lines "$work/watcher.out" '^registered ')" -ge "$1" ] || return 1
  item=$(sed -n 's/^registered //p' "$work/watcher.out" | tail -n 1)
}
activate_item() {
  dbus-send --session --print-reply --reply-timeout=2000 --dest="$item" /StatusNotifierItem \
    org.kde.StatusNotifierItem.Activate int32:0 int32:0 >/dev/null
}
# The tray menu by the host's request; its first entry is "Open Tarvex".
open_tarvex_from_menu() {
  request_tray_menu "$item"
  origin "Tray Menu"
  click $((ox + 30)) $((oy + 12))
}

# shown_again <step>: the main window is viewable in its normal state; a
# picture of the screen either way.
shown_again() {
  wait_for 100 on_screen "$main" || { shot "$1"; fail "$1: the window is $(window_state "$main"), not on screen"; }
  shot "$1"
}

# wm_minimise_and_restore <step>: the window manager minimises the window,
# then restores and activates it, as a task bar does.
wm_minimise_and_restore() {
  python3 "$here/x_window.py" iconify "$main" || fail "no window to minimise"
  wait_for 100 iconic "$main" || fail "the window manager did not minimise the window: $(window_state "$main")"
  python3 "$here/x_window.py" activate "$main" || fail "no window to restore"
  shown_again "$1"
}

# to_tray <minimised lines> <items registered>: the tray button hides the
# window behind the panel's item.
to_tray() {
  tray_button
  wait_for 100 lines "Tarvex Manager Minimized" "$1" || fail "the tray button did nothing: $(cat "$activity")"
  wait_for 100 registered "$2" || fail "no item registered with the watcher: $(cat "$work/watcher.out")"
  wait_for 100 not_shown "$main" || fail "the window stayed shown: $(window_state "$main")"
}

# end_and_continue <ended step> <continued step>: End brings the start-up
# window back, its Continue the main window.
end_and_continue() {
  end_button
  wait_for 100 on_screen "$startup" || fail "End did not bring the start-up window back"
  wait_for 100 not_shown "$main" || fail "End left the main window shown"
  shot "$1"
  continue_button
  shown_again "$2"
}
