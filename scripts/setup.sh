#!/bin/sh
# Installs the Debian packages that Pedalwise needs, and only those that are missing, or with
# --check only names them. Safe to run any number of times.
#
#   setup.sh [--check] [SET...]
#
# build         building the program alone (make app)
# run           showing its window, also on a virtual display (make run, make screenshot)
# tests         building its tests and benchmarks too (make build)
# linux-tests   running the Linux tests: the end-to-end ones on a virtual display, through the
#               accessibility bus and a screen reader, and the checks of the desktop files
# static        clang-tidy and cppcheck
# fuzz          libFuzzer
# windows       the program for Windows (Qt for Windows included), its setup program, and Wine
# package       the Debian package and its checks
# reproducible  comparing two builds of the packages
# debian-13     making the Debian 13 system that Debian 12 tests the program in too
# all           every set (the default)
#
# --check installs nothing: it names the missing packages and the commands that install them,
# and fails. The reproducible set also needs /dev/fuse open to the user, as Debian's udev rules
# leave it; where it is root's alone, setup opens it and --check says so.
set -e

build="
build-essential dpkg-dev cmake ninja-build pkg-config git libboost-dev
qt6-base-dev qt6-svg-dev libqt6svg6 libgl-dev libxcb1-dev fonts-liberation
"
run="qt6-qpa-plugins xvfb openbox xdotool x11-utils imagemagick"
tests="libgtest-dev libgmock-dev googletest libbenchmark-dev"
linux_tests="
$run x11-apps dbus dbus-x11 at-spi2-core
python3 python3-pyatspi python3-gi gir1.2-atspi-2.0 orca procps desktop-file-utils appstream
"
static="clang clang-tidy cppcheck"
fuzz="clang libclang-rt-dev"
windows="g++-mingw-w64-x86-64 wine wine64 nsis"
package="dpkg-dev file fakeroot lintian desktop-file-utils appstream"
reproducible="diffoscope reprotest disorderfs faketime locales-all"
debian_13="mmdebstrap"

check=no
if [ "${1:-}" = --check ]; then
    check=yes
    shift
fi
if [ $# -eq 0 ]; then
    set -- all
fi
packages=""
for name in "$@"; do
    case $name in
    build) packages="$packages $build" ;;
    run) packages="$packages $run" ;;
    tests) packages="$packages $tests" ;;
    linux-tests) packages="$packages $linux_tests" ;;
    static) packages="$packages $static" ;;
    fuzz) packages="$packages $fuzz" ;;
    windows) packages="$packages $windows" ;;
    package) packages="$packages $package" ;;
    reproducible) packages="$packages $reproducible" ;;
    debian-13) packages="$packages $debian_13" ;;
    all | test)
        packages="$packages $build $run $tests $linux_tests $static $fuzz $windows $package"
        packages="$packages $reproducible $debian_13"
        ;;
    *)
        echo "$0: no set '$name'; the sets are build, run, tests, linux-tests, static, fuzz," \
            "windows, package, reproducible, debian-13 and all" >&2
        exit 2
        ;;
    esac
done
# Each once, in the order named.
once() { printf '%s\n' "$@" | awk 'NF && !seen[$0]++' | paste -sd ' '; }
sets=$(once "$@")
# shellcheck disable=SC2086
packages=$(once $packages)

# dpkg-query names only the packages it knows of, so the missing ones are those not named as
# installed ("ii"); a package installed for two architectures is named twice.
# shellcheck disable=SC2086
installed=$(dpkg-query -W -f='${db:Status-Abbrev} ${Package}\n' $packages 2>/dev/null |
    awk '$1 == "ii" { print $2 }' || true)
missing=""
for p in $packages; do
    if ! printf '%s\n' "$installed" | grep -qx -- "$p"; then
        missing="$missing $p"
    fi
done

# The reproducibility check lists folders in a random order through disorderfs, a FUSE file
# system. Debian's udev rules open /dev/fuse to every user; where udev never ran, as in a
# container, the node stays root's alone, and the check could run only as root.
closed_fuse=no
case " $sets " in
*" reproducible "* | *" all "* | *" test "*)
    if [ "$(id -u)" -ne 0 ] && [ -c /dev/fuse ] && { [ ! -r /dev/fuse ] || [ ! -w /dev/fuse ]; }; then
        closed_fuse=yes
    fi
    ;;
esac

if [ -z "$missing" ] && [ "$closed_fuse" = no ]; then
    exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo "
fi
if [ "$check" = yes ]; then
    if [ -n "$missing" ]; then
        cat >&2 <<EOF
Missing packages ($sets):$missing
Install them with 'make setup' (every package of every set), or only these with:
    ${sudo}apt-get install$missing
EOF
    fi
    if [ "$closed_fuse" = yes ]; then
        cat >&2 <<EOF
/dev/fuse can be opened by root alone, so disorderfs cannot run as you. 'make setup' gives it
the mode Debian's udev rules give it (0666), or:
    sudo chmod 0666 /dev/fuse
EOF
    fi
    exit 1
fi

if [ -n "$missing" ]; then
    echo "Installing:$missing"
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -q
    # shellcheck disable=SC2086
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends $missing
fi
if [ "$closed_fuse" = yes ]; then
    echo "Opening /dev/fuse to every user (mode 0666), as Debian's udev rules do"
    $sudo chmod 0666 /dev/fuse
fi
