#!/usr/bin/env bash
# The message box tests on a virtual X screen, where the program's box is
# really shown (on a screen nobody sees it answers at once, unshown).
set -u
tests=$1
work=$(mktemp -d)
trap 'stop_xvfb; rm -rf "$work"' EXIT
here=$(dirname "$0")
. "$here/../../../support/script_helpers.sh"

start_xvfb 1024x768
out=$(QT_QPA_PLATFORM=xcb "$tests" --gtest_filter='TerminalErrorBoxTest.*' 2>&1) || fail "$out"
! grep -q "SKIPPED" <<<"$out" || fail "the box tests did not run on the screen: $out"
grep -q "PASSED  \] 2 tests" <<<"$out" || fail "not every box test ran: $out"
echo "PASS"
