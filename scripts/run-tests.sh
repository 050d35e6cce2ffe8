#!/usr/bin/env bash
# Builds everything and runs every test, headless: the Release build, then the
# same suite under AddressSanitizer and UndefinedBehaviorSanitizer with a short
# run of every fuzz target (build-san). Fails when either fails.
set -euo pipefail
cd "$(dirname "$0")/.."
export QT_QPA_PLATFORM=offscreen
status=0
scripts/setup.sh
(cd build && ctest --output-on-failure -j2) || status=1
scripts/setup.sh --sanitize
(cd build-san && ctest --output-on-failure -j2) || status=1
exit $status
