#!/usr/bin/env bash
# Runs every file of the bitmap corpus through the Linux bmp-dump and, under Wine, through the
# Windows one (GDI), and requires identical output and exit codes.
set -euo pipefail
corpus_tool=$1 linux_dump=$2 windows_dump=$3 work=$4
source "$(dirname "$0")/../e2e/common.sh"
rm -rf "$work" && mkdir -p "$work/corpus"
"$corpus_tool" "$work/corpus" >/dev/null
failures=0
count=0
for file in "$work"/corpus/*.bmp; do
    name=$(basename "$file" .bmp)
    linux_rc=0
    "$linux_dump" "$file" >"$work/$name.linux" || linux_rc=$?
    count=$((count + 1))
    # The open-failure text names the file, whose name differs between the two systems.
    sed -i -E 's/^ERROR: Failed to open DIB file .*\.$/ERROR: Failed to open DIB file <name>./' \
        "$work/$name.linux"
    # Wine now and then loses a program's whole output under load: a difference counts once a
    # second Windows run gives it too.
    for attempt in 1 2; do
        windows_rc=0
        "$wine_run" "$windows_dump" "Z:${file//\//\\}" >"$work/$name.windows" 2>/dev/null || windows_rc=$?
        sed -i -E 's/^ERROR: Failed to open DIB file .*\.$/ERROR: Failed to open DIB file <name>./' \
            "$work/$name.windows"
        [ "$linux_rc" = "$windows_rc" ] && cmp -s "$work/$name.linux" "$work/$name.windows" && break
    done
    if [ "$linux_rc" != "$windows_rc" ] || ! cmp -s "$work/$name.linux" "$work/$name.windows"; then
        echo "DIFFERS: $name (exit $linux_rc on Linux, $windows_rc on Windows)"
        diff "$work/$name.linux" "$work/$name.windows" | head -n 6 || true
        failures=$((failures + 1))
    fi
done
echo "$count files compared, $failures differ"
[ "$failures" -eq 0 ]
