#!/usr/bin/env bash
# Each key press acts once on a real X display: Ctrl+F opens one Find box, on a Russian layout
# too, F3 past the last match shows one message, Tab leaves the description for the next
# control. The window, started partly beyond the screen, shows whole first. Started by CTest
# with the program to try; needs Xvfb, openbox, xdotool and xwininfo, and reports itself
# skipped (77) without them.
#
#   tests/x11/keys-once.sh PATH/TO/vorlisk
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

# A portable copy of the program with its own catalogue, and a home of its own.
mkdir -p "$work/app" "$work/home" "$work/runtime"
chmod 700 "$work/runtime"
cp "$program" "$work/app/vorlisk"
printf 'Mario Kart\t\tRACE\t0\t\t\t\tReal PSX\t\r\nTekken\t\tFIGHT\t0\t\t\t\tReal PSX\t\r\n' \
    >"$work/app/gameinv.txt"
export HOME=$work/home XDG_RUNTIME_DIR=$work/runtime XDG_CONFIG_HOME=$work/home/.config
export XDG_DATA_HOME=$work/home/.local/share
unset WAYLAND_DISPLAY

source "$(dirname "$0")/display.sh"
start_display 1024x768
(cd "$work/app" && QT_QPA_PLATFORM=xcb exec ./vorlisk -qwindowgeometry +900+600) \
    >"$work/vorlisk.log" 2>&1 &
pids+=($!)

failed=0
windows() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | wc -l; }
# Waits up to 20 s until `windows NAME` is COUNT (the machine may be busy).
wait_for() {
    for _ in $(seq 200); do [ "$(windows "$1")" -eq "$2" ] && return 0; sleep 0.1; done
    echo "FAIL: $3: expected $2 window(s) named '$1', found $(windows "$1")"
    failed=1
    return 1
}
# Checks that `windows NAME` stays COUNT for a second: a key handled twice opens its box again.
stays() {
    for _ in $(seq 10); do
        if [ "$(windows "$1")" -ne "$2" ]; then
            echo "FAIL: $3: '$1' windows became $(windows "$1"), expected $2"
            failed=1
            return 1
        fi
        sleep 0.1
    done
}
key() { xdotool key --clearmodifiers "$@"; }

wait_for Vorlisk 1 "the main window opens" || {
    cat "$work/vorlisk.log"
    exit 1
}
# All of the window, frame and title bar too (the window manager's window, a child of the root
# window), moves onto the 1024x768 screen.
frame=$(xdotool search --onlyvisible --name '^Vorlisk$' | head -n 1)
while ! xwininfo -tree -id "$frame" | grep -q 'Parent window id: .*(the root window)'; do
    frame=$(xwininfo -tree -id "$frame" | awk '/Parent window id/ {print $4}')
done
inside() {
    edges=$(xwininfo -id "$frame" | awk '/Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ \
        {y = $NF} /Width:/ {w = $NF} /Height:/ {h = $NF} END {print x, y, x + w, y + h}')
    read -r left top right bottom <<<"$edges"
    [ "$left" -ge 0 ] && [ "$top" -ge 0 ] && [ "$right" -le 1024 ] && [ "$bottom" -le 768 ]
}
for _ in $(seq 100); do inside && break; sleep 0.1; done
inside || { echo "FAIL: the window reaches $edges"; failed=1; }
xdotool search --onlyvisible --name '^Vorlisk$' windowactivate --sync 2>/dev/null
sleep 0.3

key ctrl+f
wait_for Find 1 "Ctrl+F opens the Find box"
xdotool type tekken
key Return
wait_for Find 0 "OK closes the Find box"
stays Find 0 "one Ctrl+F, one Find box"

key F3  # no match after Tekken
wait_for Vorlisk 2 "F3 past the last match says so"
key Return
wait_for Vorlisk 1 "OK closes the message"
stays Vorlisk 1 "one F3, one message"

key ctrl+f
wait_for Find 1 "Ctrl+F opens the Find box again"
key Escape
wait_for Find 0 "Escape cancels the Find box"
stays Find 0 "a cancelled Find box does not come back"

# On a Russian layout Ctrl with the key of F, which types "а" there, opens the Find box too.
if command -v setxkbmap >/dev/null && setxkbmap ru 2>/dev/null; then
    sleep 0.3
    key ctrl+Cyrillic_a
    wait_for Find 1 "Ctrl+F on a Russian layout opens the Find box"
    key Escape
    wait_for Find 0 "Escape cancels the Find box on a Russian layout"
    setxkbmap us
    sleep 0.3
else
    echo "setxkbmap cannot switch layouts: the Russian layout is not tried"
fi

# Tab in the description moves on: "x" typed next goes to the check box, not into the text.
key ctrl+f
wait_for Find 1 "Ctrl+F opens the Find box for Tekken"
xdotool type tekken
key Return
wait_for Find 0 "Tekken is found"
key alt+i  # the information panel
sleep 0.5
main=$(xdotool search --onlyvisible --name '^Vorlisk$' | head -n 1)
xdotool mousemove --window "$main" 400 130 click 1  # into the description
sleep 0.3
xdotool type abc
key Tab
xdotool type x
key Return  # Add/Update, the default button of the panel
sleep 0.3
key Escape  # Close saves
for _ in $(seq 100); do kill -0 "${pids[2]}" 2>/dev/null || break; sleep 0.1; done
line=$(grep -a '^Tekken' "$work/app/gameinv.txt" | tr '\t\r' '|~')
if [ "$line" != "Tekken||FIGHT|0||||Real PSX|abc~" ]; then
    echo "FAIL: Tab in the description: the catalogue holds '$line'"
    failed=1
fi

[ "$failed" -eq 0 ] && echo "every key acted once"
exit "$failed"
