#!/usr/bin/env bash
# Makes the CHD files that the core's tests read under Wine, where chdman does not run: a
# small disc with a boot file, compressed with chdman's default codecs (LZMA and deflate win
# on its text) and with FLAC alone, named beyond ASCII and the ANSI code page.
#
#   tests/core/make-wine-chd.sh FOLDER
set -euo pipefail
folder=$1
rm -rf "$folder"
mkdir -p "$folder/disc"
cd "$folder"
printf 'BOOT = cdrom:\\SLUS_005.94;1\r\nTCB = 4\r\n' >disc/SYSTEM.CNF
seq 1 60000 >disc/SLUS_005.94
genisoimage -quiet -o disc.iso disc
printf 'FILE "disc.iso" BINARY\n  TRACK 01 MODE1/2048\n    INDEX 01 00:00:00\n' >disc.cue
for codecs in default cdfl cdzs; do
    options=()
    [ $codecs = default ] || options=(-c $codecs)
    chdman createcd -i disc.cue -o "Ωμέγα ゲーム $codecs.chd" "${options[@]}" >chdman.log 2>&1 ||
        echo "chdman cannot make a CHD file of $codecs here: $(tail -1 chdman.log)"
done
rm -rf disc disc.iso disc.cue chdman.log
