#!/usr/bin/env bash
# Builds and runs every test: unit, widget and end-to-end, on the ordinary
# build in build/ and once more on the sanitized build in build-asan/, where
# a report from any process a test starts fails that test. Both trees are
# built before either suite runs, so a compile error shows at once. Then
# the Windows build and its tests under Wine (scripts/test-windows.sh).
# Arguments go to every ctest run (e.g. -R view, -L x11). The last lines
# say, for each build, how many tests ran, passed, failed and were
# skipped, and why each skip. With ZUZ_REQUIRE_ALL=1 (CI) a skip fails the
# run, and so does a Windows stage that cannot run.
#
# Installs the groups of scripts/deps.txt the tests need when they are
# missing, and, run as root, creates the test account (setup-testuser.sh).
# The tests start desktops of their own and never use the one this runs
# in: its display, Wayland socket and session bus are not passed on.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
[[ "${ZUZ_REQUIRE_ALL:-0}" != 1 ]] || export ZUZ_REQUIRE_WINDOWS=1
"$top/scripts/setup-deps.sh" build demo test-x11 test-monitors test-second-wm test-wayland \
    test-packaging
[[ $(id -u) -ne 0 ]] || "$top/scripts/setup-testuser.sh"
"$top/scripts/build.sh"
"$top/scripts/build.sh" --sanitize
unset DISPLAY WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS SESSION_MANAGER XAUTHORITY SWAYSOCK \
    XDG_CURRENT_DESKTOP XDG_SESSION_TYPE QT_QPA_PLATFORMTHEME QT_STYLE_OVERRIDE QT_IM_MODULE
# The desktop's runtime folder holds its session bus ("bus"), which D-Bus
# would find there; the tests get one of their own.
XDG_RUNTIME_DIR=$(mktemp -d "${TMPDIR:-/tmp}/zuz-test-runtime.XXXXXX")
export XDG_RUNTIME_DIR
trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT
# Each ctest run's output is kept to be tallied at the end, and each case
# that skips leaves its reason in ZUZ_SKIP_REPORTS (tests/conftest.py).
logs="$XDG_RUNTIME_DIR/logs"
mkdir -p "$logs"
status=0
run_stage() {  # <name> <command...>
    local name=$1
    shift
    ZUZ_SKIP_REPORTS="$logs/$name-skips" "$@" 2>&1 | tee "$logs/$name.log"
    return "${PIPESTATUS[0]}"
}
echo "== the ordinary build"
run_stage ordinary ctest --test-dir "$top/build" --output-on-failure -j"$(nproc)" "$@" || status=$?
echo "== the sanitized build"
run_stage sanitized ctest --test-dir "$top/build-asan" --output-on-failure -j"$(nproc)" "$@" ||
    status=$?
echo "== the Windows build, under Wine"
run_stage windows "$top/scripts/test-windows.sh" "$@" || status=$?

# What ran, passed, failed and was skipped in each build, and why each
# skip. ZUZ_REQUIRE_ALL=1 (CI) makes any skip fail the run.
skipped_any=0
echo
echo "== summary"
for name in ordinary sanitized windows; do
    log="$logs/$name.log"
    read -r passed failed skipped < <(awk '
        /^ *[0-9]+\/[0-9]+ +Test +#[0-9]+: / {
            if ($0 ~ /\*\*\*Skipped/) s++; else if ($0 ~ / Passed /) p++; else f++ }
        END { print p + 0, f + 0, s + 0 }' "$log")
    title=$name
    [[ $name != windows ]] || title=Windows
    # A whole stage skipped: the Windows one without a Qt for MinGW.
    why=$(sed -n 's/^The Windows build and its tests are skipped: //p' "$log")
    if [[ -n "$why" ]]; then
        echo "the $title build: skipped: $why"
        skipped_any=1
        continue
    fi
    echo "the $title build: $((passed + failed)) ran, $passed passed, $failed failed, $skipped skipped"
    if [[ -d "$logs/$name-skips" ]]; then
        cat "$logs/$name-skips"/*.txt 2>/dev/null | sed 's/^/    skipped /' || true
    fi
    ((skipped == 0)) || skipped_any=1
done
if [[ "${ZUZ_REQUIRE_ALL:-0}" == 1 && $skipped_any == 1 ]]; then
    echo "ZUZ_REQUIRE_ALL=1: every test must run here, and some were skipped" >&2
    ((status != 0)) || status=1
fi
exit $status
