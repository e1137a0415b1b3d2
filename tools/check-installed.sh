#!/usr/bin/env bash
# Checks an installed Vorlisk: its files, the desktop entry and the AppStream metadata against
# the desktop's validators, the manual page, and the installed program: --version, --help, a
# wrong option (without a display), and
# a start offscreen with an empty home folder, which makes the data folder and ends cleanly
# on SIGTERM.
#
#   check-installed.sh PREFIX          checks the installation under PREFIX (such as /usr)
#   check-installed.sh PREFIX BUILD    installs the build folder BUILD afresh into PREFIX first
set -euo pipefail

fail() {
    echo "check-installed: $*" >&2
    exit 1
}

prefix=$1
if [ $# -ge 2 ]; then
    rm -rf "$prefix"
    cmake --install "$2" --prefix "$prefix" > /dev/null
fi

for file in bin/vorlisk libexec/vorlisk/daemon; do
    [ -x "$prefix/$file" ] || fail "$file is missing or cannot be run"
done
for file in share/vorlisk/games.txt share/man/man1/vorlisk.1.gz share/doc/vorlisk/copyright \
    share/icons/hicolor/scalable/apps/vorlisk.svg \
    share/icons/hicolor/{16x16,32x32,48x48,64x64,128x128,256x256}/apps/vorlisk.png; do
    [ -s "$prefix/$file" ] || fail "$file is missing"
done
desktop-file-validate "$prefix/share/applications/org.example.vorlisk.desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/org.example.vorlisk.metainfo.xml" > /dev/null
if command -v man > /dev/null; then
    # Found by its name, as `man vorlisk` finds it for a program on PATH, and free of errors.
    problems=$(MANWIDTH=80 man --warnings -M "$prefix/share/man" vorlisk 2>&1 > /dev/null)
    [ -z "$problems" ] || fail "the manual page: $problems"
    man -M "$prefix/share/man" -P cat vorlisk 2>/dev/null | grep -q -- '--version' ||
        fail "man vorlisk does not show the manual page"
fi

program=$prefix/bin/vorlisk
version=$("$program" --version)
[[ $version =~ ^Vorlisk\ [0-9]+\.[0-9]+ ]] || fail "--version printed '$version'"
echo "$version"
"$program" --help | grep -q -- '--version' || fail "--help does not show the options"
status=0
message=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" --no-such-option 2>&1) ||
    status=$?
[ "$status" -eq 2 ] || fail "a wrong option ended with $status, not 2"
[[ $message == *"Unknown option 'no-such-option'"*"Usage: "* ]] ||
    fail "a wrong option printed '$message'"

# A first start for a new user: nothing but an empty home folder (and a runtime folder of its
# own, so that a copy of Vorlisk already running elsewhere does not count).
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir -m 700 "$home/run"
env -u XDG_DATA_HOME -u XDG_CONFIG_HOME HOME="$home" XDG_RUNTIME_DIR="$home/run" \
    QT_QPA_PLATFORM=offscreen "$program" &
pid=$!
# The program is up once it catches SIGTERM (bit 15 of the mask in /proc, counted from 1).
for _ in $(seq 300); do
    caught=$(sed -n 's/^SigCgt:[[:space:]]*//p' "/proc/$pid/status" 2>/dev/null) || break
    [ -n "$caught" ] && (((16#$caught >> 14) & 1)) && break
    sleep 0.1
done
[ -d "$home/.local/share/vorlisk" ] || fail "the data folder ~/.local/share/vorlisk was not made"
kill -TERM "$pid" 2>/dev/null || true
for _ in $(seq 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$pid" 2>/dev/null; then
    kill -KILL "$pid"
    fail "the program did not end on SIGTERM"
fi
status=0
wait "$pid" || status=$?
[ "$status" -eq 0 ] || fail "the program ended with $status on SIGTERM"
echo "check-installed: $prefix is fine"
