#!/usr/bin/env bash
# The real program operated by clicks on a virtual 1024 x 768 X screen: the
# Detail button of channel 1 (enabled) opens the detail window with
# the channel's description shown literally; its Close gives the buttons back;
# the Detail button of channel 2 (virtual terminal) opens the keypad centred on
# the screen; its Close gives the buttons back again. The channel files are
# read into the program by a Setup and Cancel of each channel. With
# TARVEX_SCREENSHOTS set to a folder, the screen is saved there with each
# window open.
set -u
tarvex=$1
work=$(mktemp -d)
running=
trap '[ -n "$running" ] && kill "$running" 2>/dev/null; stop_xvfb; rm -rf "$work"' EXIT
here=$(dirname "$0")
. "$here/../support/script_helpers.sh"

on_x_screen
export TARVEX_HOME=$work/home
mkdir -p "$TARVEX_HOME"

# A channel file: description, enabled, and the virtual terminal switch. The
# channel is connected by "Other...", so the scan opens no port for it.
channel_file() {
  printf '2,2,0,33,#FALSE#,"","%s",0,"","","OPC.DELTAV.1","%s/WtData-SCALE%s.Txt",#FALSE#,#TRUE#,#FALSE#,#FALSE#,#FALSE#,#TRUE#,%s,#FALSE#,#FALSE#,30,12,50,"SCALE_%s/GROSS.CV","SCALE_%s/TARE.CV","SCALE_%s/NET.CV","SCALE_%s/SCALESTAT.CV","SCALE_%s/CMD.CV","SCALE_%s/CMDPARM.CV","SCALE_%s/CMDSTAT.CV",0,0,#FALSE#\r\n' \
    "$2" "$TARVEX_HOME" "$1" "$3" "$1" "$1" "$1" "$1" "$1" "$1" "$1" >"$TARVEX_HOME/Tarvex-SCALE$1.Cfg"
}
channel_file 1 "Silo <b>1</b>" "#FALSE#"
channel_file 2 "Terminal 2" "#TRUE#"

window_info() { xwininfo -name "$1" 2>/dev/null; }
map_state() { window_info "$1" | grep -q "Map State: $2"; }
field() { sed -n "s/.*$2: *//p" <<<"$(window_info "$1")"; }
screenshot() { [ -n "${TARVEX_SCREENSHOTS:-}" ] && mkdir -p "$TARVEX_SCREENSHOTS" && import -window root "$TARVEX_SCREENSHOTS/$1"; true; }
# Setup and Cancel of a channel row: its file is read into the program.
read_channel() {
  click 886 "$1"
  wait_for 100 map_state "Tarvex Manager Setup" IsViewable || fail "no setup dialog for the row at $1"
  click 729 128
  wait_for 100 map_state "Tarvex Manager Setup" IsUnMapped || fail "the setup dialog stayed"
}

detail=" Tarvex Channel 1  Device Detail..."
keypad=" Tarvex Channel 2  Virtual Zelvar..."

start_xvfb 1024x768
"$tarvex" NOMINIMIZE >"$work/out" 2>&1 &
running=$!
wait_for 300 map_state "Tarvex Manager - Channels" IsViewable || fail "no main window: $(cat "$work/out")"

read_channel 214
read_channel 230

click 970 213
wait_for 100 map_state "$detail" IsViewable || fail "Detail of channel 1 opened no detail window"
screenshot frmDetail-program.png
x=$(field "$detail" "Absolute upper-left X")
y=$(field "$detail" "Absolute upper-left Y")
click $((x + 475)) $((y + 368))
wait_for 100 map_state "$detail" IsUnMapped || fail "Close left the detail window shown"

click 970 229
wait_for 100 map_state "$keypad" IsViewable || fail "Detail of channel 2 opened no keypad"
screenshot ZELVAR-program.png
x=$(field "$keypad" "Absolute upper-left X")
y=$(field "$keypad" "Absolute upper-left Y")
w=$(field "$keypad" "Width")
h=$(field "$keypad" "Height")
[ "$x" -eq $(((1024 - w) / 2)) ] && [ "$y" -eq $(((768 - h) / 2)) ] || fail "the keypad is not centred: $x,$y ${w}x$h"
click $((x + 414)) $((y + 267))
wait_for 100 map_state "$keypad" IsUnMapped || fail "Close left the keypad shown"

# The buttons are back: the detail window opens again.
click 970 213
wait_for 100 map_state "$detail" IsViewable || fail "the Detail button stayed disabled after Close"

kill -0 "$running" 2>/dev/null || fail "the program ended: $(cat "$work/out")"
! grep -q "Error" "$TARVEX_MESSAGE_BOXES" 2>/dev/null || fail "an error box: $(cat "$TARVEX_MESSAGE_BOXES")"
echo "PASS"
