#!/usr/bin/env bash
# Builds, then runs every benchmark and prints its figures.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
# The benchmarks run on the tests' private desktops, X11 and Wayland.
"$top/scripts/setup-deps.sh" build demo test-x11 test-wayland
[[ $(id -u) -ne 0 ]] || "$top/scripts/setup-testuser.sh"
"$top/scripts/build.sh"
py=/usr/bin/python3
# The runners import the end-to-end tests' drivers and bench/benchrun.py.
export PYTHONPATH="$top/tests/e2e:$top/bench"
echo "== zuz: start-up and repaints"
$py "$top/bench/view/run_view_bench.py" --bin "$top/build/bin" --bench "$top/build/bench/view"
echo "== zuz: the aids to reading, their keys, the band and scrolling"
$py "$top/bench/view/run_aids_bench.py" --bench "$top/build/bench/view"
echo "== zuz: Ctrl+Z to the view, memory while waiting"
$py "$top/bench/tray/run_hotkey_bench.py" --bin "$top/build/bin"
echo "== Zonara: picker and magnified window"
$py "$top/bench/region/run_region_bench.py" --bench "$top/build/bench/region"
echo "== Derudovudi: \"Snarell\" to the picker, beside Zonara's click to its picker"
$py "$top/bench/capture/run_capture_bench.py" --bin "$top/build/bin"
echo "== annotation editor: selection engine"
QT_QPA_PLATFORM=offscreen "$top/build/bench/selection/bench_selection"
echo "== annotation editor: a pen's move, a wheel notch and Ctrl+C over 1,000 drawings"
$py "$top/bench/editordraw/run_editordraw_bench.py" --bench "$top/build/bench/editordraw"
echo "== annotation editor: opening, tracing, outline, dragging"
$py "$top/bench/editor/run_editor_bench.py" --bench "$top/build/bench/editor"
echo "== idle cost: zuz in the tray, Zonara's button, a magnified region"
$py "$top/bench/idle/run_idle_bench.py" --bin "$top/build/bin"
echo "== long use: 1,000 views, 1,000 picks, a stroke of 100,000 points"
$py "$top/bench/longuse/run_long_use_bench.py" --bin "$top/build/bin"
echo "== Wayland against X11: zuz --view to the view, Zonara's click to the picker"
$py "$top/bench/wayland/run_wayland_bench.py" --bin "$top/build/bin"
