#!/usr/bin/env bash
# The real program on a virtual 1024 x 768 X screen with a window manager
# (openbox), used as an operator would, with a desktop panel that starts
# after the manager (a StatusNotifier watcher and host on a private session
# bus). Before the panel is there the tray button minimises the window to
# the task bar; the window manager restores it; End and Continue. Then the
# panel starts: the tray button puts the window behind the panel's item, a
# click on the item and the tray menu's "Open Tarvex" bring it back; End and
# Continue once more. The window manager also minimises and restores the
# window by itself. After every restore and every Continue the window is on
# screen in its normal state, not mapped as an icon.
# A picture of each step is saved in the folder given as the third argument
# (step-*.png), for a person to look at.
#
# Without openbox the test is skipped (exit 77) with a message.
set -u
tarvex=$1
watcher=$2
shots=${3:-$PWD}
here=$(dirname "$0")
. "$here/../support/script_helpers.sh"
. "$here/window_manager.sh"
begin_window_test
start_session_bus

start_manager_window
wait_for 100 lines "Tarvex Manager Initialized" 2 || fail "not initialised twice: $(cat "$activity")"
shot 01-started

# The window manager minimises the window and restores it.
wm_minimise_and_restore 02-restored-by-the-window-manager

# No panel yet: the tray button minimises the window to the task bar; the
# window manager restores it.
tray_button
wait_for 100 lines "Tarvex Manager Minimized" 1 || fail "the tray button did nothing: $(cat "$activity")"
wait_for 100 iconic "$main" || fail "without a tray the window was not minimised: $(window_state "$main")"
shot 03-minimised-without-a-tray
python3 "$here/x_window.py" activate "$main" || fail "no window to restore"
shown_again 04-restored-by-the-window-manager
end_and_continue 05-ended 06-continued

# The panel starts: the tray button now hides the window behind its item.
start_tray_host
to_tray 2 1
shot 07-in-the-tray
activate_item || fail "the item refused its activation"
shown_again 08-restored-by-a-click-on-the-item
wm_minimise_and_restore 09-restored-by-the-window-manager-again
to_tray 3 2
open_tarvex_from_menu
wait_for 100 lines "Tarvex Manager Maximized" 1 || fail "Open Tarvex wrote no log line: $(cat "$activity")"
shown_again 10-restored-by-open-tarvex
end_and_continue 11-ended 12-continued

kill -0 "$running" 2>/dev/null || fail "the program ended: $(cat "$work/out")"
! grep -q "Error" "$TARVEX_MESSAGE_BOXES" 2>/dev/null || fail "an error box: $(cat "$TARVEX_MESSAGE_BOXES")"
echo "PASS"
