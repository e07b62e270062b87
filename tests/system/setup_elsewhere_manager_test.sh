#!/usr/bin/env bash
# The real program on a virtual 1024 x 768 X screen against tools/terminal-sim:
# channel 1 reads the weight of terminal node 3 and channel 3 that of node 4,
# each publishing it on the bus; channel 2 is a disabled serial channel. The
# operator opens Setup on each channel in turn and cancels it. The weights set
# in the simulator reach Devices 0 and 2 while a dialog is open on another
# channel and after every dialog closed, and the terminal channels leave no
# error behind.
set -u
tarvex=$1
terminal_sim=$2
work=$(mktemp -d)
running=
trap '[ -n "$running" ] && kill "$running" 2>/dev/null && wait "$running";
      [ -n "${SIM_PID:-}" ] && kill "$SIM_PID" 2>/dev/null && wait "$SIM_PID"; stop_xvfb; stop_private_bus;
      rm -rf "$work"' EXIT
here=$(dirname "$0")
. "$here/../support/script_helpers.sh"

on_x_screen
export TARVEX_HOME=$work/home
export TARVEX_TERMINAL_NET=$work/net.sock
mkdir -p "$TARVEX_HOME"
activity="$TARVEX_HOME/ActiveLog-Velmar Orinda Tarvex.txt"
errors="$TARVEX_HOME/ErrorLog-Velmar Orinda Tarvex.txt"
start_private_bus
start_xvfb 1024x768

# terminal_channel <channel> <node>: protocol 5 on the terminal network
# (ConnectUsing 1) reading the node's weight.
terminal_channel() {
  local n=$1 tags
  tags="\"SCALE_$n/GROSS.CV\",\"SCALE_$n/TARE.CV\",\"SCALE_$n/NET.CV\",\"SCALE_$n/SCALESTAT.CV\",\"SCALE_$n/CMD.CV\",\"SCALE_$n/CMDPARM.CV\",\"SCALE_$n/CMDSTAT.CV\""
  printf '5,1,0,33,#FALSE#,"%s","Terminal %s",0,"","","OPC.DELTAV.1","%s",#FALSE#,#TRUE#,#FALSE#,#FALSE#,#FALSE#,#TRUE#,#FALSE#,#FALSE#,#FALSE#,30,12,5000,%s,1,0,#FALSE#\r\n' \
    "$2" "$2" "$TARVEX_HOME/WtData-SCALE$n.Txt" "$tags" >"$TARVEX_HOME/Tarvex-SCALE$n.Cfg"
}
terminal_channel 1 3
terminal_channel 3 4

coproc SIM { exec "$terminal_sim" --node 3 --node 4 2>"$work/sim.err"; }
read -r -t 10 listening <&"${SIM[0]}" || fail "terminal-sim did not start: $(cat "$work/sim.err")"
[ "$listening" = "ok listening $TARVEX_TERMINAL_NET" ] || fail "terminal-sim says: $listening"

map_state() { xwininfo -name "$1" 2>/dev/null | grep -q "Map State: $2"; }
lines() { [ "$(count_lines "$activity" "^$1 @")" -eq "$2" ]; }
# weighs <channel> <weight>: the simulator's weight for the channel's node
# reaches the channel's Device (channel 1: node 3, Device 0; channel 3: node
# 4, Device 2).
node_of() { [ "$1" -eq 1 ] && echo 3 || echo 4; }
gross_is() { [ "$(device_property "$(($1 - 1))" CGross)" = "d $2" ]; }
weighs() {
  [ "$(ask "set /z$(node_of "$1")/wt101   $2  ")" = "ok" ] || fail "the weight $2 was not set"
  wait_for 100 gross_is "$1" "$2"
}

"$tarvex" NOMINIMIZE >"$work/out" 2>&1 &
running=$!
wait_for 300 map_state "Tarvex Manager - Channels" IsViewable || fail "no main window: $(cat "$work/out")"
registered=$(ask "wait-registered 30000")
[ "$registered" = "ok registered" ] || fail "the manager did not register ($registered): $(cat "$work/out")"
weighs 1 1234.5 || fail "the weight did not reach Device 0: $(device_property 0 CGross)"
weighs 3 55 || fail "the weight did not reach Device 2: $(device_property 2 CGross)"

# The 1024 layout: the Setup buttons one row (16 pixels) apart, channel 1's
# at 886 214; the setup dialog's Cancel beside its connection panel.
weight=100
for setup in 1 2 3; do
  click 886 $((214 + 16 * (setup - 1)))
  wait_for 100 lines "Tarvex Manager Setup Activated" "$setup" || fail "Setup of channel $setup did not open: $(cat "$activity")"
  wait_for 100 map_state "Tarvex Manager Setup" IsViewable || fail "no setup dialog for channel $setup"
  for ch in 1 3; do
    [ "$ch" -eq "$setup" ] && continue
    weight=$((weight + 1))
    weighs "$ch" "$weight" ||
      fail "with Setup open on channel $setup the weight of channel $ch stopped: $(device_property $((ch - 1)) CGross) $(cat "$errors" 2>/dev/null)"
  done
  click 729 128
  wait_for 100 lines "Tarvex Std. Manager Setup Deactivated" "$setup" || fail "Cancel on channel $setup did not close: $(cat "$activity")"
  wait_for 100 map_state "Tarvex Manager Setup" IsUnMapped || fail "the setup dialog of channel $setup stayed"
  for ch in 1 3; do
    weight=$((weight + 1))
    weighs "$ch" "$weight" ||
      fail "after Setup of channel $setup the weight of channel $ch stopped: $(device_property $((ch - 1)) CGross) $(cat "$errors" 2>/dev/null)"
  done
done

kill -0 "$running" 2>/dev/null || fail "the program ended: $(cat "$work/out")"
! grep -q "^Channel: [13] " "$errors" 2>/dev/null || fail "a terminal channel logged errors: $(cat "$errors")"
[ ! -s "$TARVEX_MESSAGE_BOXES" ] || fail "message boxes: $(cat "$TARVEX_MESSAGE_BOXES")"
echo "PASS"
