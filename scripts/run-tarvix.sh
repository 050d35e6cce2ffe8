#!/usr/bin/env bash
# Builds Tarvix and starts it on the data set in ./sample-data, which is
# created from the templates, with sample data, on first use.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
dataset=${TARVIX_DATA:-$PWD/sample-data}
if [ ! -e "$dataset/Tarvix.tvd" ]; then
  build/bin/tvx-dataset sample "$dataset" build/bin/Data
  echo "Sample data set created in $dataset"
fi
cd "$dataset"
exec "$OLDPWD/build/bin/tarvix" "$@"
