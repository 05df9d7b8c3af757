#!/usr/bin/env bash
# Builds Sorvane and starts it on the virtual bus with the demo traffic.
set -euo pipefail
cd "$(dirname "$0")"
root=$(pwd)
scripts/deps.sh full
cmake -S "$root" -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j "${SORVANE_JOBS:-2}"

export SORVANE_VCAN_CONFIG=${SORVANE_VCAN_CONFIG:-$root/build/demo/vcan-demo.ini}
exec build/bin/sorvane-vcan-view "$@"
