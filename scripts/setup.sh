#!/bin/sh
# Installs the Debian packages that Pedalwise needs, and only those that are missing. Safe to
# run any number of times.
#
#   setup.sh [SET...]
#
# run    building the program and showing its window, also on a virtual display (make run)
# test   everything make test runs: run and the rest below
# With no set named, every set.
set -e

run="
build-essential cmake ninja-build pkg-config libboost-dev
qt6-base-dev qt6-svg-dev libqt6svg6 qt6-qpa-plugins libgl-dev libxcb1-dev fonts-liberation
xvfb openbox xdotool x11-utils imagemagick
"
test="
git libgtest-dev libgmock-dev googletest libbenchmark-dev
g++-mingw-w64-x86-64 wine wine64 nsis fonts-liberation2
xauth x11-apps
dbus dbus-x11 at-spi2-core python3 python3-pyatspi python3-gi gir1.2-atspi-2.0 orca
clang libclang-rt-14-dev clang-tidy cppcheck valgrind
desktop-file-utils appstream dpkg-dev file fakeroot lintian diffoscope
reprotest disorderfs faketime locales-all
"

if [ $# -eq 0 ]; then
    set -- test
fi
packages=""
for name in "$@"; do
    case $name in
    run) packages="$packages $run" ;;
    test) packages="$packages $run $test" ;;
    *)
        echo "$0: no set '$name'; the sets are run and test" >&2
        exit 2
        ;;
    esac
done

missing=""
for p in $packages; do
    if ! dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed'; then
        missing="$missing $p"
    fi
done

if [ -z "$missing" ]; then
    exit 0
fi

echo "Installing:$missing"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
$sudo env DEBIAN_FRONTEND=noninteractive apt-get update -q
# shellcheck disable=SC2086
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends $missing
