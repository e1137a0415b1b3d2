#!/usr/bin/env bash
# The installer under Wine, silent: it puts Vorlisk into Program Files with a Start-menu entry
# and an entry to uninstall it, installing over a running Vorlisk ends without touching it, and
# the uninstaller takes all that away again but leaves the user's files in %APPDATA%\Vorlisk\
# alone.
#
#   tests/windows/installer.sh PATH/TO/Vorlisk-VERSION-setup.exe
set -u
setup=$(realpath "$1")
command -v wine >/dev/null || { echo "wine is not installed"; exit 77; }

work=$(mktemp -d)
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
unset DISPLAY WAYLAND_DISPLAY
trap 'wineserver -k 2>/dev/null; rm -rf "$work"' EXIT
wineboot --init >"$work/wineboot.log" 2>&1 || { cat "$work/wineboot.log"; exit 1; }

failed=0
fail() {
    echo "FAIL: $*"
    failed=1
}
program="$WINEPREFIX/drive_c/Program Files/Vorlisk"
shortcut="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Vorlisk.lnk"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Vorlisk'
appdata=$(wine cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')
data=$(winepath -u "$appdata\\Vorlisk" 2>/dev/null)

wine "$setup" /S
wineserver -w
for file in Vorlisk.exe games.txt README.txt Uninstall.exe; do
    [ -s "$program/$file" ] || fail "the installer put no $file into Program Files\\Vorlisk"
done
grep -q "portable.txt lies here" "$program/README.txt" &&
    fail "the installed README.txt describes the portable copy"
[ -f "$shortcut" ] || fail "no Start-menu entry"
wine reg query "$uninstall_key" >/dev/null 2>&1 || fail "no entry to uninstall Vorlisk"

# A running copy (a stand-in that runs a while under Vorlisk.exe's name) is not written over:
# asked to close it, a silent installation says no and ends with code 2.
cp "$WINEPREFIX/drive_c/windows/system32/cmd.exe" "$program/Vorlisk.exe"
cp "$program/Vorlisk.exe" "$work/running.exe"
wine "$program/Vorlisk.exe" /c "ping -n 30 127.0.0.1 >nul" &
sleep 3
wine "$setup" /S
code=$?
[ $code -eq 2 ] || fail "installing over a running copy ended with code $code, not 2"
cmp -s "$program/Vorlisk.exe" "$work/running.exe" || fail "the running copy was written over"
wineserver -k 2>/dev/null
wineserver -w

mkdir -p "$data"
printf 'Game\tSLUS-00594\tRPG\t0\t\t\t\tReal PSX\t\r\n' >"$data/gameinv.txt"
# _?= runs the uninstaller in place, so that it has ended when wine returns.
wine "$program/Uninstall.exe" /S "_?=C:\\Program Files\\Vorlisk"
wineserver -w
for file in Vorlisk.exe games.txt README.txt; do
    [ -e "$program/$file" ] && fail "the uninstaller left $file"
done
[ -e "$shortcut" ] && fail "the uninstaller left the Start-menu entry"
wine reg query "$uninstall_key" >/dev/null 2>&1 && fail "the uninstaller left its entry"
[ -s "$data/gameinv.txt" ] || fail "the uninstaller took the user's catalogue"

[ $failed -eq 0 ] && echo "The installer and the uninstaller under Wine: all checks passed"
exit $failed
