#!/bin/bash
# Tests Pedalwise as users get it: checks the Debian package with lintian, installs it on this
# machine with apt-get, checks where its files went, runs the end-to-end tests against the
# installed /usr/bin/pedalwise and removes the package again, also when a step fails.
#
#   test-installed.sh PACKAGE.deb [BUILD_DIR]
#
# BUILD_DIR, build/installed-e2e unless given, is the build folder that points the end-to-end
# tests at the installed program.
#
# Needs root or sudo. A Pedalwise the user installed is never replaced or removed: while one
# is installed, the package is unpacked into a throwaway folder instead, and the same checks
# and tests run against the files there.
set -eu

build_dir=${2:-build/installed-e2e}
# A second package (two left in build/package) is no build folder.
if [ $# -lt 1 ] || [ $# -gt 2 ] || [ ! -f "$1" ] || [ "${build_dir%.deb}" != "$build_dir" ]; then
    echo "usage: $0 PACKAGE.deb [BUILD_DIR] (run 'make package' first)" >&2
    exit 2
fi
root=$(cd "$(dirname "$0")/.." && pwd)
e2e_build=$(cd "$root" && realpath -m "$build_dir")

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
apt_get() {
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get -q -y "$@"
}

# installed, unpacked, half-configured...; not-installed or config-files when it is gone.
package_state() {
    dpkg-query -W -f='${db:Status-Status}' pedalwise 2>/dev/null || echo not-installed
}
was_installed=no
case $(package_state) in
not-installed | config-files) ;;
*) was_installed=yes ;;
esac

# apt's download user must be able to read the package, wherever the source tree lives.
workdir=$(mktemp -d "${TMPDIR:-/tmp}/pedalwise-deb.XXXXXX")
cleanup() {
    status=$?
    if [ "$was_installed" = no ]; then
        case $(package_state) in
        not-installed | config-files) ;;
        *)
            echo "== Removing the package"
            apt_get remove pedalwise || status=1
            ;;
        esac
    fi
    rm -rf "$workdir"
    exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT TERM
chmod 0755 "$workdir"
deb="$workdir/$(basename "$1")"
install -m 0644 "$1" "$deb"

echo "== lintian"
# Debian's own checks of the package: any error or warning fails.
lintian --fail-on error,warning "$deb"

# The package's files are checked and run under $prefix: / when installed for real.
prefix=""
if [ "$was_installed" = yes ]; then
    echo "== A Pedalwise is installed on this machine ($(dpkg-query -W -f='${Version}' pedalwise));"
    echo "   it stays as it is: the package is tested unpacked in a throwaway folder instead."
    prefix="$workdir/root"
    dpkg-deb -x "$deb" "$prefix"
else
    echo "== Installing $(basename "$1")"
    if ! apt_get install "$deb"; then
        # A clean machine may not know the archive yet, when a dependency is still missing.
        apt_get update
        apt_get install "$deb"
    fi
fi
binary=$prefix/usr/bin/pedalwise

# A build folder of its own, configured only to point the end-to-end tests at the packaged
# program; the build also lists the files the package installs.
(cd "$root" && cmake --preset default -B "$e2e_build" -DPEDALWISE_E2E_BINARY="$binary") \
    >"$workdir/configure.log" || { cat "$workdir/configure.log" >&2; exit 1; }
# shellcheck source=/dev/null
. "$e2e_build/packaging/installed-names.sh"
: "${app_id:?}"

echo "== Checking the installed files"
faults=0
check() {
    if ! "$@"; then
        echo "FAILED: $*" >&2
        faults=$((faults + 1))
    fi
}
if [ -z "$prefix" ]; then
    check test "$(command -v pedalwise)" = /usr/bin/pedalwise
fi
check test -x "$binary"
installed_files="$e2e_build/packaging/installed-files.txt"
while read -r path; do
    check test -s "$prefix/usr/$path"
done <"$installed_files"
# ...and the package holds no file the list leaves out.
check test "$(dpkg-deb --fsys-tarfile "$deb" | tar -t | sed -n 's|^\./usr/\(.*[^/]\)$|\1|p' | sort)" \
    = "$(sort "$installed_files")"
check desktop-file-validate "$prefix/usr/share/applications/$app_id.desktop"
check appstreamcli validate --no-net "$prefix/usr/share/metainfo/$app_id.metainfo.xml"
# The package names its libraries, found by dpkg-shlibdeps.
check bash -c "dpkg-deb -f '$deb' Depends | grep -q libqt6widgets6"
if [ "$faults" -ne 0 ]; then
    echo "$faults check(s) of the installed package failed" >&2
    exit 1
fi

echo "== End-to-end tests against $binary"
if ! grep -qF "PEDALWISE_BINARY=$binary" "$e2e_build/tests/e2e/CTestTestfile.cmake"; then
    echo "the end-to-end tests were not pointed at $binary" >&2
    exit 1
fi
ctest --test-dir "$e2e_build" -L e2e --output-on-failure --no-tests=error --timeout 300
