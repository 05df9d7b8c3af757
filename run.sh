#!/usr/bin/env bash
# Builds Sorvane and starts it on the virtual bus with the demo traffic.
set -euo pipefail
cd "$(dirname "$0")"
root=$(pwd)
scripts/deps.sh full
cmake -S "$root" -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j "${SORVANE_JOBS:-2}"

export SORVANE_VCAN_CONFIG=${SORVANE_VCAN_CONFIG:-$root/build/demo/vcan-demo.ini}

# Without a display there is no window to show: print the demo traffic instead.
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "run.sh: no display; showing the virtual bus in the terminal (Ctrl-C ends)" >&2
  exec build/bin/sorvane-vcan-view "$@"
fi

# First run: CAN1 (classic, 500 kbit/s) and CAN2 (CAN FD, 500 kbit/s / 2 Mbit/s) set up
# for the demo vehicle, so that communication starts from the toolbar at once.
if build/bin/sorvane-cli env show 2>&1 >/dev/null | grep -q 'no stored settings'; then
  build/bin/sorvane-cli env import build/demo/demo-env.ini
fi
if [ $# -eq 0 ]; then
  set -- "$root/build/demo/demo.dbc"
fi
exec build/bin/sorvane "$@"
