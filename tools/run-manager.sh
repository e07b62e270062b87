#!/usr/bin/env bash
# Installs what is missing, builds the manager and its companion programs, and
# starts the manager with its own program folder (run/ in the checkout, or
# $TARVEX_HOME). Extra arguments are the manager's switches (e.g. NOMINIMIZE
# DEBUG).
#
# A program folder that does not exist yet becomes a demonstration folder:
# channel 1 reads a simulated scale (tools/scale-sim on a pseudo-terminal,
# sending the frames of its sample protocol), enabled and described as a
# simulated scale. Each later start on that folder starts the simulator again
# and points the channel's port at its new device: only that port's line of
# TarvexPorts.Cfg is replaced, the lines an operator added stay. Any other
# existing folder runs as configured. While a manager runs on the folder, the
# script says so and ends, touching nothing.
#
# Without a display the manager runs on a virtual X screen; without a session
# bus, on a private one. Both, and the simulator, end with the manager.
# TARVEX_NO_BUILD=1 skips installing and building (the programs are in
# $TARVEX_BUILD_DIR/bin already).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${TARVEX_BUILD_DIR:-$top/build}
if [ -z "${TARVEX_NO_BUILD:-}" ]; then
  "$top/tools/install-deps.sh"
  "$top/tools/build.sh" tarvex scale-sim terminal-sim tarvex-host
fi
bin=$build/bin

export TARVEX_HOME=${TARVEX_HOME:-$top/run}
# The marker of a demonstration folder: the simulator's line settings.
demo_marker=DemoScale.txt
demo_settings=9600,N,8,1
demo_port=1

# A zombie not reaped yet has ended.
still_running() { kill -0 "$1" 2>/dev/null && [[ $(ps -o stat= -p "$1" 2>/dev/null) != Z* ]]; }
# Ends child processes: TERM to each, then up to five seconds for each to end,
# then KILL to any still there; reaps them. A program that does not end on TERM
# never keeps the script from ending.
end_children() {
  local pid tenths
  for pid in "$@"; do kill "$pid" 2>/dev/null || true; done
  for pid in "$@"; do
    for ((tenths = 0; tenths < 50; tenths++)); do
      still_running "$pid" || break
      sleep 0.1
    done
    if still_running "$pid"; then kill -KILL "$pid" 2>/dev/null || true; fi
    wait "$pid" 2>/dev/null || true
  done
}

helpers=()
scratch=$(mktemp -d)
end_helpers() {
  end_children ${helpers[@]+"${helpers[@]}"}
  rm -rf "$scratch"
}
manager=
end_manager() {
  [ -z "$manager" ] || end_children "$manager"
  manager=
  exit 130
}
trap end_helpers EXIT
trap end_manager HUP INT TERM

say() { echo "run-manager: $*" >&2; }

# Reads the first line a helper writes to the fifo, within ten seconds.
first_line_of() {
  local fifo=$1 line
  read -r -t 10 line <"$fifo" || return 1
  echo "$line"
}

make_demo_folder() {
  local home=$1
  mkdir -p "$home"
  "$bin/scale-sim" --write-demo-protocol "$home/Tarvex-Std-CustFmt1.Cfg"
  printf '%s\r\n' "$demo_settings" >"$home/$demo_marker"
  # Channel 1: protocol 10 (the file above) on COM1 at 9600,N,8,1, enabled,
  # logged to the activity log, with its DDE topic; units KG.
  local tags='"SCALE_1/GROSS.CV","SCALE_1/TARE.CV","SCALE_1/NET.CV","SCALE_1/SCALESTAT.CV","SCALE_1/CMD.CV","SCALE_1/CMDPARM.CV","SCALE_1/CMDSTAT.CV"'
  printf '10,0,%d,33,#FALSE#,"","Simulated Scale",0,"","","OPC.DELTAV.1","%s",#FALSE#,#TRUE#,#FALSE#,#FALSE#,#FALSE#,#TRUE#,#FALSE#,#FALSE#,#TRUE#,30,12,50,%s,1,0,#FALSE#\r\n' \
    $((demo_port - 1)) "$home/WtData-SCALE1.Txt" "$tags" >"$home/Tarvex-SCALE1.Cfg"
}

# set_port_line <file> <port> <device>: the port's line says the device; every
# other line stays as it was, in its place. A port without a line gets one at
# the end. Lines end in CR LF.
set_port_line() {
  local file=$1 port=$2 device=$3 line
  line=$(printf '%d,"%s"' "$port" "$device")
  if [ ! -f "$file" ]; then
    printf '%s\r\n' "$line" >"$file"
    return
  fi
  awk -v port="$port" -v line="$line" '
    BEGIN { RS = "\n"; done = 0 }
    { sub(/\r$/, "") }
    $0 ~ ("^[ \t]*" port "[ \t]*,") { if (!done) printf "%s\r\n", line; done = 1; next }
    { printf "%s\r\n", $0 }
    END { if (!done) printf "%s\r\n", line }
  ' "$file" >"$file.new" && mv "$file.new" "$file"
}

# A manager runs on the folder: the first word of its lock file is the id of
# a live tarvex process (the rest of the file, a host name or more lines, is
# not read), and that process holds the file's lock. The file of a manager
# that ended can stay behind, its id since taken by another manager on
# another folder: nobody holds its lock. A manager whose program file a new
# build has replaced since it started is still a tarvex process (the system
# names its program "tarvex (deleted)"). Sets running_pid.
running_pid=
manager_running_on() {
  local lock=$1/TarvexManager.lock pid= rest exe
  [ -f "$lock" ] || return 1
  read -r pid rest <"$lock" 2>/dev/null
  [[ $pid =~ ^[0-9]+$ ]] && still_running "$pid" || return 1
  exe=$(readlink "/proc/$pid/exe" 2>/dev/null) || return 1
  [ "$(basename "${exe% (deleted)}")" = tarvex ] || return 1
  if command -v flock >/dev/null; then
    # Taken at once here: no manager holds it. Any other answer (held, or a
    # file this user cannot open) leaves the live process's word standing.
    flock --nonblock --conflict-exit-code 75 "$lock" true 2>/dev/null && return 1
  fi
  running_pid=$pid
}

start_scale_simulator() {
  local home=$1 fifo=$scratch/scale-sim
  mkfifo "$fifo"
  "$bin/scale-sim" --protocol "$home/Tarvex-Std-CustFmt1.Cfg" --settings "$demo_settings" --script ramp \
    --weight 100 --units KG >"$fifo" 2>"$home/scale-sim.log" &
  helpers+=($!)
  local device
  device=$(first_line_of "$fifo") || { say "the scale simulator did not start: $(cat "$home/scale-sim.log")"; exit 1; }
  set_port_line "$home/TarvexPorts.Cfg" "$demo_port" "$device"
  say "channel 1 reads a simulated scale on $device (its log: $home/scale-sim.log)"
}

start_virtual_screen() {
  local fifo=$scratch/xvfb
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" 2>"$scratch/xvfb.log" &
  helpers+=($!)
  local display
  display=$(first_line_of "$fifo") || { say "Xvfb did not start: $(cat "$scratch/xvfb.log")"; exit 1; }
  export DISPLAY=":$display"
  export QT_QPA_PLATFORM=xcb
}

start_private_bus() {
  local fifo=$scratch/bus
  mkfifo "$fifo"
  dbus-daemon --session --nofork --nopidfile --print-address=3 3>"$fifo" 2>"$scratch/bus.log" &
  helpers+=($!)
  local address
  address=$(first_line_of "$fifo") || { say "dbus-daemon did not start"; exit 1; }
  export DBUS_SESSION_BUS_ADDRESS=$address
}

# A session bus is there when its address is set (and not disabled), or when
# the user's bus socket is where the bus library looks without an address.
have_session_bus() {
  case "${DBUS_SESSION_BUS_ADDRESS:-}" in
    disabled:*) return 1 ;;
    "")
      [ -n "${XDG_RUNTIME_DIR:-}" ] && [ -S "$XDG_RUNTIME_DIR/bus" ] || return 1
      export DBUS_SESSION_BUS_ADDRESS="unix:path=$XDG_RUNTIME_DIR/bus"
      ;;
  esac
}

switches=("$@")
if manager_running_on "$TARVEX_HOME"; then
  say "a manager already runs on $TARVEX_HOME (process $running_pid): nothing was started or changed"
  exit 1
fi
if [ ! -e "$TARVEX_HOME" ]; then
  say "$TARVEX_HOME does not exist: making a demonstration folder there"
  make_demo_folder "$TARVEX_HOME"
fi
if [ -f "$TARVEX_HOME/$demo_marker" ]; then
  # The demonstration shows the grid rather than going to the tray.
  [ ${#switches[@]} -gt 0 ] || switches=(NOMINIMIZE)
  demo_settings=$(tr -d '\r\n' <"$TARVEX_HOME/$demo_marker")
  start_scale_simulator "$TARVEX_HOME"
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  start_virtual_screen
  say "no display: the windows are on the virtual X screen DISPLAY=$DISPLAY (1024x768);"
  say "  take a picture of it with: DISPLAY=$DISPLAY import -window root screen.png"
fi
if ! have_session_bus; then
  start_private_bus
  say "no session bus: the manager publishes on a private one"
fi
say "program folder: $TARVEX_HOME"
say "session bus: DBUS_SESSION_BUS_ADDRESS=$DBUS_SESSION_BUS_ADDRESS"
say "read channel 1 (Device 0) from another shell:"
say "  busctl --address='$DBUS_SESSION_BUS_ADDRESS' get-property org.tarvex.Manager /Device/0 org.tarvex.Device1 CGross CDeviceDesc"
say "  DBUS_SESSION_BUS_ADDRESS='$DBUS_SESSION_BUS_ADDRESS' QT_QPA_PLATFORM=offscreen $bin/tarvex-host --channel 0 --updates 3 --wait-ms 3000"

# The helpers end with the manager; stopping this script stops the manager.
"$bin/tarvex" ${switches[@]+"${switches[@]}"} &
manager=$!
status=0
wait "$manager" || status=$?
manager=
exit "$status"
