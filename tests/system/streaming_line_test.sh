#!/usr/bin/env bash
# The real program on a line that never stops: tools/scale-sim streams frames
# of a protocol without a start character before the manager starts, so each
# start opens the port somewhere inside a frame. Over repeated starts, every
# weight on the bus and every weight log line is one that a whole frame held,
# with the whole frames' two decimals. A stale lock file keeps no start out.
set -u
tarvex=$1
scale_sim=$2
work=$(mktemp -d)
running=
sim=
trap '[ -n "$running" ] && stop_process "$running"; [ -n "$sim" ] && stop_process "$sim";
      stop_private_bus; rm -rf "$work"' EXIT
here=$(dirname "$0")
. "$here/../support/script_helpers.sh"

offscreen_manager

# Protocol 10: the sample protocol without a start character (what a new
# protocol starts with) and without decimal-place rows, so the point is in the
# field and the channel chooses its decimals from the first frame it reads.
protocol=$TARVEX_HOME/Tarvex-Std-CustFmt1.Cfg
"$scale_sim" --write-demo-protocol "$work/demo.cfg" || fail "no sample protocol"
sed -e '1s/^0,2,10,/0,0,10,/' -e '/(WEIGHT)/d' "$work/demo.cfg" >"$protocol"
head -n 1 "$protocol" | grep -q '^0,0,10,' || fail "the protocol keeps its start character: $(head -n 1 "$protocol")"

# The gross texts a whole frame of the ramp holds (bytes 5 to 11).
"$scale_sim" --protocol "$protocol" --stdout --frames 50 --script ramp --weight 12.34 </dev/null \
  | cut -c5-11 | sort -u >"$work/whole.txt"
[ "$(wc -l <"$work/whole.txt")" -gt 20 ] || fail "the ramp has too few weights: $(cat "$work/whole.txt")"
grep -qx '  12.34' "$work/whole.txt" || fail "the ramp misses its top: $(cat "$work/whole.txt")"

# The scale streams from now on, at 1200 baud (a frame every 280 ms), each
# frame written in two pieces paced as the wire brings them, so a port opens
# inside a frame and its first read holds the tail of one.
"$scale_sim" --protocol "$protocol" --settings 1200,N,8,1 --script ramp --weight 12.34 --noise split --noise-rate 1 \
  >"$work/sim.out" 2>"$work/sim.err" &
sim=$!
wait_for 100 test -s "$work/sim.out" || fail "scale-sim did not start: $(cat "$work/sim.err")"
device=$(head -n 1 "$work/sim.out")

# Channel 1 on COM1 at 1200,N,8,1 (settings index 6), weight log on,
# automatic decimals.
weights=$TARVEX_HOME/WtData-SCALE1.Txt
tags='"SCALE_1/GROSS.CV","SCALE_1/TARE.CV","SCALE_1/NET.CV","SCALE_1/SCALESTAT.CV","SCALE_1/CMD.CV","SCALE_1/CMDPARM.CV","SCALE_1/CMDSTAT.CV"'
printf '10,0,0,6,#FALSE#,"","Line Scale",0,"","","OPC.DELTAV.1","%s",#TRUE#,#TRUE#,#FALSE#,#FALSE#,#FALSE#,#TRUE#,#FALSE#,#FALSE#,#TRUE#,30,12,0,%s,1,0,#FALSE#\r\n' \
  "$weights" "$tags" >"$TARVEX_HOME/Tarvex-SCALE1.Cfg"
printf '1,"%s"\r\n' "$device" >"$TARVEX_HOME/TarvexPorts.Cfg"

# A lock file as a power loss leaves it: nobody holds it, so it keeps no
# start out. Each start below is killed, as by a power loss, leaving its own.
printf '\0\0\0' >"$TARVEX_HOME/TarvexManager.lock"

# lines_beyond <count>: the weight log holds more than count lines.
lines_beyond() { [ "$(count_lines "$weights" .)" -gt "$1" ]; }

for start in 1 2 3 4 5; do
  before=$(count_lines "$weights" .)
  "$tarvex" NOMINIMIZE >"$work/out.$start" 2>&1 &
  running=$!
  # The bus is read while the frames come, until ten more are logged.
  for ((i = 0; i < 300; i++)); do
    device_property 0 CGross >>"$work/bus.txt"
    lines_beyond $((before + 10)) && break
    sleep 0.05
  done
  lines_beyond $((before + 10)) || fail "start $start: fewer than ten frames logged: $(cat "$work/out.$start")"
  kill -0 "$running" 2>/dev/null || fail "start $start: the program ended: $(cat "$work/out.$start")"
  kill -KILL "$running"
  wait "$running" 2>/dev/null
  running=
done

# Every weight log line: a whole frame's gross, tare and net 0, ID 1.
bad=$(awk -F', ' -v whole="$work/whole.txt" '
  BEGIN { while ((getline w < whole) > 0) ok[w] = 1 }
  !($1 == "Device #: 0" && ($2 in ok) && $3 == "0" && $4 == "0" && $5 == " 1") { print }' "$weights")
[ -z "$bad" ] || fail "weights no whole frame held were logged:
$bad"
# Every weight on the bus: one of the whole frames' (or 0 before the first).
bad=$(awk -v whole="$work/whole.txt" '
  BEGIN { ok["0.00"] = 1; while ((getline w < whole) > 0) ok[sprintf("%.2f", w)] = 1 }
  { k = sprintf("%.2f", $2) }
  $1 != "d" || !(k in ok) || $2 !~ /^-?[0-9]+(\.[0-9][0-9]?)?$/ { print }' "$work/bus.txt")
[ -z "$bad" ] || fail "weights no whole frame held reached the bus: $(sort -u <<<"$bad" | head -n 5)"
echo "$(count_lines "$weights" .) weight log lines and $(wc -l <"$work/bus.txt") bus readings over 5 starts"
[ ! -s "$work/boxes.txt" ] || fail "message boxes: $(cat "$work/boxes.txt")"
echo "PASS"
