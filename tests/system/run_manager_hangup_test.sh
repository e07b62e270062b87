#!/usr/bin/env bash
# tools/run-manager.sh on a machine with a display: the manager uses that
# display (no virtual screen of its own), and a hang-up of the script (its
# terminal closed) ends the manager too, which the display alone would not.
# Started again on the demonstration folder, the manager keeps its grid in
# view as the first time.
set -u
work=$(mktemp -d)
script=
manager=
# Every wait is bounded: a script or manager that does not end is killed.
cleanup() {
  [ -z "$manager" ] || stop_process "$manager"
  [ -z "$script" ] || stop_process "$script"
  stop_xvfb
  rm -rf "$work"
}
trap cleanup EXIT
. "$(dirname "$0")/../support/script_helpers.sh"

bare_machine
start_xvfb 1024x768

# The script starts as from a terminal, with the hang-up signal at its default
# even when this test runs where hang-ups are ignored (nohup, a background job
# runner): a shell cannot trap a signal ignored when it started.
start_script() { env --default-signal=HUP "$TARVEX_SOURCE_DIR/tools/run-manager.sh" >"$work/out" 2>&1 & }

start_script
script=$!

printed_address() { sed -n 's/.*session bus: DBUS_SESSION_BUS_ADDRESS=//p' "$work/out" | head -n 1; }
device_answers() {
  busctl --timeout=5 --address="$(printed_address)" get-property org.tarvex.Manager /Device/0 org.tarvex.Device1 CGross
}
wait_for 100 device_answers || fail "Device 0 did not answer on the bus within 10 s: $(cat "$work/out")"
grep -q 'virtual X screen' "$work/out" && fail "a virtual screen was started beside the display: $(cat "$work/out")"
manager=$(pgrep -P "$script" -x tarvex) || fail "no manager started by the script: $(pgrep -aP "$script")"

kill -HUP "$script"
wait_for 100 ended "$script" || fail "the script outlived its hang-up by 10 s: $(pgrep -aP "$script")"
wait "$script"
script=
wait_for 20 ended "$manager" || fail "the manager outlived the script's hang-up"
manager=

# A later start on the demonstration folder shows the grid again.
: >"$work/out"
start_script
script=$!
wait_for 100 device_answers || fail "again: Device 0 did not answer on the bus within 10 s: $(cat "$work/out")"
manager=$(pgrep -P "$script" -x tarvex) || fail "again: no manager started by the script"
[ "$(ps -o args= -p "$manager")" = "$TARVEX_BUILD_DIR/bin/tarvex NOMINIMIZE" ] ||
  fail "again: the manager runs as $(ps -o args= -p "$manager")"
exit 0
