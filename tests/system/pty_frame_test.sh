#!/usr/bin/env bash
# The real program on a configured folder: channel 1 reads COM1, which the
# ports file maps to a pseudo-terminal this test holds. One frame written to
# that line reaches Device 0 on the bus within a second.
set -u
tarvex=$1
scale_sim=$2
work=$(mktemp -d)
running=
trap '[ -n "$running" ] && kill "$running" 2>/dev/null && wait "$running";
      stop_pty_line; stop_private_bus; rm -rf "$work"' EXIT
here=$(dirname "$0")
. "$here/../support/script_helpers.sh"

offscreen_manager

# The line: what this script writes to fd 4 reaches the manager.
open_pty_line

# Channel 1: the sample protocol as protocol 10 on COM1 at 9600,N,8,1, enabled.
"$scale_sim" --write-demo-protocol "$TARVEX_HOME/Tarvex-Std-CustFmt1.Cfg" || fail "no protocol file"
tags='"SCALE_1/GROSS.CV","SCALE_1/TARE.CV","SCALE_1/NET.CV","SCALE_1/SCALESTAT.CV","SCALE_1/CMD.CV","SCALE_1/CMDPARM.CV","SCALE_1/CMDSTAT.CV"'
printf '10,0,0,33,#FALSE#,"","Line Scale",0,"","","OPC.DELTAV.1","%s",#FALSE#,#TRUE#,#FALSE#,#FALSE#,#FALSE#,#TRUE#,#FALSE#,#FALSE#,#TRUE#,30,12,50,%s,1,0,#FALSE#\r\n' \
  "$TARVEX_HOME/WtData-SCALE1.Txt" "$tags" >"$TARVEX_HOME/Tarvex-SCALE1.Cfg"
printf '1,"%s"\r\n' "$device" >"$TARVEX_HOME/TarvexPorts.Cfg"
# One frame of the sample protocol with a gross of 42.5.
"$scale_sim" --demo --stdout --frames 1 --script steady --weight 42.5 >"$work/frame" </dev/null \
  || fail "no frame"

"$tarvex" NOMINIMIZE >"$work/out" 2>&1 &
running=$!
described() { [ "$(device_property 0 CDeviceDesc)" = 's "Line Scale"' ]; }
wait_for 300 described || fail "channel 1 was not initialised: $(cat "$work/out")"
[ "$(device_property 0 CGross)" = "d 0" ] || fail "a gross before any frame: $(device_property 0 CGross)"

cat "$work/frame" >&4
gross_arrived() { [ "$(device_property 0 CGross)" = "d 42.5" ]; }
wait_for 10 gross_arrived || fail "the frame did not reach Device 0 within 1 s: $(device_property 0 CGross)"
kill -0 "$running" 2>/dev/null || fail "the program ended: $(cat "$work/out")"
[ ! -s "$work/boxes.txt" ] || fail "message boxes: $(cat "$work/boxes.txt")"
echo "PASS"
