#!/usr/bin/env bash
# Builds and runs every test: unit, widget and end-to-end.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/build.sh"
cd "$top/build"
ctest --output-on-failure -j"$(nproc)" "$@"
