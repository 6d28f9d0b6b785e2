#!/usr/bin/env bash
# frame-rates: the renderer's frames a second and its share of one processor on an X server of
# its own at 1024x768 (Mesa's software rasteriser), with the frame limit at 60 (the default) and
# off (0), once with the particle draws made free (cheap frames: the pacing alone holds the rate)
# and once with real draws. Swaps are counted by a preloaded shim; each figure is over SECONDS.
#   bench/frame_rates.sh BUILD_DIR [SECONDS]
set -uo pipefail
build=$(realpath "$1") seconds=${2:-10}
source "$(dirname "$0")/../tests/e2e/common.sh"
renderer=$build/bin/Velmoria.dll
for needed in "$renderer" "$build/tests/libcheap-frames-shim.so" "$build/tests/libswap-count-shim.so"; do
    [ -e "$needed" ] || {
        echo "frame-rates: no $needed (cmake --build --preset linux)"
        exit 1
    }
done
work=$(mktemp -d)
private_folders+=("$work")
trap stop_private_processes EXIT
mkdir -p "$work/cache/q_sarn"
export XDG_CACHE_HOME="$work/cache" VELMORIA_REGISTRY="$work/registry.reg"
"$build/tools/make-sprite" "$work/cache/q_sarn/Skorvane.bmp" || exit 1
start_private_display 1024x768 || { echo "frame-rates: no Xvfb"; exit 1; }

# One run: prints "FRAMES/S SHARE%".
measure() {  # SHIM LIMIT
    local counts=$work/swaps pid ticks rate
    printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Orvek\\Quendal Saver]\n"FrameLimit"=dword:%08x\n' \
        "$2" >"$VELMORIA_REGISTRY"
    rm -f "$counts"
    xdotool mousemove 500 400
    LD_PRELOAD="$1" VELMORIA_SWAP_COUNT_FILE="$counts" "$renderer" &
    pid=$!
    wait_until 60 sh -c '[ "$(cat "$1" 2>/dev/null || echo 0)" -ge 10 ]' sh "$counts" ||
        { echo "frame-rates: the renderer drew nothing"; kill "$pid"; return 1; }
    sleep 1
    ticks=$(cpu_ticks "$pid")
    rate=$(swap_rate "$counts" "$seconds")
    echo "$rate $(( ($(cpu_ticks "$pid") - ticks) * 100 / (seconds * $(getconf CLK_TCK)) ))%"
    xdotool key x
    wait "$pid" 2>/dev/null
}

printf '%-14s %-10s %12s %10s\n' draws limit frames/s CPU
for draws in cheap real; do
    shim=$build/tests/libcheap-frames-shim.so
    [ "$draws" = real ] && shim=$build/tests/libswap-count-shim.so
    for limit in 60 0; do
        read -r rate share <<<"$(measure "$shim" "$limit")"
        printf '%-14s %-10s %12s %10s\n' "$draws" "$([ "$limit" = 0 ] && echo off || echo "$limit")" \
            "$rate" "$share"
    done
done
