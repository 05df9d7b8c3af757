#!/usr/bin/env bash
# Installs the Debian packages the build needs, only those that are missing.
# Usage: scripts/deps.sh [core|full]
set -euo pipefail

level=${1:-full}
packages=(cmake ninja-build g++ pkg-config libgtest-dev libgmock-dev libbenchmark-dev
          clang clang-format libclang-rt-14-dev)
if [ "$level" = full ]; then
  packages+=(qt6-base-dev qt6-qpa-plugins qt6-translations-l10n libgl-dev fonts-noto-cjk fonts-dejavu-core)
  # Peers the log tests read and write candump and ASC logs with.
  packages+=(can-utils python3-can)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
