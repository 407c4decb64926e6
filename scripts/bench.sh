#!/usr/bin/env bash
# Builds, then runs every benchmark and prints its figures.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/build.sh"
/usr/bin/python3 "$top/bench/view/run_view_bench.py" --bin "$top/build/bin" --bench "$top/build/bench/view"
for b in "$top"/build/bench/*/bench_*; do
    case "$(basename "$b")" in bench_view) continue ;; esac
    [[ -x "$b" ]] || continue
    echo "== $(basename "$b")"
    QT_QPA_PLATFORM=offscreen "$b"
done
