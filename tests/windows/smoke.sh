#!/usr/bin/env bash
# Vorlisk.exe under Wine on a real X display with a window manager: it shows a catalogue of
# three games (one with a Windows-1252 name), Play mounts the image with the DAEMON Tools found
# in the working folder and starts the game's emulator, without DAEMON Tools hands it the image,
# in its own folder both times, and the play goes into the play history when the emulator ends,
# Add/Update changes the one record, and
# closing writes the catalogue with every other line byte for byte; --help prints in a console;
# an installed copy shows the hint of an empty catalogue and carries out a launch script that
# Notepad saved in %APPDATA%\Vorlisk\. VORLISK_SMOKE_PICTURE
# names a file for a picture of the window (xwd's format) with its information panel open.
# DAEMON Tools and the emulator are stand-ins that record their command lines. Needs Wine,
# Xvfb, openbox and xdotool, and reports itself skipped (77) without them.
#
#   tests/windows/smoke.sh PATH/TO/Vorlisk.exe PATH/TO/recorder.exe
set -u
program=$(realpath "$1")
recorder=$(realpath "$2")
for tool in wine wineserver Xvfb openbox xdotool; do
    command -v "$tool" >/dev/null || { echo "$tool is not installed"; exit 77; }
done

work=$(mktemp -d)
pids=()
# The build folder's own prefix, made once (that takes a while) and kept; the X11 driver.
export WINEPREFIX=$(dirname "$program")/wineprefix-display
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
cleanup() {
    wineserver -k 2>/dev/null
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

source "$(dirname "$0")/../x11/display.sh"
start_display 1280x800
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot --init >"$work/wineboot.log" 2>&1 || { cat "$work/wineboot.log"; exit 1; }
fi
wineserver -w

# A portable Vorlisk: its catalogue lies beside it. DAEMON Tools in the working folder, the
# emulator in a folder of its own, and one disc image.
app=$work/app
mkdir -p "$app/emu"
cp "$program" "$app/Vorlisk.exe"
cp "$recorder" "$app/daemon.exe"
cp "$recorder" "$app/emu/ePSXe.exe"
printf 'PS-X disc image\n' >"$app/crash.iso"
windows_path() { winepath -w "$1" 2>/dev/null; }
image=$(windows_path "$app/crash.iso")
emulator=$(windows_path "$app/emu/ePSXe.exe")
printf '\r\n\r\n\r\n%s\r\n' "$emulator" >"$app/emupath.txt"
crash() { printf 'Crash Bandicoot\tSCUS-94900\tPLATFORM\t1\t%s\t\t\tePSXe\t%s\r\n' "$image" "$1"; }
others() {
    printf '\xC9lite Racer\tSLES-01234\tRACE\t0\t\t\t\tReal PSX\tCaf\xE9 racing.\r\n'
    printf 'Tekken\tSCUS-94300\tFIGHT\t0\t\t\t\tReal PSX\tThree rounds.\r\n'
}
# In the list's order, which a save keeps: the name in Windows-1252 sorts between C and T.
{ crash 'A bandicoot.'; others; } >"$app/gameinv.txt"
{ crash 'A bandicoot. Fast.'; others; } >"$work/expected.txt"

failed=0
fail() {
    echo "FAIL: $*"
    failed=1
}

# --help started from a console prints its usage there, and opens no window.
help=$(cd "$app" && wine cmd /c "Vorlisk.exe --help" 2>&1 | tr -d '\r')
grep -q -- "--version" <<<"$help" || fail "Vorlisk.exe --help in a console printed: $help"

(cd "$app" && exec wine Vorlisk.exe) >"$work/vorlisk.log" 2>&1 &
pids+=($!)

window() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1; }
wait_for() {
    for _ in $(seq 600); do eval "$1" && return 0; sleep 0.1; done
    return 1
}
key() { xdotool key --clearmodifiers "$@"; sleep 0.5; }
# A click at a point of the window's layout (its client area, in pixels).
click() { xdotool mousemove --window "$main" "$1" "$2" click 1; sleep 0.5; }

wait_for '[ -n "$(window Vorlisk)" ]' || {
    fail "Vorlisk.exe shows no window"
    cat "$work/vorlisk.log"
    exit 1
}
main=$(window Vorlisk)
xdotool windowactivate --sync "$main" 2>/dev/null
sleep 1

# Play of the first game: DAEMON Tools from the working folder, then the game's emulator.
click 60 64
key alt+p
if wait_for '[ -s "$app/emu/ePSXe.log" ]'; then
    grep -qxF "daemon -mount 0,\"$image\"" <(tr -d '\r' <"$app/daemon.log") ||
        fail "DAEMON Tools got: $(cat "$app/daemon.log")"
    grep -qxF "$emulator" <(tr -d '\r' <"$app/emu/ePSXe.log") ||
        fail "the emulator got: $(cat "$app/emu/ePSXe.log")"
else
    fail "Play started no emulator (DAEMON Tools got: $(cat "$app/daemon.log" 2>/dev/null))"
fi
# The stand-in emulator ends at once, and its play goes into the play history then.
wait_for '[ -s "$app/playtime.txt" ]' &&
    grep -qxE $'SCUS-94900\tCrash Bandicoot\t[0-9]+\t[0-9]+' <(tr -d '\r' <"$app/playtime.txt") ||
    fail "the play history holds: $(cat "$app/playtime.txt" 2>/dev/null)"
# Without DAEMON Tools no drive will hold the disc: the emulator gets the image. Either way it
# starts in its own folder.
rm -f "$app/daemon.exe" "$app/emu/ePSXe.log"
key alt+p
if wait_for '[ -s "$app/emu/ePSXe.log" ]'; then
    grep -qxF "\"$emulator\" \"$image\"" <(tr -d '\r' <"$app/emu/ePSXe.log") ||
        grep -qxF "$emulator \"$image\"" <(tr -d '\r' <"$app/emu/ePSXe.log") ||
        fail "without DAEMON Tools the emulator got: $(cat "$app/emu/ePSXe.log")"
    grep -qixF "in $(windows_path "$app/emu")" <(tr -d '\r' <"$app/emu/ePSXe.log" | sed 's/\\$//') ||
        fail "the emulator did not start in its own folder: $(cat "$app/emu/ePSXe.log")"
else
    fail "Play without DAEMON Tools started no emulator"
fi

# The information panel: the description gets two words more, then Add/Update and Escape.
key alt+i
click 440 150
key ctrl+End
xdotool type --delay 50 " Fast."
sleep 0.5
[ -n "${VORLISK_SMOKE_PICTURE:-}" ] && xwd -id "$main" -frame -silent >"$VORLISK_SMOKE_PICTURE"
click 446 258
key Escape
wait_for '[ -z "$(window Vorlisk)" ]' || fail "Escape left the window open"
wineserver -k 2>/dev/null

cmp -s "$work/expected.txt" "$app/gameinv.txt" || {
    fail "the catalogue is not the one expected, with the one record changed:"
    diff <(od -c "$work/expected.txt") <(od -c "$app/gameinv.txt") | head -20
}
# How many colours the middle rows of the game list hold, where the hint of an empty catalogue
# stands: one when nothing is drawn there.
list_colours() {
    xwd -id "$main" -silent >"$work/window.xwd"
    local h=($(od -An -v -tu4 --endian=big -N100 "$work/window.xwd"))
    local start=$((h[0] + h[19] * 12)) line=${h[12]} bytes=$((h[11] / 8))
    for y in $(seq 130 4 200); do
        od -An -v -tx1 -w$bytes -j $((start + y * line + 10 * bytes)) -N $((120 * bytes)) \
            "$work/window.xwd"
    done | sort -u | wc -l
}
# Starts the installed copy and waits for its window.
start_installed() {
    (cd "$work" && exec wine "$installed/Vorlisk.exe") >>"$work/installed.log" 2>&1 &
    pids+=($!)
    wait_for '[ -n "$(window Vorlisk)" ]' || return 1
    main=$(window Vorlisk)
    xdotool windowactivate --sync "$main" 2>/dev/null
    sleep 1
}
# Installed (nothing beside the program): the catalogue and a launch script saved by Notepad,
# with its UTF-8 mark, in %APPDATA%\Vorlisk\. Without DAEMON Tools, Play of a "Real PSX" game
# carries out one branch of the script, whose program starts in its own folder.
installed=$work/installed
mkdir -p "$installed/a" "$installed/b"
cp "$program" "$installed/Vorlisk.exe"
cp "$recorder" "$installed/a/emu.exe"
cp "$recorder" "$installed/b/emu.exe"
data=$(winepath -u "$(wine cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')\\Vorlisk")
rm -rf "$data" && mkdir -p "$data"
# A first start with no catalogue: the empty list says where to begin.
if start_installed; then
    [ "$(list_colours)" -gt 1 ] || fail "an empty catalogue shows no hint in its list"
    key Escape
    wait_for '[ -z "$(window Vorlisk)" ]' || fail "Escape left the window open"
else
    fail "the installed Vorlisk.exe shows no window"
fi
wineserver -k 2>/dev/null
printf 'Crash Bandicoot\tSCUS-94900\tPLATFORM\t1\t%s\t\t\tReal PSX\t\r\n' "$image" >"$data/gameinv.txt"
printf '\xEF\xBB\xBFif gameid = SLES-99999 then\r\n"%s"\r\nelse\r\n"%s" %%image%%\r\nend if\r\n' \
    "$(windows_path "$installed/a/emu.exe")" "$(windows_path "$installed/b/emu.exe")" >"$data/daemount.ini"
if start_installed; then
    [ "$(list_colours)" -eq 1 ] || fail "the hint stays in a catalogue with a game"
    click 60 64
    key alt+p
    if wait_for '[ -s "$installed/b/emu.log" ]'; then
        sleep 1
        [ -e "$installed/a/emu.log" ] && fail "both branches of the marked script started"
        grep -qixF "in $(windows_path "$installed/b")" <(tr -d '\r' <"$installed/b/emu.log" | sed 's/\\$//') ||
            fail "the script's program did not start in its own folder: $(cat "$installed/b/emu.log")"
    else
        fail "Play with the marked script in %APPDATA%\\Vorlisk started nothing"
    fi
    key Escape
else
    fail "the installed Vorlisk.exe shows no window"
fi
wineserver -k 2>/dev/null
rm -rf "$data"

[ $failed -eq 0 ] && echo "Vorlisk.exe under Wine: all checks passed"
exit $failed
