#!/usr/bin/env bash
# Builds and starts zuz on this display. Without a display, shows a short
# scripted session on a virtual desktop and saves its screenshots in
# out/demo/; "--docs docs" also renews the README's pictures.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/build.sh"
if [[ -n "${DISPLAY:-}" ]]; then
    exec "$top/build/bin/zuz"
fi
exec /usr/bin/python3 "$top/scripts/demo.py" --bin "$top/build/bin" --out "$top/out/demo" "$@"
