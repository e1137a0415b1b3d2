#!/usr/bin/env bash
# Runs a Windows test program of the cross build under Wine, headless.
#
#   tools/run-under-wine.sh PROGRAM.exe [ARGUMENTS...]
#
# The Wine prefix is the folder "wineprefix" beside the program, made on the first run and
# kept for later ones (delete it to start afresh). Before the program starts the prefix gets:
# - the null graphics driver, so that windows can be made and sent keys without a display;
# - two CD-ROM drives, R: and S:, each an empty folder of "wine-discs" beside the program;
#   their letters are handed to the tests in VORLISK_TEST_CDROM_LETTERS.
# The script waits for Wine to end completely, so nothing is left running after it.
set -euo pipefail

if [ $# -lt 1 ]; then
    echo "usage: $0 PROGRAM.exe [ARGUMENTS...]" >&2
    exit 2
fi
program=$(realpath "$1")
shift
here=$(dirname "$program")

wine=$(command -v wine || true)
if [ -z "$wine" ]; then
    echo "wine is not installed (make test-windows installs it)" >&2
    exit 1
fi

# Always the build folder's own prefix: a prefix of the caller's (WINEPREFIX) must not get
# the test drives and the null display.
export WINEPREFIX="$here/wineprefix"
export WINEDEBUG=-all
# No prompts to install Mono or Gecko.
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
unset DISPLAY WAYLAND_DISPLAY

log="$here/wine-setup.log"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Making the Wine prefix $WINEPREFIX"
    rm -rf "$WINEPREFIX"
    if ! wineboot --init >"$log" 2>&1; then
        cat "$log" >&2
        exit 1
    fi
fi

letters=RS
discs="$here/wine-discs"
mkdir -p "$WINEPREFIX/dosdevices"
settings="$here/wine-settings.reg"
{
    printf 'REGEDIT4\r\n\r\n'
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\Drivers]\r\n"Graphics"="null"\r\n\r\n'
    printf '[HKEY_LOCAL_MACHINE\\Software\\Wine\\Drives]\r\n'
    for ((i = 0; i < ${#letters}; i++)); do
        letter=${letters:i:1}
        letter=${letter,,}
        rm -rf "${discs:?}/$letter"
        mkdir -p "$discs/$letter"
        ln -sfn "$discs/$letter" "$WINEPREFIX/dosdevices/$letter:"
        printf '"%s:"="cdrom"\r\n' "$letter"
    done
} >"$settings"
if ! wine regedit /S "$settings" >>"$log" 2>&1; then
    cat "$log" >&2
    exit 1
fi
# The drive types are read when Wine starts: start it afresh for the program.
wineserver -k 2>/dev/null || true
wineserver -w

status=0
# The window tests draw with Debian's DejaVu fonts (Wine maps Z: to the root folder).
VORLISK_TEST_CDROM_LETTERS=$letters VORLISK_TEST_FONTS='Z:\usr\share\fonts\truetype\dejavu' \
    "$wine" "$program" "$@" || status=$?
wineserver -w
exit $status
