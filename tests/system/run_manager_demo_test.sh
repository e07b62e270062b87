#!/usr/bin/env bash
# tools/run-manager.sh on a program folder that does not exist yet, on a
# machine with neither display nor session bus: it makes the demonstration
# folder, starts a virtual screen, a private bus and the scale simulator, and
# within ten seconds the manager's channel 1 (Device 0) answers on that bus,
# described as the simulated scale by the scan's first pass, with a weight
# that moves, and its ActiveX log says the bus is in use. Stopping the script
# ends the manager and everything the script started.
set -u
work=$(mktemp -d)
script=
started=
# shellcheck disable=SC2086 # $started is a list of process ids
# Every wait is bounded: a script or program that does not end is killed.
trap '[ -z "$script" ] || stop_process "$script"; for pid in $started; do stop_process "$pid"; done; rm -rf "$work"' EXIT
. "$(dirname "$0")/../support/script_helpers.sh"

bare_machine
activex="$TARVEX_HOME/ActiveXLog-Velmar Orinda Tarvex.txt"

# With the stop signal at its default even where this test was started with it
# ignored: a shell cannot trap a signal ignored when it started.
env --default-signal=TERM "$TARVEX_SOURCE_DIR/tools/run-manager.sh" >"$work/out" 2>&1 &
script=$!

printed_address() { sed -n 's/.*session bus: DBUS_SESSION_BUS_ADDRESS=//p' "$work/out" | head -n 1; }
device_answers() {
  busctl --timeout=5 --address="$(printed_address)" get-property org.tarvex.Manager /Device/0 org.tarvex.Device1 CGross
}
bus_in_use() { grep -q '^Session Bus In Use: Tarvex Manager Publishes As org.tarvex.Manager @ ' "$activex"; }

wait_for 100 device_answers || fail "Device 0 did not answer on the bus within 10 s: $(cat "$work/out")"
wait_for 100 bus_in_use || fail "the ActiveX log does not say the bus is in use: $(cat "$activex" 2>/dev/null)"
gross=$(device_answers)
[[ $gross == "d "* ]] || fail "CGross reads '$gross'"
# The scan's first pass has initialised channel 1 and published its description.
description() {
  busctl --timeout=5 --address="$(printed_address)" get-property org.tarvex.Manager /Device/0 org.tarvex.Device1 CDeviceDesc
}
described() { [ "$(description)" = 's "Simulated Scale"' ]; }
wait_for 100 described || fail "Device 0 is described as $(description)"
# The simulated scale's weight reaches the bus, and moves.
weighing() { gross=$(device_answers) && [[ $gross == "d "* && $gross != "d 0" ]]; }
wait_for 100 weighing || fail "Device 0 shows no weight within 10 s: CGross reads '$(device_answers)'"
first=$gross
moved() { weighing && [ "$gross" != "$first" ]; }
wait_for 100 moved || fail "the weight on Device 0 stays at '$first'"

grep -q 'DISPLAY=:' "$work/out" || fail "the virtual screen is not named: $(cat "$work/out")"
grep -q 'busctl --address=' "$work/out" || fail "no busctl command printed"
grep -q 'tarvex-host --channel 0' "$work/out" || fail "no tarvex-host command printed"
grep -q '^1,"/dev/pts/' "$TARVEX_HOME/TarvexPorts.Cfg" || fail "COM1 is not the simulator's device"
grep -q '"Simulated Scale"' "$TARVEX_HOME/Tarvex-SCALE1.Cfg" || fail "channel 1 is not the simulated scale"
[ ! -s "$work/boxes.txt" ] || fail "message boxes: $(cat "$work/boxes.txt")"

# The printed tarvex-host command reads the demo channel and returns.
host_command=$(sed -n 's/^run-manager:   DBUS_SESSION/DBUS_SESSION/p' "$work/out")
host_output=$(timeout 20 bash -c "$host_command") || fail "tarvex-host failed: $host_output"
grep -q '^DoUpdate 0$' <<<"$host_output" || fail "tarvex-host did not bind: $host_output"

address=$(printed_address)
# The manager, the virtual screen, the bus and the simulator.
started=$(pgrep -P "$script" | tr '\n' ' ')
[ "$(wc -w <<<"$started")" -eq 4 ] || fail "expected four programs started by the script: $(pgrep -aP "$script")"
kill "$script"
wait_for 100 ended "$script" || fail "the script outlived its stop by 10 s: $(pgrep -aP "$script")"
wait "$script"
script=
busctl --address="$address" list >/dev/null 2>&1 && fail "the private bus outlived the script"
pgrep -f "$TARVEX_HOME" >/dev/null && fail "a program of the demo folder outlived the script: $(pgrep -af "$TARVEX_HOME")"
# Every program the script started ends with it (a zombie that init has not
# reaped yet counts as ended).
for pid in $started; do
  wait_for 20 ended "$pid" || fail "$(ps -o args= -p "$pid") outlived the script"
done
started=
exit 0
