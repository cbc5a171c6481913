#!/bin/sh
# Builds Qt for 64-bit Windows from Debian's own qt6-base source with MinGW-w64, once per
# machine, into a cache folder outside the clone, and prints that folder on its last line.
# A later run with the same script, compilers and host Qt finds the folder and builds nothing.
#
#   PEDALWISE_QT_CACHE   the folder the Qt builds are kept in (default /var/cache/pedalwise)
#
# Nothing of our own is applied to Qt's source: the options below are enough.
set -eu

cache_root=${PEDALWISE_QT_CACHE:-/var/cache/pedalwise}
script=$(readlink -f "$0")

versions=$(dpkg-query -W -f='${Package} ${Version}\n' qt6-base-dev qt6-base-dev-tools \
    g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-x86-64-dev)
qt_debian_version=$(dpkg-query -W -f='${Version}' qt6-base-dev)
qt_version=${qt_debian_version%%+*}
hash=$( { cat "$script"; echo "$versions"; } | sha256sum | cut -c1-12)
prefix=$cache_root/qt-$qt_version-mingw-$hash

if [ -f "$prefix/.complete" ]; then
    echo "$prefix"
    exit 0
fi

work=$cache_root/work-$hash
rm -rf "$prefix" "$work"
mkdir -p "$prefix" "$work"
trap 'rm -rf "$work"; [ -f "$prefix/.complete" ] || rm -rf "$prefix"' EXIT
start=$(date +%s)

# The installed Qt remembers its toolchain file by absolute path, so the file lives in the
# cache folder beside the Qt it built. Qt must find itself, hence no package root mode here.
toolchain=$prefix/share/pedalwise/mingw-w64-toolchain.cmake
mkdir -p "$(dirname "$toolchain")"
cat >"$toolchain" <<'EOF'
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
EOF

# The source comes through a private apt configuration whose only entries are the deb-src
# twins of the machine's own, so the machine's apt set-up stays as it was.
apt_dir=$work/apt
mkdir -p "$apt_dir/sources.list.d" "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    sed 's/^Types:.*/Types: deb-src/' "$f" >"$apt_dir/sources.list.d/$(basename "$f")"
done
if [ -f /etc/apt/sources.list ]; then
    sed -n 's/^deb /deb-src /p' /etc/apt/sources.list >"$apt_dir/sources.list.d/main.list"
fi
apt() {
    apt-get -q -o Dir::Etc::SourceList=/dev/null \
        -o Dir::Etc::SourceParts="$apt_dir/sources.list.d" \
        -o Dir::State::Lists="$apt_dir/lists" -o Dir::Cache="$apt_dir/cache" \
        -o APT::Sandbox::User="$(id -un)" "$@"
}
apt update >/dev/null
(cd "$work" && apt source --only-source "qt6-base=$qt_debian_version" >/dev/null)
src=
for d in "$work"/qt6-base-* "$work"/qtbase-*; do
    if [ -d "$d" ]; then src=$d; break; fi
done
[ -n "$src" ] || { echo "build-windows-qt: no Qt source unpacked" >&2; exit 1; }

# The smallest Qt the program needs: Core, Gui, Widgets and Test, shared, release. Debian's
# source has no wintab, so tablet events are off; direct2d and directwrite3 go off together,
# as qwindows.dll does not link with only one of them.
mkdir -p "$work/build"
cd "$work/build"
"$src/configure" -prefix "$prefix" -xplatform win32-g++ -qt-host-path /usr \
    -release -shared -nomake examples -nomake tests \
    -no-opengl -no-dbus -no-icu -no-pkg-config \
    -qt-zlib -qt-libpng -no-libjpeg -qt-freetype -qt-harfbuzz -qt-pcre \
    -no-feature-sql -no-feature-network -no-feature-printsupport -no-feature-concurrent \
    -no-feature-xml -no-feature-tabletevent -no-feature-direct2d -no-feature-directwrite3 \
    -no-feature-vulkan -no-feature-zstd -no-feature-androiddeployqt \
    -- -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake >"$work/configure.log" 2>&1 ||
    { tail -n 40 "$work/configure.log" >&2; exit 1; }
cmake --build . --parallel "$(nproc)" >"$work/build.log" 2>&1 ||
    { grep -B 5 -A 20 'FAILED' "$work/build.log" | head -n 80 >&2; exit 1; }
cmake --install . --strip >/dev/null

end=$(date +%s)
echo "Qt $qt_version for Windows built in $(( (end - start) / 60 )) min $(( (end - start) % 60 )) s" >&2
touch "$prefix/.complete"
echo "$prefix"
