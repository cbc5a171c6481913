#!/bin/bash
# Starts the calculator.
#
#   run.sh PROGRAM [ARGS...]                    run it; without a display, on a virtual one
#   run.sh --screenshot FILE PROGRAM [ARGS...]  picture its window on a virtual display and stop
#
# With a desktop (DISPLAY or WAYLAND_DISPLAY set) the program simply runs there. Without one,
# it runs on a private virtual X server (Xvfb) with a window manager (openbox); its window is
# written to a PNG file, and it keeps running until Ctrl+C. With QT_SCALE_FACTOR set (say 2),
# the window is drawn that much larger, as on a high-DPI screen, on a screen as much larger.
set -u
. "$(dirname "$0")/virtual-display.sh"

# From a terminal, the script runs again as a job of its own in the terminal's foreground, so
# that Ctrl+C reaches only the calculator and this script, not the make or shell that started
# it; Ctrl+C is then the ordinary way to stop the program, not a failure.
if [ -t 0 ] && [ -z "${PEDALWISE_RUN_JOB:-}" ]; then
    set -m
    PEDALWISE_RUN_JOB=1 "$0" "$@"
    status=$?
    [ "$status" -eq 130 ] && status=0
    exit "$status"
fi

usage() {
    echo "usage: $0 [--screenshot FILE] PROGRAM [ARGS...]" >&2
    exit 2
}

screenshot=""
if [ "${1:-}" = "--screenshot" ]; then
    [ $# -ge 3 ] || usage
    screenshot=$2
    shift 2
fi
[ $# -ge 1 ] || usage

if [ -z "$screenshot" ] && { [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; }; then
    exec "$@"
fi

for tool in Xvfb openbox xdotool import; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "$0: $tool is missing; run 'make setup' first" >&2
        exit 1
    fi
done

workdir=$(mktemp -d "${TMPDIR:-/tmp}/pedalwise-run.XXXXXX")
app_pid="" wm_pid="" x_pid=""
# The calculator ends first, while its display is still there to tell it goodbye; then the
# window manager and the display.
cleanup() {
    for pid in $app_pid $wm_pid $x_pid; do
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    rm -rf "$workdir"
}
trap cleanup EXIT
# A stop often comes twice, from make passing it on and from a kill of the whole group: the
# second must not cut the clean-up short and leave the display running.
trap 'trap "" INT TERM; echo; echo "Stopped."; exit 0' INT TERM

# The screen grows with the scale factor, rounded up, so that a scaled window still fits.
scale=${QT_SCALE_FACTOR:-1}
case $scale in *.*[1-9]*) scale=$((${scale%%.*} + 1)) ;; *) scale=${scale%%.*} ;; esac
[ "$scale" -ge 1 ] 2>/dev/null || scale=1
start_virtual_display "$workdir" "$((1024 * scale))x$((768 * scale))" || exit 1
unset WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
    export XDG_RUNTIME_DIR="$workdir/runtime"
    mkdir -m 0700 "$XDG_RUNTIME_DIR"
fi

"$@" &
app_pid=$!

window=""
for _ in $(seq 100); do
    window=$(xdotool search --onlyvisible --name '^Pedalwise Calculator$' 2>/dev/null | head -n1)
    [ -n "$window" ] && break
    if ! kill -0 "$app_pid" 2>/dev/null; then
        echo "$0: the calculator ended before its window appeared" >&2
        exit 1
    fi
    sleep 0.1
done
if [ -z "$window" ]; then
    echo "$0: the calculator's window did not appear" >&2
    exit 1
fi
# Let the window manager decorate it and the program paint it.
sleep 1

# The user's own cache folder, not a name in the shared /tmp that another user may hold.
file=${screenshot:-${XDG_CACHE_HOME:-$HOME/.cache}/pedalwise/screenshot.png}
mkdir -p "$(dirname "$file")"
# -frame takes the window manager's frame (title bar and borders) with the window.
if ! import -window "$window" -frame "$file"; then
    echo "$0: could not take the screenshot" >&2
    exit 1
fi
echo "Screenshot of the calculator's window written to $file"

if [ -n "$screenshot" ]; then
    exit 0
fi

echo "The calculator is running on the virtual display $DISPLAY (no desktop was found)."
echo "Press Ctrl+C to stop it."
wait "$app_pid"
