#!/usr/bin/env bash
# A window started at a given place partly beyond the screen (-qwindowgeometry +900+600 on a
# 1024x768 screen) moves so that all of it, frame and title bar too, shows. Started by CTest
# with the program to try; needs Xvfb, openbox, xdotool and xwininfo, and reports itself
# skipped (77) without them.
#
#   tests/x11/starts-on-screen.sh PATH/TO/vorlisk
set -u
program=$1
for tool in Xvfb openbox xdotool xwininfo; do
    command -v "$tool" >/dev/null || { echo "$tool is not installed"; exit 77; }
done

work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work/home" "$work/runtime"
chmod 700 "$work/runtime"
export HOME=$work/home XDG_RUNTIME_DIR=$work/runtime XDG_CONFIG_HOME=$work/home/.config
export XDG_DATA_HOME=$work/home/.local/share
unset WAYLAND_DISPLAY SESSION_MANAGER

source "$(dirname "$0")/display.sh"
start_display 1024x768
QT_QPA_PLATFORM=xcb "$program" -qwindowgeometry +900+600 >"$work/vorlisk.log" 2>&1 &
pids+=($!)

# The frame's left, top, right and bottom edges, once the window shows: the window manager's
# window that holds Vorlisk's, a child of the root window.
frame() {
    local window parent
    window=$(xdotool search --onlyvisible --name '^Vorlisk$' 2>/dev/null | head -1)
    [ -n "$window" ] || return 1
    while parent=$(xwininfo -tree -id "$window" | awk '/Parent window id/ {print $4}') &&
        ! xwininfo -tree -id "$window" | grep -q 'Parent window id: .*(the root window)'; do
        window=$parent
    done
    xwininfo -id "$window" | awk '/Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF}
        /Width:/ {w = $NF} /Height:/ {h = $NF} END {print x, y, x + w, y + h}'
}
# Up to 20 s for the window to show and settle (the machine may be busy).
for _ in $(seq 200); do
    read -r left top right bottom < <(frame) &&
        [ "$left" -ge 0 ] && [ "$top" -ge 0 ] && [ "$right" -le 1024 ] && [ "$bottom" -le 768 ] &&
        { echo "the window shows whole: $left,$top to $right,$bottom"; exit 0; }
    sleep 0.1
done
echo "FAIL: the window's frame reaches $(frame) beyond the 1024x768 screen"
cat "$work/vorlisk.log"
exit 1
