#!/usr/bin/env bash
# Installs what building Tarvix needs (Debian 12 packages) and builds it into build/.
# With --sanitize it builds the sanitizer build into build-san/ instead: clang,
# AddressSanitizer and UndefinedBehaviorSanitizer, with the libFuzzer targets.
set -euo pipefail
cd "$(dirname "$0")/.."

sanitize=false
[ "${1:-}" = "--sanitize" ] && sanitize=true

# postgresql and libpq-dev: the server engine and the throwaway cluster its tests start
packages=(g++ make cmake pkg-config qt6-base-dev qt6-qpa-plugins libsqlite3-dev libicu-dev fonts-dejavu-core poppler-utils pandoc
          dpkg-dev file desktop-file-utils postgresql libpq-dev)
# clang with its sanitizer and libFuzzer runtimes (libclang-rt-14-dev); llvm for
# llvm-symbolizer, which puts file and line into a sanitizer's report
$sanitize && packages+=(clang libclang-rt-14-dev llvm)
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

if $sanitize; then
  cmake -S . -B build-san -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug -DTVX_SANITIZE=ON -DTVX_FUZZ=ON -DTVX_BENCH=OFF >/dev/null
  cmake --build build-san -j2
else
  cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build build -j2
fi
