#!/usr/bin/env bash
# The real program's main window on virtual X screens 800 and 1024 pixels wide.
#
# A fresh program folder starts unattended: the main window comes up at the
# size of the screen's layout, its interface has started twice (load and first
# activation), its timers run without a failure report, and the program keeps
# running. Each screen is saved as a picture (main-window-800.png,
# main-window-1024.png) in the folder given as the second argument, for a
# person to look at.
set -u
tarvex=$1
shots=${2:-$PWD}
work=$(mktemp -d)
running=
trap '[ -n "$running" ] && kill "$running" 2>/dev/null; stop_xvfb; rm -rf "$work"' EXIT
. "$(dirname "$0")/../support/script_helpers.sh"

on_x_screen
mkdir -p "$shots"

viewable() { xwininfo -name "$1" 2>/dev/null | grep -q 'Map State: IsViewable'; }
initialized_twice() { [ "$(count_lines "$activity" '^Tarvex Manager Initialized @')" -eq 2 ]; }

for screen in 800x600:792x566 1024x768:1016x736; do
  geometry=${screen%%:*}
  size=${screen##*:}
  width=${geometry%%x*}
  export TARVEX_HOME=$work/home-$width
  mkdir -p "$TARVEX_HOME"
  activity="$TARVEX_HOME/ActiveLog-Velmar Orinda Tarvex.txt"
  errors="$TARVEX_HOME/ErrorLog-Velmar Orinda Tarvex.txt"
  start_xvfb "$geometry"
  "$tarvex" NOMINIMIZE >"$work/out-$width" 2>&1 &
  running=$!
  wait_for 300 viewable "Tarvex Manager - Channels" || fail "$width: the main window did not come up: $(cat "$work/out-$width")"
  wait_for 100 initialized_twice || fail "$width: the interface did not start twice: $(cat "$activity")"
  info=$(xwininfo -name "Tarvex Manager - Channels")
  shown="$(sed -n 's/.*Width: *//p' <<<"$info")x$(sed -n 's/.*Height: *//p' <<<"$info")"
  [ "$shown" = "$size" ] || fail "$width: the window is $shown, not $size"
  # Let the timers tick for a while before the picture is taken.
  sleep 1
  import -window root "$shots/main-window-$width.png" || fail "$width: no screenshot"
  kill -0 "$running" 2>/dev/null || fail "$width: the program ended: $(cat "$work/out-$width")"
  ! grep -q "Error" "$TARVEX_MESSAGE_BOXES" 2>/dev/null || fail "$width: an error box: $(cat "$TARVEX_MESSAGE_BOXES")"
  [ "$(count_lines "$errors" 'Timer Error')" -eq 0 ] || fail "$width: a timer failed: $(cat "$errors")"
  stop_process "$running"; running=
  stop_xvfb
done
echo "PASS"
