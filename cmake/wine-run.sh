#!/bin/bash
# Runs a Windows program under Wine, in a prefix kept in the build folder and made by Wine
# on first use.
set -e
if [ -z "$PEDALWISE_WINEPREFIX" ]; then
    dir=$PWD
    while [ "$dir" != / ] && [ ! -f "$dir/CMakeCache.txt" ]; do dir=$(dirname "$dir"); done
    [ "$dir" != / ] || dir=$PWD
    PEDALWISE_WINEPREFIX=$dir/wineprefix
fi
export WINEPREFIX="$PEDALWISE_WINEPREFIX"
export WINEDEBUG=-all
# Console programs need no display. Programs on Windows' own platform are given the virtual
# display the whole run uses: the prefix's session must have it from its start.
if [ -n "${PEDALWISE_WINE_DISPLAY:-}" ]; then
    export DISPLAY="$PEDALWISE_WINE_DISPLAY"
else
    unset DISPLAY
fi
unset WAYLAND_DISPLAY
# A program whose start Wine itself gave up on, under load or while its session was still
# coming up, is started again, twice at most. Only Wine's own start-up failures count: a test
# that fails, or a program that crashes (Wine's "Unhandled exception"), is never run again.
# Wine's messages are told apart by its loader's "wine: " and "wine client error" prefixes.
# Listed in docs/workarounds.md ("Wine's start-up retries").
errors=$(mktemp "${TMPDIR:-/tmp}/wine-run.XXXXXX")
trap 'rm -f "$errors"' EXIT
# (Its errors go through a file rather than a pipe, which the services Wine starts with a
# session hold open for a second or so after the program ends.)
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
