#!/bin/bash
# Runs a Windows program under Wine, in a prefix kept in the build folder and made on first
# use. The prefix is made before the program starts because Wine's first start in a new
# prefix prints to the console, which would corrupt the test listing read from the program.
# Listed in docs/workarounds.md ("Wine's first start in a prefix").
set -e
if [ -z "$PEDALWISE_WINEPREFIX" ]; then
    dir=$PWD
    while [ "$dir" != / ] && [ ! -f "$dir/CMakeCache.txt" ]; do dir=$(dirname "$dir"); done
    [ "$dir" != / ] || dir=$PWD
    PEDALWISE_WINEPREFIX=$dir/wineprefix
fi
export WINEPREFIX="$PEDALWISE_WINEPREFIX"
export WINEDEBUG=-all
# A new prefix offers no download of Wine Mono and Wine Gecko, whose dialog would wait for an
# answer; listed in docs/workarounds.md ("Wine's Mono and Gecko").
export WINEDLLOVERRIDES="mscoree,mshtml="
# Console programs need no display. Programs on Windows' own platform are given the virtual
# display the whole run uses: the prefix's session must have it from its start.
if [ -n "${PEDALWISE_WINE_DISPLAY:-}" ]; then
    export DISPLAY="$PEDALWISE_WINE_DISPLAY"
else
    unset DISPLAY
fi
unset WAYLAND_DISPLAY
# The first program of a Wine session also starts Wine's own services, which inherit its
# output and outlive it; a test runner reading that output would then wait for them. So the
# session is started here, with its output going nowhere and without the lock, and kept alive
# between programs.
# Listed in docs/workarounds.md ("Wine's services").
mkdir -p "$(dirname "$WINEPREFIX")"
(
    flock 9
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        wineboot -i </dev/null >/dev/null 2>&1 9>&- || true
        wineserver -w </dev/null >/dev/null 2>&1 9>&- || true
    fi
    if wineserver -p 30 </dev/null >/dev/null 2>&1 9>&-; then
        wine cmd /c exit </dev/null >/dev/null 2>&1 9>&- || true
    fi
) 9>"$WINEPREFIX.lock"

# A program whose start Wine itself gave up on, under load or while its session was still
# coming up, is started again, twice at most. Only Wine's own start-up failures count: a test
# that fails, or a program that crashes (Wine's "Unhandled exception"), is never run again.
# Wine's messages are told apart by its loader's "wine: " and "wine client error" prefixes.
# Listed in docs/workarounds.md ("Wine's start-up retries").
errors=$(mktemp "${TMPDIR:-/tmp}/wine-run.XXXXXX")
trap 'rm -f "$errors"' EXIT
# (Its errors go through a file rather than a pipe, which a service Wine starts could hold
# open after the program ends.)
for try in 1 2 3; do
    status=0
    wine "$@" 2>"$errors" || status=$?
    cat "$errors" >&2
    if [ "$status" -eq 0 ] ||
        grep -q '^wine: Unhandled' "$errors" ||
        ! grep -Eq '^wine: (could not|cannot|failed|chdir)|^wine client error' "$errors"; then
        exit "$status"
    fi
    echo "wine-run: Wine could not start $1 (try $try of 3)" >&2
    sleep 2
done
exit "$status"
