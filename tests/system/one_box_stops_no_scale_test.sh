#!/usr/bin/env bash
# The real program on a virtual X screen with real boxes: channel 1 and
# channel 2 read simulated scales on pseudo-terminals. When channel 1's scale
# is unplugged (its line hangs up), or its device is missing at start, the
# error box waits on the screen while channel 2's weight keeps reaching the
# bus; the same error opens one box only. With TARVEX_SCREENSHOTS set to a
# folder, the screen is saved there with each box open.
set -u
tarvex=$1
scale_sim=$2
work=$(mktemp -d)
running=
sims=()
cleanup() { stop_box_test "$running" ${sims[@]+"${sims[@]}"}; }
trap cleanup EXIT
here=$(dirname "$0")
. "$here/../support/script_helpers.sh"
. "$support/box_helpers.sh"

export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 0700 "$XDG_RUNTIME_DIR"
export QT_QPA_PLATFORM=xcb
# Real boxes: nothing records or answers them.
unset TARVEX_MESSAGE_BOXES
start_xvfb 1024x768
start_private_bus

box_shown() { xwininfo -root -tree | grep -c "\"$1\""; }
# box_open <title>...: a box of one of the titles is on the screen.
box_open() {
  local title
  for title in "$@"; do [ "$(box_shown "$title")" -ge 1 ] && return 0; done
  return 1
}

run_case() {
  local name=$1 titles=("${@:2}") title
  local home=$work/$name
  mkdir -p "$home"
  "$scale_sim" --write-demo-protocol "$home/Tarvex-Std-CustFmt1.Cfg" || fail "no protocol file"
  scale_channel_file "$home" 1 "Scale 1"
  scale_channel_file "$home" 2 "Scale 2"
  local first=/nonexistent/ttyUSB0
  if [ "$name" = hung-up ]; then
    start_ramping_scale "$home" 1
    sims+=("$scale_pid")
    first=$device
    first_pid=$scale_pid
  fi
  start_ramping_scale "$home" 2
  sims+=("$scale_pid")
  printf '1,"%s"\r\n2,"%s"\r\n' "$first" "$device" >"$home/TarvexPorts.Cfg"

  TARVEX_HOME=$home "$tarvex" NOMINIMIZE >"$work/$name.out" 2>&1 &
  running=$!
  second_moves() { [ "$(device_property 1 CGross)" != "d 0" ] && [ -n "$(device_property 1 CGross)" ]; }
  wait_for 300 second_moves || fail "$name: channel 2 never reached the bus: $(cat "$work/$name.out")"
  if [ "$name" = hung-up ]; then
    # Unplugged: the line hangs up under the running manager and the device
    # goes away; the simulator keeps its number until the case ends, so the
    # manager's next open cannot reach a pseudo-terminal of another test.
    kill -USR1 "$first_pid"
    wait_for 50 [ ! -e "$first" ] || fail "$name: the unplugged device $first is still there"
  fi
  wait_for 100 box_open "${titles[@]}" || fail "$name: no box \"${titles[*]}\": $(cat "$work/$name.out")"
  shown_now() { box_open "${titles[@]}"; }
  gross_moves_behind 1 "${titles[*]}" shown_now
  if [ -n "${TARVEX_SCREENSHOTS:-}" ]; then mkdir -p "$TARVEX_SCREENSHOTS" && import -window root "$TARVEX_SCREENSHOTS/$name.png"; fi
  for title in "${titles[@]}"; do
    [ "$(box_shown "$title")" -le 1 ] || fail "$name: $(box_shown "$title") boxes \"$title\""
  done
  kill -0 "$running" 2>/dev/null || fail "$name: the manager ended: $(cat "$work/$name.out")"
  stop_process "$running"
  running=
  echo "ok: $name"
}

# Depending on what notices the hang-up first (the machine's load decides),
# the box is the scan's error or the initialisation error of a channel whose
# device is gone; one box either way.
run_case hung-up "Tarvex Scan System Error" "Tarvex Device Initialization Error"
run_case missing-at-start "Tarvex Device Initialization Error"
echo "PASS"
