#!/usr/bin/env bash
# The Windows build and its tests: cross-builds both programs and the test
# programs with MinGW-w64 into build-win/ against a Qt for MinGW (below),
# runs the unit, widget and
# end-to-end tests under Wine in a Wine prefix made afresh inside
# build-win/, and makes the zip and the installer in build-win/. Installs
# the groups "build", "demo" (the private X desktop of the end-to-end
# test) and "windows" of scripts/deps.txt when they are missing.
# Arguments go to ctest (e.g. -R hotkey).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build="$top/build-win"
# The Qt for MinGW: $QT6_MINGW_DIR, else in the shared folder beside this
# checkout or beside the repository it was cloned from (a clean clone for
# a test run lies elsewhere), else the one scripts/build-qt-mingw.sh built.
# Without one the stage is skipped, unless ZUZ_REQUIRE_WINDOWS=1 (CI).
qt="${QT6_MINGW_DIR:-}"
if [[ -n "$qt" ]]; then
    if [[ ! -d "$qt/lib/cmake/Qt6" ]]; then
        echo "QT6_MINGW_DIR=$qt holds no Qt for MinGW (no lib/cmake/Qt6)" >&2
        exit 1
    fi
else
    candidates=("$top/../shared/qt6-mingw")
    origin=$(git -C "$top" config --get remote.origin.url 2>/dev/null || true)
    [[ -d "$origin" ]] && candidates+=("$origin/../shared/qt6-mingw")
    candidates+=("$("$top/scripts/build-qt-mingw.sh" --where)")
    for dir in "${candidates[@]}"; do
        if [[ -d "$dir/lib/cmake/Qt6" ]]; then qt=$dir; break; fi
    done
    if [[ -z "$qt" ]]; then
        why="no Qt for MinGW in ${candidates[*]} (set QT6_MINGW_DIR, or run scripts/build-qt-mingw.sh)"
        if [[ "${ZUZ_REQUIRE_WINDOWS:-0}" == 1 ]]; then
            echo "The Windows stage cannot run: $why" >&2
            exit 1
        fi
        echo "The Windows build and its tests are skipped: $why"
        exit 0
    fi
fi
qt=$(cd "$qt" && pwd)
"$top/scripts/setup-deps.sh" build demo windows

# The preset "windows" of CMakePresets.json, with the Qt for MinGW found
# above on top of its own. It builds in unity batches: the cross-compiler
# reads the Qt headers once a batch rather than once a file, which halves
# the build.
(cd "$top" && cmake --preset windows -DCMAKE_PREFIX_PATH="$qt" >/dev/null &&
    cmake --build --preset windows -j"$(nproc)")

# Wine and the tests keep off the desktop this runs in: the end-to-end test
# starts an X server of its own, the rest needs none.
unset DISPLAY WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS SESSION_MANAGER XAUTHORITY

# A prefix of this run's own; its wineserver goes when the tests are done.
export WINEPREFIX="$build/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
wineserver -k 2>/dev/null || true
rm -rf "$WINEPREFIX" "$WINEPREFIX.lock"
trap 'wineserver -k 2>/dev/null || true' EXIT
wineboot -i >/dev/null 2>&1

status=0
ctest --test-dir "$build" --output-on-failure -j"$(nproc)" "$@" || status=$?

echo "== the zip and the installer"
rm -f "$build"/zuz-zonara-*-win64.zip "$build"/zuz-zonara-*-win64.exe
(cd "$build" && cpack -G ZIP >/dev/null && cpack -G NSIS >/dev/null) || status=$?
installer=$(ls "$build"/zuz-zonara-*-win64.exe 2>/dev/null || true)
if [[ -n "$installer" ]] && ls "$build"/zuz-zonara-*-win64.zip >/dev/null 2>&1; then
    /usr/bin/python3 "$top/tests/wine/check_installer.py" --installer "$installer" || status=$?
else
    echo "no zip or no installer made" >&2
    status=1
fi
exit $status
