#!/usr/bin/env bash
# Installs what building Tarvix needs (Debian 12 packages) and builds it into build/.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(g++ make cmake pkg-config qt6-base-dev qt6-qpa-plugins libsqlite3-dev libicu-dev fonts-dejavu-core poppler-utils pandoc)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}"
fi

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j2
