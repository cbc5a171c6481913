# Sourced by the scripts that run the program on a private virtual X server (bash).
#
# start_virtual_display WORKDIR WIDTHxHEIGHT starts Xvfb on a free display and the openbox
# window manager on it, exports DISPLAY, and sets x_pid and wm_pid for the caller's clean-up.
# It returns non-zero, with the server's log on standard error, when the server does not start.
# Both run in a session of their own, so that Ctrl+C in the terminal stops the program on the
# display and not the display under it; the caller ends them.
start_virtual_display() {
    local workdir=$1 size=$2
    # Xvfb picks a free display number and writes it to the descriptor it is given.
    exec 3>"$workdir/display"
    setsid Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp -noreset >"$workdir/xvfb.log" 2>&1 &
    x_pid=$!
    exec 3>&-
    for _ in $(seq 100); do
        [ -s "$workdir/display" ] && break
        sleep 0.1
    done
    if [ ! -s "$workdir/display" ]; then
        echo "the virtual X server did not start:" >&2
        cat "$workdir/xvfb.log" >&2
        return 1
    fi
    DISPLAY=":$(head -n1 "$workdir/display")"
    export DISPLAY

    setsid openbox --sm-disable >"$workdir/openbox.log" 2>&1 &
    wm_pid=$!
    for _ in $(seq 50); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
        sleep 0.1
    done
}
