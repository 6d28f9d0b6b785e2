#!/usr/bin/env bash
# Runs every file of the bitmap corpus through the Linux bmp-dump and, under Wine, through the
# Windows one (GDI), and requires identical output and exit codes for each file. Many files go
# to one run (one Wine start per file would cost most of the test's time).
set -euo pipefail
corpus_tool=$1 linux_dump=$2 windows_dump=$3 work=$4
source "$(dirname "$0")/../e2e/common.sh"
rm -rf "$work" && mkdir -p "$work/corpus" "$work/linux" "$work/windows"
"$corpus_tool" "$work/corpus" >/dev/null
files=("$work"/corpus/*.bmp)
batch_size=40

# Splits a multi-file dump into one file per section, named after the section's file; the
# open-failure text names the file, whose name differs between the two systems.
split_dump() {
    local dump=$1 folder=$2
    sed -E 's/^ERROR: Failed to open DIB file .*\.$/ERROR: Failed to open DIB file <name>./' "$dump" |
        awk -v folder="$folder" '/^== /{ out = folder "/" substr($0, 4); next } out { print > out }'
}
same() {
    local name=$1
    [ -f "$work/windows/$name" ] && cmp -s "$work/linux/$name" "$work/windows/$name"
}

"$linux_dump" "${files[@]}" >"$work/linux.dump"
split_dump "$work/linux.dump" "$work/linux"

for ((first = 0; first < ${#files[@]}; first += batch_size)); do
    batch=("${files[@]:first:batch_size}")
    windows_paths=()
    for file in "${batch[@]}"; do
        windows_paths+=("Z:${file//\//\\}")
    done
    # Wine now and then loses a program's whole output under load: a difference counts once a
    # second Windows run gives it too.
    for attempt in 1 2; do
        "$wine_run" "$windows_dump" "${windows_paths[@]}" >"$work/windows.dump" 2>/dev/null || true
        split_dump "$work/windows.dump" "$work/windows"
        all_same=1
        for file in "${batch[@]}"; do
            same "$(basename "$file")" || all_same=0
        done
        [ "$all_same" = 1 ] && break
    done
done

failures=0
for file in "${files[@]}"; do
    name=$(basename "$file")
    if ! same "$name"; then
        echo "DIFFERS: $name"
        diff "$work/linux/$name" "$work/windows/$name" 2>&1 | head -n 6 || true
        failures=$((failures + 1))
    fi
done
echo "${#files[@]} files compared, $failures differ"
[ "$failures" -eq 0 ]
