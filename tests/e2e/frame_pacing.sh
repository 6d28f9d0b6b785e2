#!/usr/bin/env bash
# The renderer's frame pacing on X11, on an X server of its own, with the particle draws made
# free by the cheap-frames shim so that only the pacing holds the rate: near 60 frames a second
# by default, the limit of VELMORIA_FRAME_LIMIT (a daemon's option) over the registry's, far
# more with "FrameLimit" 0, a key still ends it at once, and no frames while a window covers it
# wholly. Prints the rates and the renderer's processor share.
#   frame_pacing.sh RENDERER MAKE_SPRITE SHIM SELF_RAISER WORK
set -uo pipefail
renderer=$1 make_sprite=$2 shim=$3 self_raiser=$4 work=$5
source "$(dirname "$0")/common.sh"
command -v Xvfb >/dev/null 2>&1 || { echo "SKIP: no Xvfb"; exit 77; }
rm -rf "$work" && mkdir -p "$work/cache/q_sarn"
export XDG_CACHE_HOME="$work/cache" VELMORIA_REGISTRY="$work/registry.reg"
"$make_sprite" "$work/cache/q_sarn/Skorvane.bmp" || fail "no sprite"
start_private_display 1024x768 || { echo "SKIP: no private X server"; exit 77; }
counts="$work/swaps"

renderer_pid=""
# Starts the renderer with the registry's FrameLimit (none: the default) and the environment
# given, and waits for its first frames.
start_renderer() {
    local limit=$1
    shift
    printf 'REGEDIT4\n\n' >"$VELMORIA_REGISTRY"
    [ -z "$limit" ] || printf '[HKEY_CURRENT_USER\\Software\\Orvek\\Quendal Saver]\n"FrameLimit"=dword:%08x\n' \
        "$limit" >>"$VELMORIA_REGISTRY"
    rm -f "$counts"
    xdotool mousemove 500 400
    env "$@" LD_PRELOAD="$shim" VELMORIA_SWAP_COUNT_FILE="$counts" "$renderer" &
    renderer_pid=$!
    wait_until 30 sh -c '[ "$(cat "$1" 2>/dev/null || echo 0)" -ge 10 ]' sh "$counts" ||
        fail "$case_name: the renderer drew nothing"
}
# The rate over 3 s, and the renderer's share of one processor meanwhile, as "RATE SHARE%".
measure() {
    local ticks rate
    ticks=$(cpu_ticks "$renderer_pid")
    rate=$(swap_rate "$counts" 3)
    echo "$rate $(( ($(cpu_ticks "$renderer_pid") - ticks) * 100 / (3 * $(getconf CLK_TCK)) ))%"
}
# A key ends it; the time it took is printed, a generous ceiling checked.
end_with_key() {
    local start=$SECONDS
    xdotool key x
    wait_until 10 sh -c '! kill -0 "$1" 2>/dev/null' sh "$renderer_pid" ||
        fail "$case_name: a key did not end the renderer"
    wait "$renderer_pid" 2>/dev/null
    echo "$case_name: a key ended it within $((SECONDS - start + 1)) s"
}

case_name="the default limit"
start_renderer ""
read -r limited share <<<"$(measure)"
echo "$case_name: $limited frames/s, $share of a processor"
number_is "$limited" le 62 || fail "$case_name: $limited frames a second"
number_is "$limited" gt 20 || fail "$case_name: only $limited frames a second"

# Covered wholly by another window: no frames; shown again: frames at once.
case_name="a window over it"
"$self_raiser" 1024x768+0+0 336699 4 >/dev/null &
raiser=$!
sleep 1
before=$(swap_count "$counts")
sleep 2
covered=$(($(swap_count "$counts") - before))
wait "$raiser"
echo "$case_name: $covered frames in 2 s while covered"
[ "$covered" -le 1 ] || fail "$case_name: $covered frames drawn under a covering window"
after=$(swap_count "$counts")
wait_until 5 sh -c '[ "$(cat "$1")" -gt "$2" ]' sh "$counts" "$after" ||
    fail "$case_name: no frames once the window had gone"
end_with_key

case_name="FrameLimit 0"
start_renderer 0
read -r unlimited share <<<"$(measure)"
echo "$case_name: $unlimited frames/s, $share of a processor"
number_is "$unlimited" gt 120 || fail "$case_name: only $unlimited frames a second"
end_with_key

case_name="VELMORIA_FRAME_LIMIT over the registry"
start_renderer 0 VELMORIA_FRAME_LIMIT=30
read -r rate share <<<"$(measure)"
echo "$case_name: $rate frames/s, $share of a processor"
number_is "$rate" le 32 || fail "$case_name: $rate frames a second"
end_with_key

case_name=""
finish "frame pacing"
