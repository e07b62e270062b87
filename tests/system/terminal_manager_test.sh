#!/usr/bin/env bash
# The real program against tools/terminal-sim, as a person runs them: channel
# 1 reads the weight of terminal node 3, channel 2 serves the database
# requests of node 5. A weight set in the simulator's shell reaches Device 0
# on the bus; a select submitted from the shell comes back as its packets and
# "!", and an insert runs once and answers "!".
set -u
tarvex=$1
terminal_sim=$2
work=$(mktemp -d)
running=
trap '[ -n "$running" ] && kill "$running" 2>/dev/null && wait "$running";
      [ -n "${SIM_PID:-}" ] && kill "$SIM_PID" 2>/dev/null && wait "$SIM_PID"; stop_private_bus; rm -rf "$work"' EXIT
. "$(dirname "$0")/../support/script_helpers.sh"

export TARVEX_TERMINAL_NET=$work/net.sock
offscreen_manager

database=$TARVEX_HOME/stock.db
python3 - "$database" <<'PY' || fail "no database"
import sqlite3, sys
db = sqlite3.connect(sys.argv[1])
db.executescript("CREATE TABLE Items (Code TEXT, Weight REAL); INSERT INTO Items VALUES ('A', 1.5), ('B', 2);")
db.commit()
PY

# terminal_channel <channel> <protocol> <node>: a channel file for a terminal
# node of the network (ConnectUsing 1, DeviceID the node, database driver 0).
terminal_channel() {
  local n=$1 tags
  tags="\"SCALE_$n/GROSS.CV\",\"SCALE_$n/TARE.CV\",\"SCALE_$n/NET.CV\",\"SCALE_$n/SCALESTAT.CV\",\"SCALE_$n/CMD.CV\",\"SCALE_$n/CMDPARM.CV\",\"SCALE_$n/CMDSTAT.CV\""
  printf '%d,1,0,33,#FALSE#,"%s","Terminal %s",0,"","","OPC.DELTAV.1","%s",#FALSE#,#TRUE#,#FALSE#,#FALSE#,#FALSE#,#TRUE#,#FALSE#,#FALSE#,#FALSE#,30,12,5000,%s,1,0,#FALSE#\r\n' \
    "$2" "$3" "$3" "$TARVEX_HOME/WtData-SCALE$n.Txt" "$tags" >"$TARVEX_HOME/Tarvex-SCALE$n.Cfg"
}
terminal_channel 1 5 3
terminal_channel 2 0 5

coproc SIM { exec "$terminal_sim" --node 3 --node 5 2>"$work/sim.err"; }
read -r -t 10 listening <&"${SIM[0]}" || fail "terminal-sim did not start: $(cat "$work/sim.err")"
[ "$listening" = "ok listening $TARVEX_TERMINAL_NET" ] || fail "terminal-sim says: $listening"

"$tarvex" NOMINIMIZE >"$work/out" 2>&1 &
running=$!
registered=$(ask "wait-registered 30000")
[ "$registered" = "ok registered" ] || fail "the manager did not register ($registered): $(cat "$work/out")"
described() { [ "$(device_property 0 CDeviceDesc)" = 's "Terminal 3"' ]; }
wait_for 300 described || fail "channel 1 was not initialised: $(device_property 0 CDeviceDesc)"

[ "$(ask 'set /z3/wt101   1234.5  ')" = "ok" ] || fail "the weight was not set"
weighed() { [ "$(device_property 0 CGross)" = "d 1234.5" ]; }
wait_for 50 weighed || fail "the weight did not reach Device 0: $(device_property 0 CGross)"

[ "$(ask "sql 5 $database SELECT Code FROM Items ORDER BY Code")" = "ok" ] || fail "the request was not submitted"
answer=$(ask "collect 5 20000")
expected='header [****:00002:004]
row 0 [A]
row 1 [B]'
[ "$(head -n 3 <<<"$answer")" = "$expected" ] || fail "the select came back as: $answer"
[ "$(tail -n 1 <<<"$answer")" = "ok end [!]" ] || fail "the select did not end with !: $answer"

[ "$(ask "sql 5 $database INSERT INTO Items VALUES ('C', 3)")" = "ok" ] || fail "the insert was not submitted"
answer=$(ask "collect 5 20000")
[ "$answer" = "ok end [!]" ] || fail "the insert came back as: $answer"
rows=$(python3 -c "import sqlite3, sys; print(sqlite3.connect(sys.argv[1]).execute(\"SELECT COUNT(*) FROM Items WHERE Code = 'C'\").fetchone()[0])" "$database")
[ "$rows" = 1 ] || fail "the insert ran $rows times"

kill -0 "$running" 2>/dev/null || fail "the program ended: $(cat "$work/out")"
[ ! -s "$work/boxes.txt" ] || fail "message boxes: $(cat "$work/boxes.txt")"
echo "PASS"
