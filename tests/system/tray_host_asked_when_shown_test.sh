#!/usr/bin/env bash
# Whether a tray host is there is asked when the tray icon is shown, not at
# start: a desktop panel's StatusNotifier watcher runs from the beginning on
# a private session bus and is asked nothing while the manager starts and
# serves; the tray button asks it, the window goes behind the panel's item,
# and a click on the item brings the window back on screen.
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
start_tray_host

start_manager_window
wait_for 100 lines "Initializing Devices..." 1 || fail "no scan pass: $(cat "$activity")"
asked() { [ "$(count_lines "$work/watcher.out" '^asked host')" -ge 1 ]; }
asked && fail "the manager asked for a tray host at start"

to_tray 1 1
asked || fail "the tray button did not ask for a tray host"
activate_item || fail "the item refused its activation"
shown_again host-asked-restored-by-a-click-on-the-item
kill -0 "$running" 2>/dev/null || fail "the program ended: $(cat "$work/out")"
echo "PASS"
