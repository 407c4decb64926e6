#!/usr/bin/env bash
# Builds the Qt for MinGW-w64 that the Windows stage (test-windows.sh)
# builds against, from Debian's own qt6-base source: qtbase 6.4.2, shared,
# release, with the features the programs do not use switched off. About
# 1.5 hours on 2 cores, 2 GB of disk while it builds, 150 MB when done.
#
#   build-qt-mingw.sh           builds into the cache folder the stage looks in
#   build-qt-mingw.sh PREFIX    builds into PREFIX (then QT6_MINGW_DIR=PREFIX)
#   build-qt-mingw.sh --where   prints the cache folder
#
# The source comes through apt-get from Debian's archive, with a package
# list of its own in the work folder, so neither root nor a deb-src line in
# the machine's sources is needed. Two edits to the source: Debian's copy
# leaves out the bundled wintab.h, so the Windows platform plugin goes
# without Wacom tablet support; and its checks for dynamic OpenGL also
# require OpenGL, which is off.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
version=6.4.2
cache="${XDG_CACHE_HOME:-$HOME/.cache}/zuz-zonara"
if [[ "${1:-}" == "--where" ]]; then
    echo "$cache/qt6-mingw-$version"
    exit 0
fi
prefix=${1:-$cache/qt6-mingw-$version}
mkdir -p "$(dirname "$prefix")"
prefix=$(cd "$(dirname "$prefix")" && pwd)/$(basename "$prefix")
if [[ -d "$prefix/lib/cmake/Qt6" ]]; then
    echo "A Qt for MinGW is there already: $prefix"
    exit 0
fi
"$top/scripts/setup-deps.sh" build windows
work="$cache/qt6-mingw-work"
mkdir -p "$work"
cd "$work"

# The source package, through a package list of this folder's own.
apt_dir="$work/apt"
mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg]" \
    "http://deb.debian.org/debian $codename main" > "$apt_dir/sources.list"
apt_opts=(-o "Dir::Etc::SourceList=$apt_dir/sources.list" -o "Dir::Etc::SourceParts=-"
          -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir/cache"
          -o "Debug::NoLocking=1" -o "APT::Sandbox::User=$(id -un)")
tarball=qt6-base_$version+dfsg.orig.tar.xz
if [[ ! -f "$tarball" ]]; then
    apt-get "${apt_opts[@]}" -qq update
    apt-get "${apt_opts[@]}" source --download-only "qt6-base"
fi
[[ -f "$tarball" ]] || { echo "Debian's qt6-base source is not $version: no $tarball" >&2; exit 1; }
src="$work/qtbase-everywhere-src-$version"
rm -rf "$src" "$work/build"
tar xf "$tarball"
patch -s -p1 -d "$src" < "$top/scripts/qt-mingw.patch"

# The same toolchain file as the programs' Windows build: the POSIX thread
# model, libraries from the MinGW sysroot, moc and rcc from Debian's Qt.
cmake -G Ninja -S "$src" -B "$work/build" \
    -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64-x86_64.cmake" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
    -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_opengl=OFF \
    -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF \
    -DFEATURE_vulkan=OFF -DFEATURE_openssl=OFF -DFEATURE_sql_sqlite=OFF -DFEATURE_zstd=OFF
nice -n 10 cmake --build "$work/build"

# Installed beside the prefix and moved there whole, so that the Windows
# stage never finds half a Qt.
rm -rf "$prefix.part"
cmake --install "$work/build" --prefix "$prefix.part"
x86_64-w64-mingw32-strip --strip-unneeded "$prefix.part"/bin/*.dll "$prefix.part"/plugins/*/*.dll
mv "$prefix.part" "$prefix"
rm -rf "$work"
echo "Built the Qt for MinGW into $prefix"
