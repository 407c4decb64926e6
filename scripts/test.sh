#!/usr/bin/env bash
# Builds and runs every test: unit, widget and end-to-end, on the ordinary
# build in build/ and once more on the sanitized build in build-asan/, where
# a report from any process a test starts fails that test. Both trees are
# built before either suite runs, so a compile error shows at once. Then
# the Windows build and its tests under Wine (scripts/test-windows.sh).
# Arguments go to every ctest run (e.g. -R view).
#
# Installs the groups of scripts/deps.txt the tests need when they are
# missing, and, run as root, creates the test account (setup-testuser.sh).
# The tests start desktops of their own and never use the one this runs
# in: its display, Wayland socket and session bus are not passed on.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
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
status=0
echo "== the ordinary build"
ctest --test-dir "$top/build" --output-on-failure -j"$(nproc)" "$@" || status=$?
echo "== the sanitized build"
ctest --test-dir "$top/build-asan" --output-on-failure -j"$(nproc)" "$@" || status=$?
echo "== the Windows build, under Wine"
"$top/scripts/test-windows.sh" "$@" || status=$?
exit $status
