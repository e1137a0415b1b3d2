#!/usr/bin/env bash
# Runs every fuzz target of a `make fuzz` build for the same short time, one after another,
# and sums up: how many inputs each one tried, and whether any input broke something.
#   tools/fuzz.sh <build folder> <seconds per target>
set -uo pipefail
build=$1
seconds=$2
seeds=$(cd "$(dirname "$0")/../fuzz/corpus" && pwd)

# The targets write their files to TMPDIR: a folder in memory when there is one, removed
# at the end even when a target crashed.
scratch=$(mktemp -d /dev/shm/vorlisk-fuzz.XXXXXX 2>/dev/null || mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export TMPDIR=$scratch

failed=0
printf '%-18s %12s  %s\n' target executions result
for target in "$build"/fuzz/fuzz_*; do
    [ -x "$target" ] || continue
    name=$(basename "$target")
    corpus=$build/corpus/$name
    findings=$build/findings/$name/
    log=$build/$name.log
    mkdir -p "$corpus" "$findings"
    # New inputs go to the first folder, so the committed seeds stay as they are.
    "$target" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$findings" "$corpus" "$seeds/${name#fuzz_}" >"$log" 2>&1
    status=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    if [ "$status" -eq 0 ]; then
        result=ok
    else
        result="FAILED: see $log and $findings"
        failed=1
    fi
    printf '%-18s %12s  %s\n' "$name" "${runs:-?}" "$result"
done
exit "$failed"
