#!/bin/sh
# Runs a Windows program under Wine, in a prefix kept in the build folder and made on first
# use. The prefix is made before the program starts because Wine's first start in a new
# prefix prints to the console, which would corrupt the test listing read from the program.
set -e
if [ -z "$PEDALWISE_WINEPREFIX" ]; then
    dir=$PWD
    while [ "$dir" != / ] && [ ! -f "$dir/CMakeCache.txt" ]; do dir=$(dirname "$dir"); done
    [ "$dir" != / ] || dir=$PWD
    PEDALWISE_WINEPREFIX=$dir/wineprefix
fi
export WINEPREFIX="$PEDALWISE_WINEPREFIX"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$(dirname "$WINEPREFIX")"
    (
        flock 9
        if [ ! -f "$WINEPREFIX/system.reg" ]; then
            wineboot -i >/dev/null 2>&1 || true
            wineserver -w >/dev/null 2>&1 || true
        fi
    ) 9>"$WINEPREFIX.lock"
fi
# One server kept alive between the test programs, rather than one started by whichever of
# two programs launched at once gets there first.
wineserver -p 60 >/dev/null 2>&1 || true
exec wine "$@"
