#!/usr/bin/env bash
# Installs what building needs when it is missing (the group "build" of
# scripts/deps.txt), then configures and builds into build/, or with
# --sanitize into build-asan/ with AddressSanitizer and
# UndefinedBehaviorSanitizer: the presets "default" and "asan" of
# CMakePresets.json.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
preset=default
if [[ "${1:-}" == "--sanitize" ]]; then
    preset=asan
fi
"$top/scripts/setup-deps.sh" build
# cmake reads the presets from the folder it runs in.
cd "$top"
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j"$(nproc)"
