# Helpers of the box tests on a virtual X screen. Source it after
# tests/support/script_helpers.sh; never run it.

# stop_box_test <pid>...: stops the processes given (empty ones skipped) in
# that order, then the session bus and the X screen, and removes $work.
stop_box_test() {
  local pid
  for pid in "$@"; do [ -z "$pid" ] || stop_process "$pid"; done
  stop_private_bus
  stop_xvfb
  rm -rf "$work"
}

# scale_channel_file <home> <n> <description>: channel n reads the sample
# protocol (protocol 10) on COMn at 9600,N,8,1, enabled.
scale_channel_file() {
  local home=$1 n=$2 t tags=
  for t in GROSS TARE NET SCALESTAT CMD CMDPARM CMDSTAT; do tags+="\"SCALE_$n/$t.CV\","; done
  printf '10,0,%d,33,#FALSE#,"","%s",0,"","","OPC.DELTAV.1","%s",#FALSE#,#TRUE#,#FALSE#,#FALSE#,#FALSE#,#TRUE#,#FALSE#,#FALSE#,#TRUE#,30,12,50,%s,1,0,#FALSE#\r\n' \
    $((n - 1)) "$3" "$home/WtData-SCALE$n.Txt" "${tags%,}" >"$home/Tarvex-SCALE$n.Cfg"
}

# start_ramping_scale <home> <n>: a scale ramping 0 to 100 on a pseudo-terminal;
# its device path in $device, its pid in $scale_pid.
start_ramping_scale() {
  rm -f "$work/sim$2"
  mkfifo "$work/sim$2"
  "$scale_sim" --protocol "$1/Tarvex-Std-CustFmt1.Cfg" --script ramp --weight 100 --interval-ms 20 \
    >"$work/sim$2" 2>"$work/sim$2.log" &
  scale_pid=$!
  read -r -t 10 device <"$work/sim$2" || fail "scale $2 did not start: $(cat "$work/sim$2.log")"
}

# gross_moves_behind <device> <box title> <shown>: the device's CGross on the
# bus takes at least five values within about five seconds while the box,
# which <shown> finds on the screen, stays open.
gross_moves_behind() {
  local n=$1 title=$2 shown=$3 seen=() value i
  for ((i = 0; i < 100 && ${#seen[@]} < 5; i++)); do
    value=$(device_property "$n" CGross)
    if [ -n "$value" ] && [[ " ${seen[*]-} " != *" $value "* ]]; then seen+=("$value"); fi
    sleep 0.05
  done
  "$shown" "$title" || fail "the box \"$title\" closed by itself"
  [ ${#seen[@]} -ge 5 ] || fail "Device $n's gross stood still behind \"$title\": ${seen[*]-none}"
}
