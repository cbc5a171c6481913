#!/bin/bash
# Runs a command in a desktop session of its own: a private virtual X display with a window
# manager, a private D-Bus session bus, a private runtime folder and an accessibility bus, the
# way a screen reader sees the desktop. Nothing of the caller's session is used or changed:
# its session bus and accessibility bus are not even reachable from the command.
set -u
. "$(dirname "$0")/../../scripts/virtual-display.sh"
workdir=$(mktemp -d "${TMPDIR:-/tmp}/pedalwise-x.XXXXXX")
cleanup() {
    [ -n "${wm_pid:-}" ] && kill "$wm_pid" 2>/dev/null
    [ -n "${x_pid:-}" ] && kill "$x_pid" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$workdir"
}
trap cleanup EXIT INT TERM

start_virtual_display "$workdir" 1280x1024 || exit 1

export XDG_RUNTIME_DIR="$workdir/runtime"
mkdir -m 0700 -p "$XDG_RUNTIME_DIR"
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
export QT_QPA_PLATFORM=xcb
export NO_AT_BRIDGE=0
# The accessibility bus is started on demand by the session bus, with the session bus's own
# environment: so the session bus starts only now, with this display and this runtime folder
# (without which the accessibility bus would put its socket in the user's home, where every
# other session of the same user, a desktop's or another test run's, puts its own).
unset DBUS_SESSION_BUS_ADDRESS DBUS_SESSION_BUS_PID DBUS_STARTER_ADDRESS DBUS_STARTER_BUS_TYPE \
    AT_SPI_BUS_ADDRESS WAYLAND_DISPLAY
dbus-run-session -- "$@"
