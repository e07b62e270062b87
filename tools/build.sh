#!/usr/bin/env bash
# Configures and builds Tarvex into build/ (or $TARVEX_BUILD_DIR): the given
# targets, or everything (the tests too) without arguments.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${TARVEX_BUILD_DIR:-$top/build}
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
targets=()
for target in "$@"; do targets+=(--target "$target"); done
cmake --build "$build" --parallel "$(nproc)" ${targets[@]+"${targets[@]}"}
