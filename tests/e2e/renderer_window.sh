#!/usr/bin/env bash
# The renderer window driven with xdotool on the X server in $DISPLAY: the Linux build
# ("x11 PROGRAM MAKE_SPRITE WORK") or the Windows build under Wine ("wine ..."). Each case starts
# the renderer, acts like a user and checks whether it closed, and that it always ends with exit
# code 0. Without an X server it is skipped (exit code 77).
set -uo pipefail
mode=$1 program=$2 make_sprite=$3 work=$4
source "$(dirname "$0")/common.sh"
require_display
rm -rf "$work" && mkdir -p "$work"

saver_key='Software\Microsoft\Windows\CurrentVersion\Screen Savers'
if [ "$mode" = wine ]; then
    export WINEPREFIX=${WINEPREFIX:-$e2e_root/build/wineprefix}
    sprite="$WINEPREFIX/drive_c/q_sarn/Skorvane.bmp"
    settle=2
else
    export XDG_CACHE_HOME="$work/cache"
    export VELMORIA_REGISTRY="$work/registry.reg"
    sprite="$XDG_CACHE_HOME/q_sarn/Skorvane.bmp"
    settle=1
fi
mkdir -p "$(dirname "$sprite")"

# The system's "Mouse Threshold": unset, or a registry type and value.
set_threshold() {
    if [ "$mode" = wine ]; then
        "$wine_run" reg delete "HKCU\\$saver_key" /f >/dev/null 2>&1
        [ $# -eq 0 ] || "$wine_run" reg add "HKCU\\$saver_key" /v "Mouse Threshold" /t "$1" \
            /d "$2" /f >/dev/null 2>&1
    else
        printf 'REGEDIT4\n\n' >"$VELMORIA_REGISTRY"
        [ $# -eq 0 ] || {
            local data
            case $1 in
                REG_DWORD) data=$(printf 'dword:%08x' "$2") ;;
                REG_SZ) data="\"$2\"" ;;
            esac
            printf '[HKEY_CURRENT_USER\\%s]\n"Mouse Threshold"=%s\n' "$saver_key" "$data" \
                >>"$VELMORIA_REGISTRY"
        }
    fi
}

find_window() { xdotool search --name '^Skorvane_VC$' 2>/dev/null | head -n 1; }

# Starts the renderer with the pointer at (500, 400) and waits for its window.
start() {
    xdotool mousemove 500 400
    if [ "$mode" = wine ]; then
        "$wine_run" "$program" "$@" &
    else
        "$program" "$@" &
    fi
    pid=$!
    window=""
    for _ in $(seq 200); do
        window=$(find_window)
        [ -n "$window" ] && break
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.05
    done
    [ -n "$window" ] || fail "no window titled Skorvane_VC appeared"
    sleep "$settle"
}

still_open() {
    sleep "$settle"
    kill -0 "$pid" 2>/dev/null || { fail "closed after $*"; return 1; }
    [ "$(find_window)" = "$window" ] || { fail "window gone after $*"; return 1; }
}

# Waits for the program to end; it must end with 0 and take its window with it.
ended() {
    local rc
    for _ in $(seq 200); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.05
    done
    if kill -0 "$pid" 2>/dev/null; then
        fail "still running after $*"
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
        return 1
    fi
    wait "$pid"
    rc=$?
    [ "$rc" -eq 0 ] || fail "exit code $rc after $*"
    [ -z "$(find_window)" ] || fail "a window titled Skorvane_VC is left after $*"
}

close_with_key() { xdotool key x; ended "a key press"; }

screen_size() { xwininfo -root | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }'; }

"$make_sprite" "$sprite"
set_threshold

case_name="window"
start
if [ -n "$window" ]; then
    geometry=$(xwininfo -id "$window" | awk '/Absolute upper-left X:/ { x = $4 } /Absolute upper-left Y:/ { y = $4 }
        /Width:/ { w = $2 } /Height:/ { h = $2 } END { print x "," y " " w "x" h }')
    [ "$geometry" = "0,0 $(screen_size)" ] || fail "window at $geometry, screen is $(screen_size)"
    wait_for_drawing 20 || fail "only ${lit:-0} lit pixels on the screen"
    for _ in 1 2 3; do
        sleep 0.3
        [ "$(find_window)" = "$window" ] || fail "window lost while running"
    done
fi
close_with_key

for button in 1 2 3; do
    case_name="button $button"
    start
    xdotool click "$button"
    ended "a click of button $button"
done

case_name="wheel"
start
xdotool click 4 click 5
[ "$mode" = wine ] || xdotool click 6 click 7
still_open "turning the wheel" && close_with_key

case_name="x axis"
start
xdotool mousemove 550 400
still_open "moving 50 pixels on x" && xdotool mousemove 449 400 && ended "moving 51 pixels on x"

case_name="y axis"
start
xdotool mousemove 500 350
xdotool mousemove 500 450
still_open "moving 50 pixels on y" && xdotool mousemove 500 451 && ended "moving 51 pixels on y"

case_name="diagonal"
start
xdotool mousemove 540 440
still_open "moving 40 pixels on each axis" && close_with_key

case_name="drift"
start
for x in $(seq 505 5 550); do
    xdotool mousemove "$x" 400
    sleep 0.1
done
still_open "drifting 50 pixels" && {
    xdotool mousemove 555 400
    ended "drifting 55 pixels"
}

case_name="threshold 0"
set_threshold REG_DWORD 0
start
still_open "starting with threshold 0" && xdotool mousemove 501 400 && ended "moving 1 pixel"

case_name='threshold "50"'
set_threshold REG_SZ 50
start
xdotool mousemove 600 500
still_open "moving 100 pixels with threshold 12341" && close_with_key
set_threshold

case_name="command line"
start /s /p 1234 extra
close_with_key

case_name="missing sprite"
rm -f "$sprite"
start
box=""
for _ in $(seq 100); do
    box=$(xdotool search --name '^Error$' 2>/dev/null | head -n 1)
    [ -n "$box" ] && break
    sleep 0.1
done
if [ -z "$box" ]; then
    fail "no Error box"
else
    xdotool key Return
    for _ in $(seq 50); do
        [ -z "$(xdotool search --name '^Error$' 2>/dev/null)" ] && break
        sleep 0.1
    done
    [ -z "$(xdotool search --name '^Error$' 2>/dev/null)" ] || fail "the Error box stayed after Return"
    [ -n "$(find_window)" ] && still_open "dismissing the box" && {
        wait_for_drawing 20 || fail "only ${lit:-0} lit pixels without the sprite"
    }
fi
close_with_key
"$make_sprite" "$sprite"

if [ "$mode" = x11 ]; then
    case_name="window destroyed"
    start
    [ -n "$window" ] && xdotool windowclose "$window"
    ended "its window was destroyed"

    case_name="connection killed"
    start
    [ -n "$window" ] && xdotool windowkill "$window"
    ended "its X connection was killed"
fi

if [ "$mode" = wine ]; then
    # The frame limit under Wine, counted by Wine's own frame-rate trace of the buffer swaps
    # ("@ approx N fps" every 1.5 s): at most the limit, far more without one, a key still ends it.
    frame_limit() {
        "$wine_run" reg add 'HKCU\Software\Orvek\Quendal Saver' /v FrameLimit /t REG_DWORD \
            /d "$1" /f >/dev/null 2>&1
    }
    last_fps() { sed -n 's/.*@ approx \([0-9.]*\)fps.*/\1/p' "$1" | tail -n 1; }
    for limit in 5 0; do
        case_name="FrameLimit $limit"
        frame_limit "$limit"
        WINEDEBUG=-all,trace+fps start 2>"$work/fps-$limit.txt"
        sleep 6
        fps=$(last_fps "$work/fps-$limit.txt")
        echo "$case_name: ${fps:-no} frames/s under Wine"
        [ -n "$fps" ] || fail "no frame-rate trace"
        close_with_key
        eval "fps_$limit=${fps:-0}"
    done
    number_is "$fps_5" le 5.5 || fail "FrameLimit 5: $fps_5 frames a second"
    number_is "$fps_0" gt 7 || fail "FrameLimit 0: only $fps_0 frames a second"
    "$wine_run" reg delete 'HKCU\Software\Orvek\Quendal Saver' /v FrameLimit /f >/dev/null 2>&1
fi

[ "$mode" = wine ] && rm -f "$sprite"
finish "renderer window ($mode)"
