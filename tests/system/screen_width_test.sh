#!/usr/bin/env bash
# The real program on a virtual X screen: 799 pixels wide is refused with the
# screen line and box; 800 x 480 starts and shows its start-up window.
set -u
tarvex=$1
work=$(mktemp -d)
running=
trap '[ -n "$running" ] && kill "$running" 2>/dev/null; stop_xvfb; rm -rf "$work"' EXIT
. "$(dirname "$0")/../support/script_helpers.sh"

export QT_QPA_PLATFORM=xcb
export TARVEX_MESSAGE_BOXES=$work/boxes.txt

# 799 pixels: refused.
export TARVEX_HOME=$work/narrow
mkdir -p "$TARVEX_HOME"
start_xvfb 799x600
timeout 30 "$tarvex" >"$work/narrow.out" 2>&1
status=$?
stop_xvfb
[ "$status" -ne 0 ] && [ "$status" -ne 124 ] || fail "799 px: expected a refusal, status $status: $(cat "$work/narrow.out")"
log="$TARVEX_HOME/ErrorLog-Velmar Orinda Tarvex.txt"
[ "$(count_lines "$log" .)" -eq 1 ] || fail "799 px: expected one log line: $(cat "$log" 2>/dev/null)"
grep -q '^Tried To Start Tarvex Manager In Less Than 800 x 600 Mode @ ' "$log" || fail "799 px: wrong log line: $(cat "$log")"
grep -q $'^16\t Tarvex Manager Startup Problem...\tTarvex MUST Run In At Least 800 x 600 Mode.' "$work/boxes.txt" \
  || fail "799 px: wrong box: $(cat "$work/boxes.txt" 2>/dev/null)"

# 800 x 480: starts; only the width counts.
export TARVEX_HOME=$work/wide
mkdir -p "$TARVEX_HOME"
start_xvfb 800x480
"$tarvex" >"$work/wide.out" 2>&1 &
running=$!
wait_for 300 xwininfo -name "Tarvex Manager" || fail "800 x 480: no start-up window appeared: $(cat "$work/wide.out")"
kill -0 "$running" 2>/dev/null || fail "800 x 480: the program ended"
[ ! -e "$TARVEX_HOME/ErrorLog-Velmar Orinda Tarvex.txt" ] || grep -qv 'Less Than 800' "$TARVEX_HOME/ErrorLog-Velmar Orinda Tarvex.txt" \
  || fail "800 x 480: refused"
[ "$(count_lines "$work/boxes.txt" .)" -eq 1 ] || fail "800 x 480: a box was shown: $(cat "$work/boxes.txt")"
echo "PASS"
