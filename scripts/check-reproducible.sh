#!/bin/bash
# Builds packages a second time, in a setting unlike the first build's in every way that must not
# matter, and checks that each comes out the same bit for bit as the first build's: "deb", the
# Debian package in build/package; "windows", the setup program and the archive in
# build/windows/packages.
#
#   check-reproducible.sh <folder> deb|windows [<cmake option>...]
#
# The second build is reprotest's, from a copy of the files git knows of as they are in the
# working tree, committed or not; the first build, as make package and make windows left it, is
# its control. Against the first build, the second is built
#   in another folder, a longer path under /tmp (build_path);
#   398 days and 5 hours later by its clock, through faketime (time);
#   with umask 0002 (umask);
#   in the Estonian locale, et_EE.UTF-8, whose dates, numbers and sort order are not English
#   ones (locales);
#   14 hours east of UTC, TZ=GMT-14 (timezone);
#   on disorderfs, which lists every folder's entries in a new random order (fileordering);
#   and with another home folder, a further environment variable, a longer PATH, another
#   kernel version and address space randomisation on.
# The cmake options are the first build's own (its compiler flags), and the time stamp in the
# packages is the last commit's (SOURCE_DATE_EPOCH, as make sets it) in both. Only what ships is
# built again: the program, its pictures and documents, no tests (for Windows, of the Linux
# build only the renderer that draws the icon), and all of it compiled anew,
# as a compiler cache would hand back the first build's objects. Where a package differs,
# diffoscope's report is kept in <folder>/reprotest/experiment-1.diffoscope.out and its start
# shown; where all agree, the folder goes. Runs from any folder.
#
#   check-reproducible.sh --build deb|windows <jobs> <Qt for Windows> [<cmake option>...]
# is the second build itself, in the current folder; reprotest runs it.
set -euo pipefail

# The steps of make package or make windows, for the program alone.
if [ "${1:-}" = --build ]; then
    packages=$2
    jobs=$3
    qt=$4
    shift 4
    unset CMAKE_C_COMPILER_LAUNCHER CMAKE_CXX_COMPILER_LAUNCHER
    export CCACHE_DISABLE=1
    cmake --preset default "$@" -DPEDALWISE_BUILD_TESTS=OFF -DPEDALWISE_BUILD_BENCH=OFF
    if [ "$packages" = deb ]; then
        cmake --build --preset default -j "$jobs"
        (umask 022 && cpack --config build/default/CPackConfig.cmake -B build/package)
    else
        cmake --build --preset default --target pedalwise_render_pictures -j "$jobs"
        PEDALWISE_QT_WINDOWS=$qt cmake --preset windows -DPEDALWISE_BUILD_TESTS=OFF \
            -DPEDALWISE_HOST_RENDERER="$PWD/build/default/resources/pedalwise_render_pictures"
        cmake --build --preset windows --target windows_packages -j "$jobs"
    fi
    exit 0
fi

if [ $# -lt 2 ] || { [ "$2" != deb ] && [ "$2" != windows ]; }; then
    echo "usage: $0 <folder> deb|windows [<cmake option>...]" >&2
    exit 2
fi
folder=$(realpath -m "$1")
packages=$2
shift 2
source_dir=$(cd "$(dirname "$0")/.." && pwd -P)
cd "$source_dir"
jobs=${JOBS:-$(nproc)}
log=$folder.log
started=$(date +%s)

say() { echo "check-reproducible: $*"; }
elapsed() { echo "$(($(date +%s) - started)) s"; }

# reprotest, disorderfs, faketime, diffoscope and the Estonian locale, and /dev/fuse open to us.
scripts/setup.sh --check reproducible || exit 2
if [ "$packages" = deb ]; then
    artifacts="build/package/*.deb"
else
    artifacts="build/windows/packages/*.exe build/windows/packages/*.zip"
fi
for first in $artifacts; do
    if [ ! -f "$first" ]; then
        say "no $first: make package or make windows builds the packages first"
        exit 2
    fi
done
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
    SOURCE_DATE_EPOCH=$(git -c safe.directory="$source_dir" log -1 --format=%ct)
    export SOURCE_DATE_EPOCH
fi
# The same Qt for Windows as the first build's: the preset's variable, else the script that
# make windows takes it from.
qt=-
if [ "$packages" = windows ]; then
    qt=${PEDALWISE_QT_WINDOWS:-$(scripts/build-windows-qt.sh)}
fi

rm -rf "$folder" "$log"
mkdir -p "$folder/source" "$folder/first/source-root"
# Files deleted in the working tree but not yet in git are left out, as they are not built.
git -c safe.directory="$source_dir" ls-files -z --cached --others --exclude-standard >"$folder/listed"
while IFS= read -r -d '' file; do
    if [ -e "$file" ] || [ -L "$file" ]; then
        printf '%s\0' "$file"
    fi
done <"$folder/listed" >"$folder/files"
tar --null --no-recursion --files-from="$folder/files" -cf "$folder/source.tar"
tar -xf "$folder/source.tar" -C "$folder/source"
rm "$folder/listed" "$folder/files" "$folder/source.tar"
for first in $artifacts; do
    mkdir -p "$folder/first/source-root/$(dirname "$first")"
    cp -p "$first" "$folder/first/source-root/$first"
done

# ccache hands the compiler the paths below CCACHE_BASEDIR as relative ones, which the debugging
# information keeps, and with it the programs' build IDs: such a first build differs from any
# build without it.
if [ -n "${CCACHE_BASEDIR:-}" ] && grep -qs '^CMAKE_CXX_COMPILER_LAUNCHER:.*ccache' \
    build/default/CMakeCache.txt build/windows/CMakeCache.txt; then
    say "note: the first build compiled through ccache with CCACHE_BASEDIR=$CCACHE_BASEDIR, so"
    say "its programs differ from this build's in their build IDs; build it without CCACHE_BASEDIR"
fi

# The build command is a shell command: every argument in single quotes.
quoted() {
    for arg in "$@"; do
        printf " '%s'" "$(printf '%s' "$arg" | sed "s/'/'\\\\''/g")"
    done
}
say "building again with reprotest (log in $log), SOURCE_DATE_EPOCH=$SOURCE_DATE_EPOCH"
status=0
reprotest --verbosity=1 --min-cpus=99999 --store-dir="$folder/reprotest" \
    --control-build="$folder/first" \
    --variations=-all,build_path,time,umask,locales,timezone,fileordering,home,environment,exec_path,kernel,aslr \
    --vary=time.faketimes=+398days+5hours \
    -s "$folder/source" \
    "bash scripts/check-reproducible.sh --build$(quoted "$packages" "$jobs" "$qt" "$@")" \
    "$artifacts" >"$log" 2>&1 || status=$?

report=$folder/reprotest/experiment-1.diffoscope.out
case $status in
0)
    for first in $artifacts; do
        say "the same: $first ($(stat -c %s "$first") bytes)"
    done
    say "every package came out the same in $(elapsed)"
    rm -rf "$folder"
    ;;
1)
    say "the packages differ between the two builds ($(elapsed)); diffoscope's report (the start"
    say "of it; all of it in $report):"
    head -n 150 "$report"
    ;;
*)
    say "the second build failed after $(elapsed) (reprotest's status $status); the end of $log:"
    tail -n 40 "$log"
    ;;
esac
exit $status
