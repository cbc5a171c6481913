#!/bin/sh
# Builds the packages a second time, from a copy of the sources in another folder, and checks
# that each comes out the same bit for bit as the first build's: the Debian package in
# build/package, the setup program and the archive in build/windows/packages.
#
#   check-reproducible.sh <folder> [<cmake option>...]
#
# The folder is emptied and filled with the files git knows of as they are in the working tree,
# committed or not, so that the copy builds what the first build built; the cmake options are
# the first build's own (its compiler flags). Only what ships is built: the program, its
# pictures and documents, no tests. Where a package differs, diffoscope shows how, and the
# check fails; where all agree, the copy goes. Run from the source folder, with
# SOURCE_DATE_EPOCH set as make sets it.
set -eu
umask 022 # as make package's

if [ $# -lt 1 ]; then
    echo "usage: $0 <folder> [<cmake option>...]" >&2
    exit 2
fi
copy=$(realpath -m "$1")
shift
source_dir=$(pwd)
jobs=${JOBS:-$(nproc)}
log=$copy.log
started=$(date +%s)

say() { echo "check-reproducible: $*"; }
elapsed() { echo "$(($(date +%s) - started)) s"; }
# Runs a build step with its output in the log, which is shown in part when the step fails.
step() {
    if ! "$@" >>"$log" 2>&1; then
        say "failed after $(elapsed): $*; the end of $log:"
        tail -n 40 "$log"
        exit 1
    fi
}

firsts="build/package/*.deb build/windows/packages/*.exe build/windows/packages/*.zip"
for first in $firsts; do
    if [ ! -f "$first" ]; then
        say "no $first: make package windows builds the packages first"
        exit 2
    fi
done
# The same Qt for Windows as the first build's.
toolchain=$(sed -n 's/^CMAKE_TOOLCHAIN_FILE:[A-Z]*=//p' build/windows/CMakeCache.txt)
qt=${toolchain%/lib/cmake/Qt6/qt.toolchain.cmake}
rm -rf "$copy" "$log"
mkdir -p "$copy"
git ls-files -z --cached --others --exclude-standard |
    tar --null --files-from=- --no-recursion --ignore-failed-read -cf - 2>/dev/null |
    tar -xf - -C "$copy"
say "building again in $copy (log in $log), SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-unset}"

cd "$copy"
step cmake --preset default "$@" -DPEDALWISE_BUILD_TESTS=OFF -DPEDALWISE_BUILD_BENCH=OFF
step cmake --build --preset default -j "$jobs"
step cpack --config build/default/CPackConfig.cmake -B build/package
say "Debian package built after $(elapsed)"
step env PEDALWISE_QT_WINDOWS="$qt" cmake --preset windows -DPEDALWISE_BUILD_TESTS=OFF \
    -DPEDALWISE_HOST_RENDERER="$copy/build/default/resources/pedalwise_render_pictures"
step cmake --build --preset windows --target windows_packages -j "$jobs"
say "Windows packages built after $(elapsed)"
cd "$source_dir"

status=0
for first in $firsts; do
    second=$copy/$first
    if cmp -s "$first" "$second"; then
        say "the same: $first ($(stat -c %s "$first") bytes)"
        continue
    fi
    status=1
    if [ ! -e "$second" ]; then
        say "DIFFERS: $first was not built again"
    elif command -v diffoscope >/dev/null; then
        say "DIFFERS: $first; diffoscope's report (the start of it; all of it in $second.diff):"
        diffoscope --text "$second.diff" "$first" "$second" >/dev/null 2>&1 || true
        head -n 150 "$second.diff"
    else
        say "DIFFERS: $first, in $(cmp -l "$first" "$second" | wc -l) bytes (diffoscope shows how)"
    fi
done
if [ $status -eq 0 ]; then
    say "every package came out the same in $(elapsed)"
    rm -rf "$copy"
else
    say "the packages differ between the two builds ($(elapsed))"
fi
exit $status
