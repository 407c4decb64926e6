#!/usr/bin/env bash
# Builds and runs every test: unit, widget and end-to-end, on the ordinary
# build in build/ and once more on the sanitized build in build-asan/, where
# a report from any process a test starts fails that test. Both trees are
# built before either suite runs, so a compile error shows at once. Then
# the Windows build and its tests under Wine (scripts/test-windows.sh).
# Arguments go to every ctest run (e.g. -R view).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/build.sh"
"$top/scripts/build.sh" --sanitize
status=0
echo "== the ordinary build"
ctest --test-dir "$top/build" --output-on-failure -j"$(nproc)" "$@" || status=$?
echo "== the sanitized build"
ctest --test-dir "$top/build-asan" --output-on-failure -j"$(nproc)" "$@" || status=$?
echo "== the Windows build, under Wine"
"$top/scripts/test-windows.sh" "$@" || status=$?
exit $status
