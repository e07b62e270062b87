# Shared helpers of the script tests. Source it; never run it.

# The folder of the helpers: the X and pseudo-terminal tools beside them.
support=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

fail() { echo "FAIL: $*" >&2; exit 1; }

# wait_for <tenths of a second> <command...>: polls until the command succeeds.
wait_for() {
  local tenths=$1; shift
  local i
  for ((i = 0; i < tenths; i++)); do
    if "$@" >/dev/null 2>&1; then return 0; fi
    sleep 0.1
  done
  return 1
}

# start_xvfb <width>x<height>: starts a virtual X screen and exports DISPLAY.
start_xvfb() {
  local geometry=$1 fifo
  fifo=$(mktemp -u "$work/xvfb.XXXXXX")
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 "${geometry}x24" -nolisten tcp 3>"$fifo" 2>"$work/xvfb.log" &
  xvfb_pid=$!
  local display
  read -r -t 10 display <"$fifo" || fail "Xvfb did not start"
  rm -f "$fifo"
  export DISPLAY=":$display"
}

stop_xvfb() {
  if [ -n "${xvfb_pid:-}" ]; then stop_process "$xvfb_pid"; fi
  xvfb_pid=
}

# ended <pid>: the process is gone (a zombie not reaped yet counts as gone).
ended() { ! kill -0 "$1" 2>/dev/null || [[ $(ps -o stat= -p "$1" 2>/dev/null) == Z* ]]; }

# stop_process <pid> [<tenths of a second>]: asks the process to end (TERM),
# kills it when it is still there after the time given (5 s unless told), and
# reaps it when it is a child of this shell. Never waits longer than twice the
# time given.
stop_process() {
  local pid=$1 tenths=${2:-50}
  kill "$pid" 2>/dev/null
  wait_for "$tenths" ended "$pid" || kill -KILL "$pid" 2>/dev/null
  if wait_for "$tenths" ended "$pid"; then wait "$pid" 2>/dev/null; fi
  return 0
}

# count_lines <file> <pattern>: the count of matching lines, 0 without the file.
count_lines() { if [ -f "$1" ]; then grep -c "$2" "$1"; else echo 0; fi; }

# on_x_screen: the program runs on the X screen start_xvfb gives it, records
# its message boxes in $work/boxes.txt and keeps its runtime files in $work.
on_x_screen() {
  export QT_QPA_PLATFORM=xcb
  export TARVEX_MESSAGE_BOXES=$work/boxes.txt
  export XDG_RUNTIME_DIR=$work/runtime
  mkdir -m 0700 "$XDG_RUNTIME_DIR"
}

# start_private_bus: starts a session bus of the test's own and exports its
# address.
start_private_bus() {
  local fifo
  fifo=$(mktemp -u "$work/bus.XXXXXX")
  mkfifo "$fifo"
  dbus-daemon --session --nofork --nopidfile --print-address=3 3>"$fifo" 2>"$work/bus.log" &
  bus_pid=$!
  read -r -t 10 DBUS_SESSION_BUS_ADDRESS <"$fifo" || fail "dbus-daemon did not start"
  rm -f "$fifo"
  export DBUS_SESSION_BUS_ADDRESS
}

stop_private_bus() {
  if [ -n "${bus_pid:-}" ]; then kill "$bus_pid" 2>/dev/null; wait "$bus_pid" 2>/dev/null; fi
  bus_pid=
}

# bare_machine: tools/run-manager.sh runs as on a machine with neither
# display nor session bus (a test may start a screen after), on the program
# folder $work/home, with the programs built already; message boxes are
# recorded in $work/boxes.txt and runtime files kept in $work/runtime.
bare_machine() {
  unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM DBUS_SESSION_BUS_ADDRESS
  export XDG_RUNTIME_DIR=$work/runtime
  mkdir -m 0700 "$XDG_RUNTIME_DIR"
  export TARVEX_HOME=$work/home
  export TARVEX_MESSAGE_BOXES=$work/boxes.txt
  export TARVEX_NO_BUILD=1
}

# offscreen_manager: the manager under test runs offscreen on the program
# folder $work/home, records its message boxes in $work/boxes.txt, keeps its
# runtime files in $work/runtime and publishes on a session bus of the
# test's own.
offscreen_manager() {
  export TARVEX_HOME=$work/home
  export TARVEX_MESSAGE_BOXES=$work/boxes.txt
  export QT_QPA_PLATFORM=offscreen
  export XDG_RUNTIME_DIR=$work/runtime
  mkdir -m 0700 "$XDG_RUNTIME_DIR" "$TARVEX_HOME"
  start_private_bus
}

# open_pty_line [<file>]: a pseudo-terminal held as a scale's line
# (pty_owner.py). Sets device to the path the program opens; what the script
# writes to its fd 4 goes onto the line; what the program sends is appended
# to the file when one is given, else dropped.
open_pty_line() {
  mkfifo "$work/to-line" "$work/device"
  python3 "$support/pty_owner.py" "$@" <"$work/to-line" >"$work/device" &
  line_pid=$!
  exec 4>"$work/to-line"
  read -r -t 10 device <"$work/device" || fail "no pseudo-terminal"
}

stop_pty_line() {
  if [ -n "${line_pid:-}" ]; then kill "$line_pid" 2>/dev/null; wait "$line_pid" 2>/dev/null; fi
  line_pid=
}

# device_property <n> <property>: busctl's reading of a property of /Device/<n>.
device_property() {
  busctl --address="$DBUS_SESSION_BUS_ADDRESS" get-property org.tarvex.Manager "/Device/$1" \
    org.tarvex.Device1 "$2" 2>/dev/null
}

# ask <command>: sends one shell command to the terminal-sim running as the
# coprocess SIM and prints its output up to the line starting "ok" or
# "error" (that line included), within 20 s.
ask() {
  local reply
  echo "$1" >&"${SIM[1]}"
  while read -r -t 20 reply <&"${SIM[0]}"; do
    echo "$reply"
    case $reply in ok*|error*) return 0 ;; esac
  done
  return 1
}

# request_tray_menu <item>: the panel's request for the item's context menu,
# until the tray menu is on the screen. A pop-up now and then closes as it
# opens, under load; the request is made again, as an operator would
# right-click again, at most three times, and each miss is reported.
tray_menu_shown() { xwininfo -name "Tray Menu" 2>/dev/null | grep -q "Map State: IsViewable"; }
request_tray_menu() {
  local attempt
  for attempt in 1 2 3; do
    dbus-send --session --print-reply --reply-timeout=2000 --dest="$1" /StatusNotifierItem \
      org.kde.StatusNotifierItem.ContextMenu int32:500 int32:400 >/dev/null || fail "the item refused its context menu"
    wait_for 30 tray_menu_shown && return 0
    echo "note: no tray menu after request $attempt; asking again" >&2
  done
  fail "no tray menu after three requests"
}

# click <x> <y>: a click of the left button at that point of the X screen.
click() { python3 "$support/x_click.py" "$1" "$2" || fail "no click at $1 $2"; }

# start_window_manager: starts openbox on $DISPLAY (its pid in $wm) and waits
# until it manages the screen. Fails with the reason in $wm_problem when it
# cannot.
start_window_manager() {
  wm_problem=
  if ! command -v openbox >/dev/null; then
    wm_problem="openbox is not installed (tools/install-deps.sh installs it)"
    return 1
  fi
  mkdir -p "$work/wm-config"
  XDG_CONFIG_HOME=$work/wm-config openbox --sm-disable >"$work/wm.log" 2>&1 &
  wm=$!
  if ! wait_for 100 managed; then
    wm_problem="openbox did not start: $(cat "$work/wm.log")"
    return 1
  fi
}
managed() { xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'; }
