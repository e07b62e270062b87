#!/usr/bin/env bash
# The real program on a virtual 1024 x 768 X screen.
#
# A fresh program folder: the system setup file is written with its default
# line, and that line asks for an unattended start, so the main window comes
# up at once and the start-up window is hidden.
# The same folder with the automatic start switched off in the file: the
# start-up window waits with its revision shown and Continue focused.
# Both screens are saved as pictures (startup-fresh.png, startup-waiting.png)
# in the folder given as the second argument, for a person to look at.
set -u
tarvex=$1
shots=${2:-$PWD}
work=$(mktemp -d)
running=
trap '[ -n "$running" ] && kill "$running" 2>/dev/null; stop_xvfb; rm -rf "$work"' EXIT
. "$(dirname "$0")/../support/script_helpers.sh"

on_x_screen
export TARVEX_HOME=$work/home
mkdir -p "$TARVEX_HOME" "$shots"
setup=$TARVEX_HOME/TarvexSysSetup.Cfg
errors="$TARVEX_HOME/ErrorLog-Velmar Orinda Tarvex.txt"

viewable() { xwininfo -name "$1" 2>/dev/null | grep -q 'Map State: IsViewable'; }
hidden() { xwininfo -name "$1" 2>/dev/null | grep -q 'Map State: IsUnMapped'; }

# The count of pixels of a screen rectangle whose blue is well above its red:
# the focus frame of a button, where the rest of the button is grey and black.
blue_pixels() {
  convert "$1" -crop "$2" +repage -fx '(b-r)>0.2' -format '%[fx:round(mean*w*h)]' info:
}
dark_pixels() {
  convert "$1" -crop "$2" +repage -colorspace Gray -fx 'u<0.3' -format '%[fx:round(mean*w*h)]' info:
}

start_xvfb 1024x768

# 1. Fresh folder: default file, unattended start.
"$tarvex" >"$work/fresh.out" 2>&1 &
running=$!
wait_for 300 viewable "Tarvex Manager - Channels" || fail "fresh: the main window did not come up: $(cat "$work/fresh.out")"
wait_for 150 hidden "Tarvex Manager" || fail "fresh: the start-up window is still shown"
import -window root "$shots/startup-fresh.png" || fail "fresh: no screenshot"
kill -0 "$running" 2>/dev/null || fail "fresh: the program ended"
[ "$(cat "$setup")" = $'25,2,15,0,25,1,#TRUE#,#TRUE#\r' ] || fail "fresh: wrong system setup file: $(od -c "$setup" | head)"
# The system setup file's line comes first; the scan's first pass then finds
# no protocol files in the fresh folder, one line each.
# The pass may still be writing: both counts are taken from one copy.
cp "$errors" "$work/errors-fresh.txt"
head -n 1 "$work/errors-fresh.txt" | grep -q "TarvexSysSetup.Cfg File Not Found. @ " ||
  fail "fresh: wrong first error-log line: $(cat "$work/errors-fresh.txt")"
[ "$(count_lines "$work/errors-fresh.txt" .)" -eq "$((1 + $(count_lines "$work/errors-fresh.txt" 'STD Format File Not Found. @ ')))" ] ||
  fail "fresh: unexpected error-log lines: $(cat "$work/errors-fresh.txt")"
stop_process "$running"; running=

# 2. Automatic start off: the start-up window waits.
printf '25,2,15,0,25,1,#TRUE#,#FALSE#\r\n' >"$setup"
"$tarvex" >"$work/waiting.out" 2>&1 &
running=$!
wait_for 300 viewable "Tarvex Manager" || fail "waiting: no start-up window: $(cat "$work/waiting.out")"

# Where the window lies; Continue, End and the revision sit at fixed places in the 1024 layout.
geometry=$(xwininfo -name "Tarvex Manager")
x=$(sed -n 's/.*Absolute upper-left X: *//p' <<<"$geometry")
y=$(sed -n 's/.*Absolute upper-left Y: *//p' <<<"$geometry")
continue_box="180x40+$((x + 450))+$((y + 270))"
end_box="28x26+$((x + 680))+$((y + 12))"
revision_box="200x20+$((x + 36))+$((y + 444))"
shot=$shots/startup-waiting.png
# The first paint reaches the screen a little after the window maps.
focused_shot() { import -window root "$shot" && [ "$(blue_pixels "$shot" "$continue_box")" -gt 200 ]; }
wait_for 150 focused_shot || fail "waiting: Continue shows no focus frame (see $shot)"
[ "$(blue_pixels "$shot" "$end_box")" -lt 20 ] || fail "waiting: End looks focused"
[ "$(dark_pixels "$shot" "$revision_box")" -gt 40 ] || fail "waiting: no revision text"
viewable "Tarvex Manager - Channels" && fail "waiting: the main window came up without Continue"
kill -0 "$running" 2>/dev/null || fail "waiting: the program ended: $(cat "$work/waiting.out")"
echo "PASS"
