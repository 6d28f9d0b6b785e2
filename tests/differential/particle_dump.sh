#!/usr/bin/env bash
# The Windows particle-dump under Wine prints exactly what the Linux one prints.
set -euo pipefail
linux_dump=$1 windows_dump=$2 work=$3
source "$(dirname "$0")/../e2e/common.sh"
rm -rf "$work" && mkdir -p "$work"
for frames in 0 1 50 400; do
    "$linux_dump" "$frames" >"$work/linux-$frames"
    "$wine_run" "$windows_dump" "$frames" >"$work/windows-$frames"
    if ! cmp -s "$work/linux-$frames" "$work/windows-$frames"; then
        echo "DIFFERS after $frames frames:"
        diff "$work/linux-$frames" "$work/windows-$frames" | head -n 8 || true
        exit 1
    fi
    echo "identical after $frames frames ($(wc -l <"$work/linux-$frames") lines)"
done
