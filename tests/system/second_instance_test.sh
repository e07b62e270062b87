#!/usr/bin/env bash
# The real program started twice in one program folder: the second refuses with
# one log line and one critical box and exits non-zero; the first runs on.
set -u
tarvex=$1
work=$(mktemp -d)
first=
trap '[ -n "$first" ] && kill "$first" 2>/dev/null; rm -rf "$work"' EXIT
. "$(dirname "$0")/../support/script_helpers.sh"

export TARVEX_HOME=$work
export TARVEX_MESSAGE_BOXES=$work/boxes.txt
export QT_QPA_PLATFORM=offscreen
errorlog="$work/ErrorLog-Velmar Orinda Tarvex.txt"
# A system setup file of its own, so the first instance logs nothing about a
# missing one and waits in its start-up window.
printf '25,2,15,0,25,1,#TRUE#,#FALSE#\r\n' >"$work/TarvexSysSetup.Cfg"

"$tarvex" >"$work/first.out" 2>&1 &
first=$!
wait_for 300 test -e "$work/TarvexManager.lock" || fail "the first instance never took the lock"

start=$(date +%s)
timeout 5 "$tarvex" >"$work/second.out" 2>&1
status=$?
[ "$status" -ne 0 ] || fail "the second instance exited with status 0"
[ "$status" -ne 124 ] || fail "the second instance did not end within 5 s"
echo "second instance ended with status $status after $(( $(date +%s) - start )) s"

[ "$(count_lines "$errorlog" .)" -eq 1 ] || fail "error log should hold exactly one line: $(cat "$errorlog" 2>/dev/null)"
grep -q $'^Tried To Start Tarvex Manager While Already Running @ .*\r$' "$errorlog" || fail "wrong log line: $(cat "$errorlog")"
[ "$(count_lines "$work/boxes.txt" .)" -eq 1 ] || fail "expected one box: $(cat "$work/boxes.txt" 2>/dev/null)"
grep -q $'^16\t Tarvex Manager Startup Problem...\tA Copy Of Tarvex Manager Is Already Running.' "$work/boxes.txt" \
  || fail "wrong box: $(cat "$work/boxes.txt")"
kill -0 "$first" 2>/dev/null || fail "the first instance is no longer running"

# A program folder that cannot hold the lock is a run-time error, not a second instance.
TARVEX_HOME=$work/missing/folder timeout 5 "$tarvex" >"$work/missing.out" 2>&1
status=$?
[ "$status" -ne 0 ] && [ "$status" -ne 124 ] || fail "unwritable folder: status $status"
grep -q 'run-time error 75' "$work/missing.out" || fail "unwritable folder: $(cat "$work/missing.out")"
grep -q $'^16\tTarvex\tRun-time error \'75\'' "$work/boxes.txt" || fail "unwritable folder: no error box: $(cat "$work/boxes.txt")"
echo "PASS"
