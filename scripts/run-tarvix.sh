#!/usr/bin/env bash
# Builds Tarvix and starts it on the data set in ./sample-data (or $TARVIX_DATA),
# which is created from the templates, with sample data, on first use.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
dataset=${TARVIX_DATA:-$root/sample-data}
if [ ! -e "$dataset/Tarvix.tvd" ]; then
  "$root/build/bin/tvx-dataset" sample "$dataset" "$root/build/bin/Data"
  echo "Sample data set created in $dataset"
fi
cd "$dataset"
exec "$root/build/bin/tarvix" "$@"
