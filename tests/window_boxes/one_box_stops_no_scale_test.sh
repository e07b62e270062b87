#!/usr/bin/env bash
# The real program on a virtual X screen with real boxes: channel 1 and
# channel 2 read simulated scales on pseudo-terminals. When channel 1's scale
# is unplugged (its line hangs up), or its device is missing at start, the
# error box waits on the screen while channel 2's weight keeps reaching the
# bus; the same error opens one box only.
set -u
tarvex=$1
scale_sim=$2
work=$(mktemp -d)
running=
sims=()
cleanup() {
  [ -z "$running" ] || stop_process "$running"
  local pid
  for pid in ${sims[@]+"${sims[@]}"}; do stop_process "$pid"; done
  stop_private_bus
  stop_xvfb
  rm -rf "$work"
}
trap cleanup EXIT
here=$(dirname "$0")
. "$here/../foundation/script_helpers.sh"

export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 0700 "$XDG_RUNTIME_DIR"
export QT_QPA_PLATFORM=xcb
# Real boxes: nothing records or answers them.
unset TARVEX_MESSAGE_BOXES
start_xvfb 1024x768
start_private_bus

tags() {
  local n=$1 t out=
  for t in GROSS TARE NET SCALESTAT CMD CMDPARM CMDSTAT; do out+="\"SCALE_$n/$t.CV\","; done
  echo "${out%,}"
}
# channel_file <home> <n>: channel n reads the sample protocol on COMn.
channel_file() {
  printf '10,0,%d,33,#FALSE#,"","Scale %d",0,"","","OPC.DELTAV.1","%s",#FALSE#,#TRUE#,#FALSE#,#FALSE#,#FALSE#,#TRUE#,#FALSE#,#FALSE#,#TRUE#,30,12,50,%s,1,0,#FALSE#\r\n' \
    $(($2 - 1)) "$2" "$1/WtData-SCALE$2.Txt" "$(tags "$2")" >"$1/Tarvex-SCALE$2.Cfg"
}
# start_scale <home> <n>: a ramping scale; its device path in $device.
start_scale() {
  rm -f "$work/sim$2"
  mkfifo "$work/sim$2"
  "$scale_sim" --protocol "$1/Tarvex-Std-CustFmt1.Cfg" --script ramp --weight 100 --interval-ms 20 \
    >"$work/sim$2" 2>"$work/sim$2.log" &
  sims+=($!)
  scale_pid=$!
  read -r -t 10 device <"$work/sim$2" || fail "scale $2 did not start: $(cat "$work/sim$2.log")"
}
box_shown() { xwininfo -root -tree | grep -c "\"$1\""; }
box_open() { [ "$(box_shown "$1")" -ge 1 ]; }

# moves_while_box_open <title>: channel 2's gross (Device 1) takes at least
# five values while the box stays open.
moves_while_box_open() {
  local title=$1 seen=() value i
  for ((i = 0; i < 100 && ${#seen[@]} < 5; i++)); do
    value=$(device_property 1 CGross)
    if [ -n "$value" ] && [[ " ${seen[*]-} " != *" $value "* ]]; then seen+=("$value"); fi
    sleep 0.05
  done
  box_open "$title" || fail "the box \"$title\" closed by itself"
  [ ${#seen[@]} -ge 5 ] || fail "channel 2's gross stood still behind \"$title\": ${seen[*]-none}"
}

run_case() {
  local name=$1 title=$2
  local home=$work/$name
  mkdir -p "$home"
  "$scale_sim" --write-demo-protocol "$home/Tarvex-Std-CustFmt1.Cfg" || fail "no protocol file"
  channel_file "$home" 1
  channel_file "$home" 2
  local first=/nonexistent/ttyUSB0
  if [ "$name" = hung-up ]; then start_scale "$home" 1; first=$device; first_pid=$scale_pid; fi
  start_scale "$home" 2
  printf '1,"%s"\r\n2,"%s"\r\n' "$first" "$device" >"$home/TarvexPorts.Cfg"

  TARVEX_HOME=$home "$tarvex" NOMINIMIZE >"$work/$name.out" 2>&1 &
  running=$!
  second_moves() { [ "$(device_property 1 CGross)" != "d 0" ] && [ -n "$(device_property 1 CGross)" ]; }
  wait_for 300 second_moves || fail "$name: channel 2 never reached the bus: $(cat "$work/$name.out")"
  if [ "$name" = hung-up ]; then
    # Unplugged: the line hangs up under the running manager.
    stop_process "$first_pid"
  fi
  wait_for 100 box_open "$title" || fail "$name: no box \"$title\": $(cat "$work/$name.out")"
  moves_while_box_open "$title"
  [ "$(box_shown "$title")" -eq 1 ] || fail "$name: $(box_shown "$title") boxes \"$title\""
  kill -0 "$running" 2>/dev/null || fail "$name: the manager ended: $(cat "$work/$name.out")"
  stop_process "$running"
  running=
  echo "ok: $name"
}

run_case hung-up "Tarvex Scan System Error"
run_case missing-at-start "Tarvex Device Initialization Error"
echo "PASS"
