#!/usr/bin/env bash
# The program's boxes really shown on a virtual X screen (on a screen nobody
# sees a box answers at once, unshown), with openbox as the window manager
# for the cases that depend on one. Without openbox those cases are skipped
# with a message; the others still run.
set -u
tests=$1
work=$(mktemp -d)
wm=
trap '[ -n "$wm" ] && stop_process "$wm"; stop_xvfb; rm -rf "$work"' EXIT
here=$(dirname "$0")
. "$here/../support/script_helpers.sh"
. "$support/box_helpers.sh"

export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 0700 "$XDG_RUNTIME_DIR"
start_xvfb 1024x768
export QT_QPA_PLATFORM=xcb
unset TARVEX_MESSAGE_BOXES

if command -v openbox >/dev/null; then
  start_window_manager || fail "$wm_problem"
  export TARVEX_TEST_WINDOW_MANAGER=openbox
else
  echo "SKIP: openbox is not installed (tools/install-deps.sh installs it): the cases that need a window manager are skipped"
fi

out=$("$tests" 2>&1) || fail "$out"
! grep -q "no box is shown" <<<"$out" || fail "the box tests did not run on the screen: $out"
# With the window manager up, every case runs: none may skip itself.
[ -z "$wm" ] || ! grep -q "^\[  SKIPPED \]" <<<"$out" || fail "cases skipped under openbox: $out"
echo "$out" | grep -E "^\[ +(OK|SKIPPED|FAILED) +\]"
echo "PASS"
