#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing Tarvex
# need, and only those that are missing. Run as root (or with sudo available).
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  # Whether an X window manager minimises windows.
  libxcb1-dev
  libqt6sql6-sqlite libqt6sql6-odbc unixodbc-dev odbcinst libsqliteodbc
  libgtest-dev googletest libbenchmark-dev
  dbus dbus-bin dbus-daemon systemd libglib2.0-bin libdbus-1-dev
  espeak-ng libespeak-ng-dev
  # Liberation Sans stands in for the grid's Arial with the same metrics.
  xvfb xauth x11-utils imagemagick fonts-dejavu-core fonts-liberation2
  # A window manager on the virtual screen for the box tests that depend on
  # one (stacking above stay-on-top windows, the focus coming back).
  openbox
  # Clicks on the virtual screen in the main window's script tests.
  python3 libxtst6
  # A window manager for the window tests (minimise, restore, stacking).
  openbox
  # pgrep and ps in the script tests of tools/run-manager.sh.
  procps
  locales-all
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "install-deps: installing ${missing[*]}" >&2
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
