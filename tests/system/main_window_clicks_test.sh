#!/usr/bin/env bash
# The real program operated by clicks on a virtual 1024 x 768 X screen: Setup
# of channel 1 disables the main window and opens the setup dialog; Cancel
# gives the window back; Refresh opens the refresh-rate dialog, whose Close
# gives the buttons back; End hides the main window and shows the start-up
# window; Continue brings the main window back, initialised once more. On this
# bare X screen (no tray, no window manager to minimise to) the tray button
# leaves the window and its grid as they are.
set -u
tarvex=$1
work=$(mktemp -d)
running=
trap '[ -n "$running" ] && kill "$running" 2>/dev/null; stop_xvfb; rm -rf "$work"' EXIT
here=$(dirname "$0")
. "$here/../support/script_helpers.sh"

on_x_screen
export TARVEX_HOME=$work/home
mkdir -p "$TARVEX_HOME"
activity="$TARVEX_HOME/ActiveLog-Velmar Orinda Tarvex.txt"

map_state() { xwininfo -name "$1" 2>/dev/null | grep -q "Map State: $2"; }
lines() { [ "$(count_lines "$activity" "^$1 @")" -eq "$2" ]; }

start_xvfb 1024x768
"$tarvex" NOMINIMIZE >"$work/out" 2>&1 &
running=$!
wait_for 300 map_state "Tarvex Manager - Channels" IsViewable || fail "no main window: $(cat "$work/out")"
wait_for 100 lines "Tarvex Manager Initialized" 2 || fail "not initialised twice: $(cat "$activity")"

# The 1024 layout: Setup of channel 1 right of the first row's lamps; the
# setup dialog at the top left with Cancel beside its connection panel; End in
# the main window's top right corner; Continue in the middle of the start-up
# window.
click 886 214
wait_for 100 lines "Tarvex Manager Setup Activated" 1 || fail "Setup did not open: $(cat "$activity")"
wait_for 100 map_state "Tarvex Manager Setup" IsViewable || fail "no setup dialog"
click 729 128
wait_for 100 lines "Tarvex Std. Manager Setup Deactivated" 1 || fail "Cancel did not close: $(cat "$activity")"
wait_for 100 map_state "Tarvex Manager Setup" IsUnMapped || fail "the setup dialog stayed"

click 971 16
click 886 161
wait_for 100 map_state "Refresh Rates..." IsViewable || fail "Refresh did not open its dialog"
# The tray button's click came first and went nowhere.
lines "Tarvex Manager Minimized" 0 || fail "the tray button minimised a window that cannot leave the screen"
dialog=$(xwininfo -name "Refresh Rates...")
click $(($(sed -n 's/.*Absolute upper-left X: *//p' <<<"$dialog") + 216)) \
      $(($(sed -n 's/.*Absolute upper-left Y: *//p' <<<"$dialog") + 75))
wait_for 100 map_state "Refresh Rates..." IsUnMapped || fail "Close left the refresh dialog shown"
click 1000 16
wait_for 100 map_state "Tarvex Manager - Channels" IsUnMapped || fail "End left the main window shown"
wait_for 100 map_state "Tarvex Manager" IsViewable || fail "End did not show the start-up window"
geometry=$(xwininfo -name "Tarvex Manager")
x=$(sed -n 's/.*Absolute upper-left X: *//p' <<<"$geometry")
y=$(sed -n 's/.*Absolute upper-left Y: *//p' <<<"$geometry")
click $((x + 540)) $((y + 290))
wait_for 100 map_state "Tarvex Manager - Channels" IsViewable || fail "Continue did not bring the main window back"
wait_for 100 lines "Tarvex Manager Initialized" 3 || fail "Continue did not initialise once more: $(cat "$activity")"
kill -0 "$running" 2>/dev/null || fail "the program ended: $(cat "$work/out")"
! grep -q "Error" "$TARVEX_MESSAGE_BOXES" 2>/dev/null || fail "an error box: $(cat "$TARVEX_MESSAGE_BOXES")"
echo "PASS"
