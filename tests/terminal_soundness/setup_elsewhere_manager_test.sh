#!/usr/bin/env bash
# The real program on a virtual 1024 x 768 X screen against tools/terminal-sim:
# channel 1 reads the weight of terminal node 3 and publishes it on the bus;
# the operator opens Setup on channel 2 (a disabled serial channel) and
# cancels it. The weight set in the simulator reaches Device 0 while the
# dialog is open and after it closed, and channel 1 leaves no error behind.
set -u
tarvex=$1
terminal_sim=$2
work=$(mktemp -d)
running=
trap '[ -n "$running" ] && kill "$running" 2>/dev/null && wait "$running";
      [ -n "${SIM_PID:-}" ] && kill "$SIM_PID" 2>/dev/null && wait "$SIM_PID"; stop_xvfb; stop_private_bus;
      rm -rf "$work"' EXIT
here=$(dirname "$0")
. "$here/../foundation/script_helpers.sh"

on_x_screen
export TARVEX_HOME=$work/home
export TARVEX_TERMINAL_NET=$work/net.sock
mkdir -p "$TARVEX_HOME"
activity="$TARVEX_HOME/ActiveLog-Velmar Orinda Tarvex.txt"
errors="$TARVEX_HOME/ErrorLog-Velmar Orinda Tarvex.txt"
start_private_bus
start_xvfb 1024x768

# Channel 1: protocol 5 on the terminal network (ConnectUsing 1), node 3.
tags='"SCALE_1/GROSS.CV","SCALE_1/TARE.CV","SCALE_1/NET.CV","SCALE_1/SCALESTAT.CV","SCALE_1/CMD.CV","SCALE_1/CMDPARM.CV","SCALE_1/CMDSTAT.CV"'
printf '5,1,0,33,#FALSE#,"3","Terminal 3",0,"","","OPC.DELTAV.1","%s",#FALSE#,#TRUE#,#FALSE#,#FALSE#,#FALSE#,#TRUE#,#FALSE#,#FALSE#,#FALSE#,30,12,5000,%s,1,0,#FALSE#\r\n' \
  "$TARVEX_HOME/WtData-SCALE1.Txt" "$tags" >"$TARVEX_HOME/Tarvex-SCALE1.Cfg"

coproc SIM { exec "$terminal_sim" --node 3 2>"$work/sim.err"; }
read -r -t 10 listening <&"${SIM[0]}" || fail "terminal-sim did not start: $(cat "$work/sim.err")"
[ "$listening" = "ok listening $TARVEX_TERMINAL_NET" ] || fail "terminal-sim says: $listening"

map_state() { xwininfo -name "$1" 2>/dev/null | grep -q "Map State: $2"; }
lines() { [ "$(count_lines "$activity" "^$1 @")" -eq "$2" ]; }
click() { python3 "$here/../main_window/x_click.py" "$1" "$2" || fail "no click at $1 $2"; }
# weighs <weight>: the simulator's weight for node 3 reaches Device 0.
expected=
gross_is_expected() { [ "$(device_property 0 CGross)" = "d $expected" ]; }
weighs() {
  [ "$(ask "set /z3/wt101   $1  ")" = "ok" ] || fail "the weight $1 was not set"
  expected=$1
  wait_for 100 gross_is_expected
}

"$tarvex" NOMINIMIZE >"$work/out" 2>&1 &
running=$!
wait_for 300 map_state "Tarvex Manager - Channels" IsViewable || fail "no main window: $(cat "$work/out")"
registered=$(ask "wait-registered 30000")
[ "$registered" = "ok registered" ] || fail "the manager did not register ($registered): $(cat "$work/out")"
weighs 1234.5 || fail "the weight did not reach Device 0: $(device_property 0 CGross)"

# The 1024 layout: Setup of channel 2 one row (16 pixels) below channel 1's;
# the setup dialog's Cancel beside its connection panel.
click 886 230
wait_for 100 lines "Tarvex Manager Setup Activated" 1 || fail "Setup did not open: $(cat "$activity")"
wait_for 100 map_state "Tarvex Manager Setup" IsViewable || fail "no setup dialog"
weighs 222 || fail "with Setup open elsewhere the weight stopped: $(device_property 0 CGross) $(cat "$errors" 2>/dev/null)"
click 729 128
wait_for 100 lines "Tarvex Std. Manager Setup Deactivated" 1 || fail "Cancel did not close: $(cat "$activity")"
weighs 333 || fail "after Setup elsewhere the weight stopped: $(device_property 0 CGross) $(cat "$errors" 2>/dev/null)"
weighs 444.5 || fail "the weight stopped later: $(device_property 0 CGross)"

kill -0 "$running" 2>/dev/null || fail "the program ended: $(cat "$work/out")"
! grep -q "^Channel: 1 " "$errors" 2>/dev/null || fail "channel 1 logged errors: $(cat "$errors")"
[ ! -s "$TARVEX_MESSAGE_BOXES" ] || fail "message boxes: $(cat "$TARVEX_MESSAGE_BOXES")"
echo "PASS"
