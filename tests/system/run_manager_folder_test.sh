#!/usr/bin/env bash
# tools/run-manager.sh on a demonstration folder the operator has added to,
# on a machine with neither display nor session bus. A second start while
# the manager runs there says so, ends with a failure and changes nothing in
# the folder (the running manager's port map stays). After the manager ends,
# a new start points the simulator's port at its new device and keeps every
# line the operator added to TarvexPorts.Cfg, with CR LF line ends.
set -u
work=$(mktemp -d)
script=
trap '[ -z "$script" ] || stop_process "$script"; [ -z "${holder:-}" ] || kill "$holder" 2>/dev/null; rm -rf "$work"' EXIT
. "$(dirname "$0")/../support/script_helpers.sh"

bare_machine
ports=$TARVEX_HOME/TarvexPorts.Cfg
run_manager=$TARVEX_SOURCE_DIR/tools/run-manager.sh

# start_manager <output>: the script in the background, until the manager runs.
start_manager() {
  env --default-signal=TERM "$run_manager" >"$1" 2>&1 &
  script=$!
  running() { pgrep -P "$script" -x tarvex >/dev/null && [ -f "$TARVEX_HOME/TarvexManager.lock" ]; }
  wait_for 150 running || fail "no manager started: $(cat "$1")"
}
stop_manager() {
  stop_process "$script" 100
  script=
}
simulator_line() { grep -c '^1,"/dev/pts/[0-9]*"'$'\r''$' "$ports"; }

start_manager "$work/first.out"
wait_for 100 [ -f "$ports" ] || fail "no port map: $(cat "$work/first.out")"
wait_for 50 [ "$(simulator_line)" -eq 1 ] || fail "COM1 is not the simulator's device: $(cat -A "$ports")"
stop_manager

# The operator adds two ports of their own, one before the simulator's line.
{ printf '3,"/dev/ttyUSB0"\r\n'; cat "$ports"; printf '7,"/dev/ttyS4"\r\n'; } >"$work/ports.new"
mv "$work/ports.new" "$ports"
start_manager "$work/second.out"
first_manager=$(pgrep -P "$script" -x tarvex)
before=$(md5sum <"$ports")
# What the script writes in the folder: the port map, the demonstration's
# files and the simulator's log (the running manager itself goes on writing
# its own logs and channel files there).
settings() {
  (cd "$TARVEX_HOME" && md5sum -- TarvexPorts.Cfg DemoScale.txt Tarvex-Std-CustFmt1.Cfg Tarvex-SCALE1.Cfg scale-sim.log)
}
settings >"$work/settings.before"

# A second start on the same folder while the manager runs.
second=$(timeout 30 env TARVEX_HOME="$TARVEX_HOME" "$run_manager" 2>&1)
status=$?
[ "$status" -ne 0 ] && [ "$status" -ne 124 ] || fail "the second start did not end with a failure (status $status): $second"
grep -q "a manager already runs on $TARVEX_HOME" <<<"$second" || fail "the second start did not say a manager runs: $second"
[ "$(md5sum <"$ports")" = "$before" ] || fail "the second start changed the port map: $(cat -A "$ports")"
settings >"$work/settings.after"
diff "$work/settings.before" "$work/settings.after" >"$work/settings.diff" ||
  fail "the second start touched the folder: $(cat "$work/settings.diff")"
[ "$(pgrep -x tarvex | grep -c .)" -ge 1 ] && [ "$(pgrep -P "$script" -x tarvex)" = "$first_manager" ] ||
  fail "the running manager was disturbed"
stop_manager

# The operator's lines stayed, in their places, and the simulator's line is
# the one new device.
[ "$(sed -n 1p "$ports")" = $'3,"/dev/ttyUSB0"\r' ] || fail "the operator's first line was lost: $(cat -A "$ports")"
[ "$(sed -n 3p "$ports")" = $'7,"/dev/ttyS4"\r' ] || fail "the operator's last line was lost: $(cat -A "$ports")"
[ "$(simulator_line)" -eq 1 ] || fail "not one simulator line: $(cat -A "$ports")"
[ "$(wc -l <"$ports")" -eq 3 ] || fail "lines added or lost: $(cat -A "$ports")"

# A manager whose lock file holds its id and its host on one line (a host name
# with digits) and which holds the file locked: the script names that process
# and touches nothing. A stand-in program named tarvex holds the lock, as
# built, and after a new build replaced its executable while it runs (what
# run-manager.sh itself does when the sources changed: the running process's
# program file is then gone, a new one in its place).
mkdir "$work/bin"
lock=$TARVEX_HOME/TarvexManager.lock
for holder_case in "as built" "rebuilt while running"; do
  cp "$(command -v sleep)" "$work/bin/tarvex"
  (
    exec 9<>"$lock"
    flock 9
    printf '%s plant7-host42\n' "$BASHPID" >"$lock"
    exec "$work/bin/tarvex" 60
  ) &
  holder=$!
  wait_for 50 grep -q "^$holder " "$lock" || fail "the stand-in did not take the lock ($holder_case)"
  if [ "$holder_case" = "rebuilt while running" ]; then
    cp "$work/bin/tarvex" "$work/bin/tarvex.new" && mv "$work/bin/tarvex.new" "$work/bin/tarvex"
  fi
  settings >"$work/settings.before"
  third=$(timeout 30 env TARVEX_HOME="$TARVEX_HOME" "$run_manager" 2>&1)
  status=$?
  kill "$holder" 2>/dev/null
  wait "$holder" 2>/dev/null
  [ "$status" -ne 0 ] && [ "$status" -ne 124 ] ||
    fail "a start beside the holder ($holder_case) did not end with a failure: $third"
  grep -q "a manager already runs on $TARVEX_HOME (process $holder)" <<<"$third" ||
    fail "the start did not name the holder $holder ($holder_case): $third"
  settings >"$work/settings.after"
  diff "$work/settings.before" "$work/settings.after" >"$work/settings.diff" ||
    fail "the start beside the holder ($holder_case) touched the folder: $(cat "$work/settings.diff")"
done
echo "PASS"
