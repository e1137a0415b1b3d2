# Sourced by the tests that need a real X display: start_display SIZE starts Xvfb with a screen
# of SIZE (such as 1024x768) and openbox on it, adds their process IDs to the array `pids` and
# exports DISPLAY. It needs the folder `work` of the caller, and ends the caller when Xvfb fails.
start_display() {
    Xvfb -displayfd 3 -screen 0 "$1x24" 3>"$work/display" >/dev/null 2>&1 &
    pids+=($!)
    for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
    [ -s "$work/display" ] || { echo "Xvfb did not start"; exit 1; }
    export DISPLAY=:$(cat "$work/display")
    # The window manager first: a window mapped while it starts up may never be shown.
    openbox --startup "touch $work/wm-ready" >/dev/null 2>&1 &
    pids+=($!)
    for _ in $(seq 100); do [ -e "$work/wm-ready" ] && break; sleep 0.1; done
}
