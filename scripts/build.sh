#!/usr/bin/env bash
# Installs what building needs when it is missing (the group "build" of
# scripts/deps.txt), then configures and builds into build/, or with
# --sanitize into build-asan/ with AddressSanitizer and
# UndefinedBehaviorSanitizer.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
dir=build
options=()
if [[ "${1:-}" == "--sanitize" ]]; then
    dir=build-asan
    options=(-DZUZ_ZONARA_SANITIZE=ON)
fi
"$top/scripts/setup-deps.sh" build
cmake -S "$top" -B "$top/$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${options[@]}" >/dev/null
cmake --build "$top/$dir" -j"$(nproc)"
