#!/bin/bash
# Runs a command on a private virtual X display with a window manager and an accessibility
# bus, the way a screen reader sees the desktop. Meant to run inside dbus-run-session.
set -u
workdir=$(mktemp -d "${TMPDIR:-/tmp}/pedalwise-x.XXXXXX")
cleanup() {
    [ -n "${wm_pid:-}" ] && kill "$wm_pid" 2>/dev/null
    [ -n "${x_pid:-}" ] && kill "$x_pid" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$workdir"
}
trap cleanup EXIT INT TERM

exec 3>"$workdir/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset >"$workdir/xvfb.log" 2>&1 &
x_pid=$!
for _ in $(seq 100); do
    [ -s "$workdir/display" ] && break
    sleep 0.1
done
if [ ! -s "$workdir/display" ]; then
    echo "Xvfb did not start:" >&2
    cat "$workdir/xvfb.log" >&2
    exit 1
fi
export DISPLAY=":$(head -n1 "$workdir/display")"

openbox --sm-disable >"$workdir/openbox.log" 2>&1 &
wm_pid=$!
for _ in $(seq 50); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.1
done

export XDG_RUNTIME_DIR="$workdir/runtime"
mkdir -m 0700 -p "$XDG_RUNTIME_DIR"
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
export QT_QPA_PLATFORM=xcb
export NO_AT_BRIDGE=0
"$@"
