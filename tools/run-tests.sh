#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite with ctest.
# Extra arguments go to ctest (e.g. -L foundation).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/tools/install-deps.sh"
"$top/tools/build.sh"
build=${TARVEX_BUILD_DIR:-$top/build}

# Tests never touch the user's session: a private runtime folder, no display.
runtime=$(mktemp -d /tmp/tarvex-test-runtime.XXXXXX)
chmod 0700 "$runtime"
trap 'rm -rf "$runtime"' EXIT
export XDG_RUNTIME_DIR=$runtime
export QT_QPA_PLATFORM=offscreen
unset DISPLAY WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS

cd "$build"
ctest --output-on-failure --parallel "$(nproc)" --timeout 600 "$@"
