#!/usr/bin/env bash
# Installs what is missing, builds, and starts the manager with its own program
# folder (run/ in the checkout, or $TARVEX_HOME). Extra arguments are the
# manager's switches (e.g. NOMINIMIZE DEBUG).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/tools/install-deps.sh"
"$top/tools/build.sh"
build=${TARVEX_BUILD_DIR:-$top/build}

export TARVEX_HOME=${TARVEX_HOME:-$top/run}
mkdir -p "$TARVEX_HOME"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  # A headless machine: run on a virtual X screen so the windows exist for real.
  echo "run-manager: no display; starting on a virtual 1024x768 X screen" >&2
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$build/bin/tarvex" "$@"
fi
exec "$build/bin/tarvex" "$@"
