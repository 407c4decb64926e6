#!/usr/bin/env bash
# Builds and starts zuz on this display. Without a display, shows a short
# scripted session on a virtual desktop and saves its screenshots in
# out/demo/; "--docs docs" also renews the README's pictures. Installs
# what is missing of the group "build" of scripts/deps.txt, and for the
# scripted session of the group "demo"; nothing else.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/build.sh"
if [[ -n "${DISPLAY:-}" || -n "${WAYLAND_DISPLAY:-}" ]]; then
    exec "$top/build/bin/zuz"
fi
"$top/scripts/setup-deps.sh" demo
# The session drives the programs with the end-to-end tests' drivers.
PYTHONPATH="$top/tests/e2e" exec /usr/bin/python3 "$top/scripts/demo.py" --bin "$top/build/bin" --out "$top/out/demo" "$@"
