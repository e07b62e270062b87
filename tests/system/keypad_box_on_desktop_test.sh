#!/usr/bin/env bash
# The real program on a virtual X screen under openbox, with a tray (a
# StatusNotifier watcher and host on the session bus) and real boxes:
# channel 1 reads a simulated scale, channel 2 is a virtual terminal whose
# node cannot be reached. A key clicked on the keypad opens the terminal
# error box above the stay-on-top keypad, with the focus; channel 1's gross
# keeps reaching the bus while the box waits; Enter in the box retries and
# the manager keeps running. Abort, chosen deliberately in the next box, ends
# the manager with status 3, an error-log line naming the result code and
# the activity log's end line. Skipped with a message without openbox. With
# TARVEX_SCREENSHOTS set to a folder, the screen is saved there with the box
# open and after Enter.
set -u
tarvex=$1
scale_sim=$2
watcher=$3
work=$(mktemp -d)
running=
sim=
wm=
watching=
cleanup() { stop_box_test "$running" "$sim" "$wm" "$watching"; }
trap cleanup EXIT
here=$(dirname "$0")
. "$here/../support/script_helpers.sh"
. "$support/box_helpers.sh"

command -v openbox >/dev/null || { echo "SKIP: openbox is not installed (tools/install-deps.sh installs it)"; exit 0; }

export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 0700 "$XDG_RUNTIME_DIR"
export QT_QPA_PLATFORM=xcb
unset TARVEX_MESSAGE_BOXES
# No terminal network serves this socket: every keystroke fails.
export TARVEX_TERMINAL_NET=$work/no-terminal-net.sock
export TARVEX_HOME=$work/home
mkdir -p "$TARVEX_HOME"
start_xvfb 1024x768
# The session bus of a desktop, with its tray.
mkfifo "$work/bus"
dbus-daemon --config-file="$TARVEX_BUILD_DIR/dbus/session-none.conf" --nofork --print-address=3 3>"$work/bus" &
bus_pid=$!
read -r -t 10 DBUS_SESSION_BUS_ADDRESS <"$work/bus" || fail "no session bus"
export DBUS_SESSION_BUS_ADDRESS
"$watcher" >"$work/watcher.out" 2>&1 &
watching=$!
wait_for 100 grep -q '^ready' "$work/watcher.out" || fail "no tray: $(cat "$work/watcher.out")"
start_window_manager || fail "$wm_problem"

"$scale_sim" --write-demo-protocol "$TARVEX_HOME/Tarvex-Std-CustFmt1.Cfg" || fail "no protocol file"
scale_channel_file "$TARVEX_HOME" 1 "Scale 1"
# Channel 2: connected by "Other...", with the virtual terminal.
printf '2,2,0,33,#FALSE#,"","Terminal 2",0,"","","OPC.DELTAV.1","%s",#FALSE#,#TRUE#,#FALSE#,#FALSE#,#FALSE#,#TRUE#,#TRUE#,#FALSE#,#FALSE#,30,12,50,%s,0,0,#FALSE#\r\n' \
  "$TARVEX_HOME/WtData-SCALE2.Txt" \
  '"SCALE_2/GROSS.CV","SCALE_2/TARE.CV","SCALE_2/NET.CV","SCALE_2/SCALESTAT.CV","SCALE_2/CMD.CV","SCALE_2/CMDPARM.CV","SCALE_2/CMDSTAT.CV"' \
  >"$TARVEX_HOME/Tarvex-SCALE2.Cfg"
start_ramping_scale "$TARVEX_HOME" 1
sim=$scale_pid
printf '1,"%s"\r\n' "$device" >"$TARVEX_HOME/TarvexPorts.Cfg"

window_info() { xwininfo -name "$1" 2>/dev/null; }
map_state() { window_info "$1" | grep -q "Map State: $2"; }
field() { sed -n "s/.*$2: *//p" <<<"$(window_info "$1")"; }
# click_in <window name> <x> <y>: a click at a point of the window's client area.
click_in() { click $(($(field "$1" "Absolute upper-left X") + $2)) $(($(field "$1" "Absolute upper-left Y") + $3)); }
screenshot() { [ -n "${TARVEX_SCREENSHOTS:-}" ] && mkdir -p "$TARVEX_SCREENSHOTS" && import -window root "$TARVEX_SCREENSHOTS/$1"; true; }
window_id() { printf '0x%x' "$(field "$1" "Window id" | cut -d' ' -f1)"; }
# above <upper> <lower>: the window manager stacks the first above the second.
above() {
  local order u l
  order=$(xprop -root _NET_CLIENT_LIST_STACKING | sed 's/.*# //; s/, /\n/g')
  u=$(grep -n -x "$(window_id "$1")" <<<"$order" | cut -d: -f1)
  l=$(grep -n -x "$(window_id "$2")" <<<"$order" | cut -d: -f1)
  [ -n "$u" ] && [ -n "$l" ] && [ "$u" -gt "$l" ]
}
focused() { [ "$(xprop -root _NET_ACTIVE_WINDOW | sed 's/.*# //')" = "$(window_id "$1")" ]; }

main="Tarvex Manager - Channels"
keypad=" Tarvex Channel 2  Virtual Zelvar..."
box="ZELAPI32.DLL Error"
"$tarvex" NOMINIMIZE >"$work/out" 2>&1 &
running=$!
wait_for 300 map_state "$main" IsViewable || fail "no main window: $(cat "$work/out")"
moving() { [ -n "$(device_property 0 CGross)" ] && [ "$(device_property 0 CGross)" != "d 0" ]; }
wait_for 300 moving || fail "channel 1 never reached the bus: $(cat "$work/out")"

# Channel 2's Detail button opens the keypad; node Z1, then the key "7".
click_in "$main" 970 229
wait_for 100 map_state "$keypad" IsViewable || fail "Detail of channel 2 opened no keypad"
click_in "$keypad" 413 47
click_in "$keypad" 194 137
wait_for 100 map_state "$box" IsViewable || fail "no terminal error box: $(cat "$work/out")"
wait_for 50 above "$box" "$keypad" || fail "the box opened beneath the keypad"
wait_for 50 focused "$box" || fail "the box did not take the focus"
screenshot keypad-error-box.png

box_shown() { map_state "$1" IsViewable; }
gross_moves_behind 0 "$box" box_shown

python3 "$here/x_key.py" Return || fail "no key"
box_gone() { ! map_state "$box" IsViewable; }
wait_for 100 box_gone || fail "Enter left the box open"
wait_for 20 ended "$running" && fail "Enter in the box ended the manager: $(cat "$work/out")"
map_state "$keypad" IsViewable || fail "the keypad went with the box"
screenshot after-enter.png
errors="$TARVEX_HOME/ErrorLog-Velmar Orinda Tarvex.txt"
activity="$TARVEX_HOME/ActiveLog-Velmar Orinda Tarvex.txt"
[ "$(count_lines "$errors" "Abort")" -eq 0 ] || fail "an Abort was logged"

# The next failed key, answered Abort: a click on the box's last button, at
# its bottom right.
click_in "$keypad" 194 137
wait_for 100 map_state "$box" IsViewable || fail "no second terminal error box"
wait_for 50 focused "$box" || fail "the second box did not take the focus"
screenshot keypad-second-box.png
click_in "$box" $(($(field "$box" "Width") - 50)) $(($(field "$box" "Height") - 22))
wait_for 100 ended "$running" || fail "Abort did not end the manager"
wait "$running"
status=$?
running=
[ "$status" -eq 3 ] || fail "Abort ended the manager with status $status"
[ "$(count_lines "$errors" "^Virtual Terminal: Abort in the error box of result code -2 (ZEL_INVALID_PROCESS): Tarvex Manager Ends @ ")" -eq 1 ] ||
  fail "no error-log line of the Abort: $(cat "$errors")"
[ "$(tail -n 1 "$activity" | sed 's/ @ .*//')" = "Tarvex Manager Terminated" ] ||
  fail "the activity log does not end with the manager's end: $(tail -n 3 "$activity")"
echo "PASS"
