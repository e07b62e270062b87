#!/usr/bin/env bash
# End while an operator window is open, on a virtual 1024 x 768 X screen with
# a window manager (openbox): the refresh-rate dialog is opened, then the main
# window is ended by its frame's close button and, the next time, by Ctrl+X.
# Each End closes the dialog first: nothing is left over the start-up window,
# and after Continue the main window's buttons work (its End brings the
# start-up window back). Pictures of the steps go to the folder given as the
# second argument (end-*.png).
#
# Without openbox the test is skipped (exit 77) with a message.
set -u
tarvex=$1
shots=${2:-$PWD}
here=$(dirname "$0")
. "$here/../support/script_helpers.sh"
. "$here/window_manager.sh"
refresh="Refresh Rates..."
begin_window_test

start_manager_window
wait_for 100 lines "Tarvex Manager Initialized" 2 || fail "not initialised twice: $(cat "$activity")"

open_refresh_dialog() {
  origin "$main"
  click $((ox + 886)) $((oy + 161))
  wait_for 100 map_state "$refresh" IsViewable || fail "Refresh did not open the dialog"
}

# end_ended_the_dialog <step>: the start-up window is back alone; Continue
# gives a main window whose End works.
end_ended_the_dialog() {
  wait_for 100 on_screen "$startup" || { shot "$1"; fail "$1: no start-up window"; }
  wait_for 100 not_shown "$main" || fail "$1: the main window stayed shown"
  wait_for 100 not_shown "$refresh" || { shot "$1"; fail "$1: the refresh dialog was left over the start-up window"; }
  shot "$1"
  continue_button
  shown_again "$1-continued"
  map_state "$refresh" IsViewable && fail "$1: Continue showed the refresh dialog again"
}

open_refresh_dialog
shot end-1-refresh-dialog-open
python3 "$here/x_window.py" close "$main" || fail "no main window to close"
end_ended_the_dialog end-2-by-the-frame

open_refresh_dialog
python3 "$here/x_window.py" activate "$main" || fail "no main window to activate"
wait_for 100 active "$main" || { shot end-3-not-active; fail "the main window did not get the keyboard"; }
python3 "$here/x_key.py" Control_L x || fail "no keystroke"
end_ended_the_dialog end-3-by-ctrl-x

# The buttons are enabled: End works.
end_button
wait_for 100 on_screen "$startup" || fail "End did nothing after Continue: the buttons stayed disabled"
kill -0 "$running" 2>/dev/null || fail "the program ended: $(cat "$work/out")"
echo "PASS"
