#!/bin/sh
# Builds Qt for 64-bit Windows from Debian's own qt6-base source with MinGW-w64, once per
# machine, into a cache folder outside the clone, and prints that folder on standard output,
# its only line there; everything else goes to standard error. A later run with the same Qt
# configuration, compilers and host Qt finds the folder and builds nothing.
#
#   PEDALWISE_QT_CACHE   the folder the Qt builds are kept in. Without it: /var/cache/pedalwise
#                        where that can be written (as root or with sudo), and otherwise
#                        ${XDG_CACHE_HOME:-$HOME/.cache}/pedalwise. A Qt already built in
#                        either is used as it is.
#
# Nothing of our own is applied to Qt's source: the options below are enough.
set -eu

say() { echo "build-windows-qt: $*" >&2; }

# Qt is built with the compilers cmake/mingw-w64-compilers.cmake names; the key of its cache
# takes that file's lines but its comments. The installed Qt remembers its toolchain file by
# absolute path, so those lines are written again into the cache folder beside the Qt they built.
toolchain_text=$(sed '/^#/d' "$(dirname "$0")/../cmake/mingw-w64-compilers.cmake")

# The smallest Qt the program, its tests and its benchmark need: Core, Gui, Widgets and Test,
# shared, release, with the widgets, image formats and text features they use and no others.
# Debian's source has no wintab, so tablet events are off. Qt 6.8's Gui compiles only with both
# direct2d and directwrite (off, its font code misses QCustomFontFileLoader or IDWriteFontFace);
# the fonts are still listed through GDI, as before, with directwrite3 off, and the Direct2D
# platform plug-in is not built (direct2d1_1). Qt 6.8's Windows 11 style, in the same plug-in as
# the Windows Vista style, needs graphics views and effects and style sheets. Message boxes need check
# boxes and a text edit; Qt 6.4's Widgets library needs tool bars, and its Windows style the
# item views, tab bars, tab widgets, combo and spin boxes, input dialogs, dock widgets and
# command link buttons, so all those stay.
# Listed in docs/workarounds.md ("Qt for Windows features").
options="-release -shared -nomake examples -nomake tests -no-opengl -no-dbus -no-icu -no-pkg-config
-qt-zlib -qt-libpng -no-libjpeg -qt-freetype -qt-harfbuzz -qt-pcre -no-feature-sql
-no-feature-network -no-feature-printsupport -no-feature-concurrent -no-feature-xml
-no-feature-tabletevent -no-feature-direct2d1_1 -no-feature-directwrite3 -no-feature-vulkan
-no-feature-zstd -no-feature-androiddeployqt
-no-feature-mdiarea -no-feature-toolbox
-no-feature-fontcombobox -no-feature-datetimeedit -no-feature-calendarwidget
-no-feature-textbrowser -no-feature-splashscreen -no-feature-splitter -no-feature-lcdnumber
-no-feature-statusbar -no-feature-progressbar -no-feature-dial -no-feature-scroller
-no-feature-syntaxhighlighter -no-feature-keysequenceedit -no-feature-colordialog
-no-feature-filedialog -no-feature-fontdialog -no-feature-progressdialog
-no-feature-errormessage -no-feature-wizard -no-feature-undocommand -no-feature-columnview
-no-feature-listwidget -no-feature-datawidgetmapper -no-feature-filesystemmodel
-no-feature-pdf -no-feature-textodfwriter -no-feature-textmarkdownreader
-no-feature-textmarkdownwriter -no-feature-movie -no-feature-gif -no-feature-ico
-no-feature-imageformat_ppm -no-feature-imageformat_xbm -no-feature-systemtrayicon
-no-feature-sessionmanager -no-feature-sharedmemory -no-feature-systemsemaphore
-no-feature-jalalicalendar -no-feature-islamiccivilcalendar -no-feature-itemmodeltester
-no-feature-testlib_selfcover"

# The whole configure command, the one place its arguments are written: its text, unexpanded,
# is also what the cache is keyed on, so any change to it builds Qt anew. The libraries come out
# the same wherever and whenever they are built: no link times in them, source and build paths
# mapped to fixed names, and Qt's own dates those of its Debian source (SOURCE_DATE_EPOCH).
# Debian keeps its Qt CMake packages under the build architecture's multiarch folder.
configure_command='"$src/configure" -prefix "$prefix" -xplatform win32-g++ -qt-host-path /usr
$options -- -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain"
-DQT_HOST_PATH_CMAKE_DIR="/usr/lib/$multiarch/cmake"
-DCMAKE_C_FLAGS="-ffile-prefix-map=$src=qtbase -ffile-prefix-map=$work/build=build"
-DCMAKE_CXX_FLAGS="-ffile-prefix-map=$src=qtbase -ffile-prefix-map=$work/build=build"
-DCMAKE_SHARED_LINKER_FLAGS=-Wl,--no-insert-timestamp
-DCMAKE_MODULE_LINKER_FLAGS=-Wl,--no-insert-timestamp
-DCMAKE_EXE_LINKER_FLAGS=-Wl,--no-insert-timestamp'
multiarch=$(dpkg-architecture -qDEB_BUILD_MULTIARCH)

versions=$(dpkg-query -W -f='${Package} ${Version}\n' qt6-base-dev qt6-base-dev-tools \
    g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-x86-64-dev)
qt_debian_version=$(dpkg-query -W -f='${Version}' qt6-base-dev)
qt_version=${qt_debian_version%%+*}
hash=$(printf '%s\n' "$toolchain_text" "$options" "$configure_command" "$multiarch" "$versions" |
    sha256sum | cut -c1-12)
name=qt-$qt_version-mingw-$hash

system_cache=/var/cache/pedalwise
user_cache=${XDG_CACHE_HOME:-$HOME/.cache}/pedalwise
if [ -n "${PEDALWISE_QT_CACHE:-}" ]; then
    cache_root=$PEDALWISE_QT_CACHE
else
    for root in "$system_cache" "$user_cache"; do
        if [ -f "$root/$name/.complete" ]; then
            echo "$root/$name"
            exit 0
        fi
    done
    if mkdir -p "$system_cache" 2>/dev/null && [ -w "$system_cache" ]; then
        cache_root=$system_cache
    else
        cache_root=$user_cache
    fi
fi
prefix=$cache_root/$name
mkdir -p "$cache_root"
# One build at a time: a second run waits for the first (from another clone, say) and then
# finds its result, where two at once would delete each other's work.
exec 9>"$cache_root/$name.lock"
if ! flock -n 9; then
    say "another build of the same Qt is running; waiting for it to finish"
    flock 9
fi
if [ -f "$prefix/.complete" ]; then
    echo "$prefix"
    exit 0
fi

say "building Qt $qt_version for Windows from Debian's source with MinGW-w64, which the"
say "Windows program and its tests need. This happens once per machine and takes about"
say "half an hour on 2 cores; the result is kept in $prefix."
say "(make test-linux tests the Linux program without it.)"

work=$cache_root/work-$hash
rm -rf "$prefix" "$work"
mkdir -p "$prefix" "$work"
log=$cache_root/$name.log
rm -f "$log"
reporter=
trap '[ -z "$reporter" ] || kill "$reporter" 2>/dev/null; rm -rf "$work";
      [ -f "$prefix/.complete" ] || rm -rf "$prefix"' EXIT
start=$(date +%s)

# Tells why a step failed: its status and the end of its own log, which is kept.
fail() {
    status=$1
    shift
    say "$* failed with status $status; the end of its log ($log):"
    tail -n 40 "$log" >&2
    exit "$status"
}

toolchain=$prefix/share/pedalwise/mingw-w64-toolchain.cmake
mkdir -p "$(dirname "$toolchain")"
printf '%s\n' "$toolchain_text" >"$toolchain"

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
say "fetching Debian's qt6-base $qt_debian_version source"
apt update >>"$log" 2>&1 || fail $? "apt-get update"
(cd "$work" && apt source --only-source "qt6-base=$qt_debian_version") >>"$log" 2>&1 ||
    fail $? "apt-get source"
src=
for d in "$work"/qt6-base-* "$work"/qtbase-*; do
    if [ -d "$d" ]; then src=$d; break; fi
done
[ -n "$src" ] || fail 1 "unpacking the source"
SOURCE_DATE_EPOCH=$(cd "$src" && dpkg-parsechangelog -STimestamp)
export SOURCE_DATE_EPOCH

say "configuring"
mkdir -p "$work/build"
cd "$work/build"
# The command's newlines are only blanks to eval; $options is split into its words there.
eval "$(printf '%s' "$configure_command" | tr '\n' ' ')" >>"$log" 2>&1 ||
    fail $? "configuring Qt"

# Ninja writes "[done/total]" before each step; once a minute the latest of them is shown. The
# reporter ends its own sleep when it is stopped, so nothing of it outlives the script.
(
    sleeper=
    trap '[ -z "$sleeper" ] || kill "$sleeper" 2>/dev/null; exit 0' TERM
    while :; do
        sleep 60 &
        sleeper=$!
        wait "$sleeper" || true
        sleeper=
        minutes="$((($(date +%s) - start) / 60)) min so far"
        step=$(grep -o '^\[[0-9]*/[0-9]*\]' "$log" | tail -n 1 | tr -d '[]')
        if [ -n "$step" ]; then
            say "$((${step%/*} * 100 / ${step#*/}))% of the build steps done ($step), $minutes"
        else
            say "still preparing the build, $minutes"
        fi
    done
) &
reporter=$!
status=0
cmake --build . --parallel "$(nproc)" >>"$log" 2>&1 || status=$?
kill "$reporter" 2>/dev/null || true
wait "$reporter" 2>/dev/null || true
reporter=
[ "$status" -eq 0 ] || fail "$status" "building Qt"
cmake --install . --strip >>"$log" 2>&1 || fail $? "installing Qt"

end=$(date +%s)
say "Qt $qt_version for Windows built in $(((end - start) / 60)) min $(((end - start) % 60)) s"
rm -f "$log"
touch "$prefix/.complete"
echo "$prefix"
